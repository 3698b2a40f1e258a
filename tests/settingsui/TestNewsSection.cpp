#include "UiTestSupport.h"

#include "settingsui/BusyIndicator.h"
#include "settingsui/NewsSection.h"
#include "settingsui/ToggleSwitch.h"
#include "settingsui/UndoBar.h"

#include <QApplication>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <functional>

class TestNewsSection : public QObject
{
    Q_OBJECT
private:
    static QList<QWidget *> rows(NewsSection &section)
    {
        QList<QWidget *> list;
        for (QWidget *row : section.findChildren<QWidget *>("newsRow")) {
            if (row->isVisibleTo(&section))
                list.append(row);
        }
        return list;
    }

private slots:
    void addressValidity()
    {
        QVERIFY(NewsSection::urlValid("https://www.example.org/rss.xml"));
        QVERIFY(NewsSection::urlValid("  http://example.org/feed \n"));
        QVERIFY(NewsSection::urlValid("HTTPS://Example.org"));
        QVERIFY(!NewsSection::urlValid("ftp://example.org/rss.xml"));
        QVERIFY(!NewsSection::urlValid("https://"));
        QVERIFY(!NewsSection::urlValid("http:/rss.xml"));
        QVERIFY(!NewsSection::urlValid("journal"));
        QVERIFY(!NewsSection::urlValid(""));
        QVERIFY(!NewsSection::urlValid("https://exa mple.org/"));
        QCOMPARE(NewsSection::nameForNewFeed("  Mon flux ", "https://a.org"), QString("Mon flux"));
        QCOMPARE(NewsSection::nameForNewFeed(" ", " https://www.lemonde.fr/rss/une.xml "), QString("www.lemonde.fr"));
        QCOMPARE(NewsSection::nameForNewFeed("", "journal"), QString("Source"));
    }

    void addingAFeed()
    {
        UiFixture f;
        NewsSection section(f.settings, f.environment);
        showOffscreen(&section);
        auto *name = section.findChild<QLineEdit *>("newNameField");
        auto *url = section.findChild<QLineEdit *>("newUrlField");
        auto *add = section.findChild<QPushButton *>("addSourceButton");
        QCOMPARE(name->placeholderText(), QString("Nom"));
        QCOMPARE(url->placeholderText(), QString("https://…/rss.xml"));
        QVERIFY(!add->isEnabled());
        QTest::keyClicks(url, "ftp://example.org/rss");
        QVERIFY(!add->isEnabled());
        url->clear();
        QTest::keyClicks(url, "  https://feeds.example.org/news.xml ");
        QVERIFY(add->isEnabled());
        add->click();

        const QList<NewsSource> sources = f.settings.newsSources();
        QCOMPARE(sources.size(), NewsSource::defaults().size() + 1);
        QCOMPARE(sources.last().name, QString("feeds.example.org"));
        QCOMPARE(sources.last().url, QString("https://feeds.example.org/news.xml"));
        QVERIFY(sources.last().enabled);
        QVERIFY(name->text().isEmpty());
        QVERIFY(url->text().isEmpty());
        QVERIFY(!add->isEnabled());
        QCOMPARE(rows(section).size(), sources.size());
        QCOMPARE(rows(section).last()->findChild<QLineEdit *>("nameField")->text(), QString("feeds.example.org"));
    }

    void editingRowsAndDefaults()
    {
        UiFixture f;
        NewsSection section(f.settings, f.environment);
        showOffscreen(&section);
        auto *defaults = section.findChild<QPushButton *>("defaultSourcesButton");
        QCOMPARE(defaults->text(), QString("Sources par défaut"));
        QVERIFY(!defaults->isEnabled());
        QCOMPARE(rows(section).size(), 4);

        // Rename.
        auto *name = rows(section).at(1)->findChild<QLineEdit *>("nameField");
        QCOMPARE(name->placeholderText(), QString("Nom du média"));
        name->setFocus();
        QTest::keyClicks(name, "!");
        QCOMPARE(f.settings.newsSources().at(1).name, QString("Le Monde!"));
        QVERIFY(defaults->isEnabled());
        defaults->click();
        QCOMPARE(f.settings.newsSources(), NewsSource::defaults());
        QVERIFY(!defaults->isEnabled());

        // Switch.
        rows(section).at(2)->findChild<ToggleSwitch *>("enabledSwitch")->click();
        QVERIFY(!f.settings.newsSources().at(2).enabled);
        QVERIFY(defaults->isEnabled());
        defaults->click();

        // Remove.
        auto *trash = rows(section).at(0)->findChild<QToolButton *>("removeSourceButton");
        QCOMPARE(trash->toolTip(), QString("Retirer cette source"));
        trash->click();
        QCOMPARE(f.settings.newsSources().size(), 3);
        QCOMPARE(f.settings.newsSources().first().name, QString("Le Monde"));
        QTRY_COMPARE(rows(section).size(), 3);
        QVERIFY(defaults->isEnabled());
    }

    void removedFeedsLeaveTheirPlaceAndCanComeBack()
    {
        UiFixture f;
        const QList<NewsSource> sources = NewsSource::defaults();
        QVERIFY(sources.size() >= 3);
        NewsSection section(f.settings, f.environment);
        UndoBar bar;
        section.setUndoBar(&bar);
        showOffscreen(&section);
        const int thirdTop = rows(section).at(2)->mapTo(&section, QPoint()).y();

        // A click removes the feed at once; the next one stays where it was, under the pointer.
        rows(section).at(1)->findChild<QToolButton *>("removeSourceButton")->click();
        QApplication::processEvents();
        QCOMPARE(f.settings.newsSources().size(), sources.size() - 1);
        QCOMPARE(bar.text(), QString("« %1 » retiré des actualités").arg(sources[1].name));
        QCOMPARE(rows(section).at(1)->property("sourceId").toUuid(), sources[2].id);
        QCOMPARE(rows(section).at(1)->mapTo(&section, QPoint()).y(), thirdTop);

        // Undo puts the last one back in its place, and the places close.
        bar.undo();
        QApplication::processEvents();
        QCOMPARE(f.settings.newsSources(), sources);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(section.findChildren<QWidget *>("heldPlace").size(), 0);
        QVERIFY(!bar.isOffering());
    }

    void returnInTheAddRowAddsTheFeed()
    {
        UiFixture f;
        NewsSection section(f.settings, f.environment);
        showOffscreen(&section);
        auto *name = section.findChild<QLineEdit *>("newNameField");
        auto *url = section.findChild<QLineEdit *>("newUrlField");
        QTest::keyClicks(url, "journal");
        QTest::keyClick(url, Qt::Key_Return); // not an address: nothing is added, nothing lost
        QCOMPARE(f.settings.newsSources().size(), 4);
        QCOMPARE(url->text(), QString("journal"));
        url->clear();
        QTest::keyClicks(url, "https://a.example.org/rss");
        QTest::keyClicks(name, "Mon flux");
        QTest::keyClick(name, Qt::Key_Enter);
        QCOMPARE(f.settings.newsSources().size(), 5);
        QCOMPARE(f.settings.newsSources().last().name, QString("Mon flux"));
        QVERIFY(url->text().isEmpty());
    }

    void defaultsAreComparedByContentNotIds()
    {
        // The default feeds as a previous run saved them: same feeds, other ids.
        UiFixture f;
        QList<NewsSource> saved = NewsSource::defaults();
        for (NewsSource &source : saved)
            source.id = QUuid::createUuid();
        f.settings.setNewsSources(saved);
        Settings restarted(f.store, f.keys);
        QCOMPARE(restarted.newsSources().first().id, saved.first().id);
        NewsSection section(restarted, f.environment);
        showOffscreen(&section);
        auto *defaults = section.findChild<QPushButton *>("defaultSourcesButton");
        QVERIFY(!defaults->isEnabled());

        for (const auto &change : QList<std::function<void(QList<NewsSource> &)>>{
                 [](QList<NewsSource> &l) { l[0].name += "!"; }, [](QList<NewsSource> &l) { l[1].url += "?x"; },
                 [](QList<NewsSource> &l) { l[2].enabled = false; }, [](QList<NewsSource> &l) { l.move(0, 3); },
                 [](QList<NewsSource> &l) { l.removeLast(); }}) {
            QList<NewsSource> changed = saved;
            change(changed);
            restarted.setNewsSources(changed);
            QVERIFY(defaults->isEnabled());
            restarted.setNewsSources(saved);
            QVERIFY(!defaults->isEnabled());
        }
    }

    void feedsPastTheLimitAreSaidToBeKept()
    {
        UiFixture f;
        NewsSection section(f.settings, f.environment);
        showOffscreen(&section);
        auto *note = section.findChild<QLabel *>("feedLimitNote");
        QVERIFY(!shown(note));
        QList<NewsSource> sources;
        for (int i = 0; i < maxActiveNewsSources; ++i)
            sources.append({QUuid::createUuid(), QString::number(i), "https://example.org/f", true});
        sources.append({QUuid::createUuid(), "off", "https://example.org/f", false});
        f.settings.setNewsSources(sources);
        QVERIFY(!shown(note)); // a disabled feed past the limit is no feed left unread
        sources.append({QUuid::createUuid(), "one more", "https://example.org/f", true});
        f.settings.setNewsSources(sources);
        QVERIFY(shown(note));
        QCOMPARE(note->text(),
                 QString("Seules les 100 premières sources activées sont lues ; les suivantes sont gardées ici."));
        QCOMPARE(rows(section).size(), sources.size()); // all still listed
    }

    void statusFollowsVariantAndService()
    {
        UiFixture f;
        QList<NewsSource> sources = NewsSource::defaults();
        sources[3].enabled = false;
        f.settings.setNewsSources(sources);
        NewsSection section(f.settings, f.environment);
        showOffscreen(&section);
        auto *note = section.findChild<QLabel *>("newsFooterNote");
        const auto statusOf = [&](int i) -> QString {
            QWidget *row = rows(section).at(i);
            if (row->findChild<BusyIndicator *>("statusProgress")->isVisibleTo(row))
                return "progress";
            if (auto *count = row->findChild<QLabel *>("statusCount"); count->isVisibleTo(row))
                return count->text();
            if (auto *failed = row->findChild<QLabel *>("statusFailed"); failed->isVisibleTo(row))
                return failed->text();
            return "none";
        };

        QCOMPARE(note->text(),
                 QString("Les actualités s'affichent en choisissant « 2 lignes » dans l'onglet Affichage."));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(statusOf(i), QString("none"));

        f.settings.setVariant(BarVariant::thick);
        QCOMPARE(
            note->text(),
            QString("Flux RSS ou Atom. Les titres défilent sur la ligne du bas, actualisés toutes les 10 minutes."));
        QCOMPARE(statusOf(0), QString("progress"));
        QCOMPARE(statusOf(2), QString("progress"));
        QCOMPARE(statusOf(3), QString("none"));

        f.environment.setNewsStatus({{sources[0].id, FeedStatus::ok(12)}, {sources[1].id, FeedStatus::failed()}});
        QCOMPARE(statusOf(0), QString("12 titres"));
        QCOMPARE(statusOf(1), QString("illisible"));
        QCOMPARE(statusOf(2), QString("progress"));
        QCOMPARE(statusOf(3), QString("none"));

        f.settings.setVariant(BarVariant::thin);
        QCOMPARE(statusOf(0), QString("none"));
    }
};

QTEST_MAIN(TestNewsSection)
#include "TestNewsSection.moc"
