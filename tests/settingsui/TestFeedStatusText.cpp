// A feed that fails says how on its row: the HTTP status or the network error the health
// model recorded, and the old word when nothing more is known.

#include "UiTestSupport.h"

#include "health/SourceHealth.h"
#include "settingsui/NewsSection.h"

#include <QLabel>

class TestFeedStatusText : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { SourceHealth::shared().clear(); }

    void failedFeedsGiveTheirReason()
    {
        UiFixture f;
        f.settings.setVariant(BarVariant::thick);
        const NewsSource gone{QUuid::createUuid(), "Gone", "https://gone.example/rss", true};
        const NewsSource vague{QUuid::createUuid(), "Vague", "https://vague.example/rss", true};
        f.settings.setNewsSources({gone, vague});
        NewsSection section(f.settings, f.environment);
        showOffscreen(&section);

        SourceHealth::shared().recordFailure(SourceId::feedWith(gone.id),
                                             SourceFailure{FailureKind::notFound, 404, 0, NetworkProblem::none, {}});
        f.environment.setNewsStatus({{gone.id, FeedStatus::failed()}, {vague.id, FeedStatus::failed()}});
        QStringList texts;
        for (const QLabel *label : section.findChildren<QLabel *>("statusFailed")) {
            QVERIFY(shown(label));
            texts << label->text();
        }
        texts.sort();
        QCOMPARE(texts, (QStringList{"HTTP 404 — introuvable", "illisible"}));

        // The network error, by name, once it is the feed's latest.
        SourceHealth::shared().recordFailure(
            SourceId::feedWith(gone.id), SourceFailure{FailureKind::network, 0, 0, NetworkProblem::hostNotFound, {}});
        f.environment.setNewsStatus({{gone.id, FeedStatus::failed()}, {vague.id, FeedStatus::ok(3)}});
        texts.clear();
        for (const QLabel *label : section.findChildren<QLabel *>("statusFailed")) {
            if (shown(label))
                texts << label->text();
        }
        QCOMPARE(texts, QStringList{"hôte introuvable"});
    }
};

QTEST_MAIN(TestFeedStatusText)
#include "TestFeedStatusText.moc"
