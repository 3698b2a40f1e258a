// A search that stopped for want of a key says so with a link to the key's field, and runs
// again by itself once the key is there.

#include "UiTestSupport.h"

#include "settingsui/ContentTab.h"
#include "settingsui/KeysTab.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

class TestSearchKeyLink : public QObject
{
    Q_OBJECT
private slots:
    void missingKeyLinksToItsFieldAndTheSearchResumes()
    {
        UiFixture f;
        QTabWidget tabs;
        auto *content = new ContentTab(f.settings, f.environment);
        auto *keys = new KeysTab(f.settings, f.environment);
        tabs.addTab(content, "Contenu");
        tabs.addTab(keys, "Clés API");
        showOffscreen(&tabs);

        auto *kind = content->findChild<QComboBox *>("kindPicker");
        kind->setCurrentIndex(kind->findData(static_cast<int>(ItemKind::weather)));
        auto *query = content->findChild<QLineEdit *>("searchField");
        auto *message = content->findChild<QLabel *>("searchMessage");
        QTest::keyClicks(query, "Lyon");
        QTRY_VERIFY(shown(message));
        const QString missing = QString("Ajoute ta clé WeatherAPI dans l'onglet Clés API.");
        QCOMPARE(message->accessibleName(), missing);
        QCOMPARE(message->textFormat(), Qt::RichText);
        QVERIFY(message->text().contains("href=\"#weather\""));
        QVERIFY(message->textInteractionFlags() & Qt::LinksAccessibleByKeyboard);

        // The link opens the keys tab on the WeatherAPI field; an address of another kind does nothing.
        emit message->linkActivated("https://example.com/");
        QCOMPARE(tabs.currentWidget(), content);
        emit message->linkActivated("#weather");
        QCOMPARE(tabs.currentWidget(), keys);
        QCOMPARE(tabs.focusWidget(), keys->findChild<QLineEdit *>("keyField_weather"));

        // Another key changes nothing; the weather key runs the same query again, unasked.
        f.settings.setStockKey("td-key");
        QCOMPARE(message->accessibleName(), missing);
        QCOMPARE(query->text(), QString("Lyon"));
        f.settings.setWeatherKey("wk-key");
        // The services are a closed local port here: the search now fails for another reason.
        QTRY_VERIFY(message->accessibleName() != missing);
        QCOMPARE(query->text(), QString("Lyon"));
        QCOMPARE(message->textFormat(), Qt::PlainText);
    }
};

QTEST_MAIN(TestSearchKeyLink)
#include "TestSearchKeyLink.moc"
