// A new user whose interface is English starts with English lists; French and C keep theirs
// exactly, and a stored record is never changed by the language.

#include "UiTestSupport.h"

#include "search/SearchModel.h"
#include "settings/SettingsRecord.h"
#include "settingsui/InterfaceLanguage.h"
#include "settingsui/NewsSection.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTranslator>

class TestEnglishDefaults : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Settings::setEnglishDefaults(false); }

    void firstStartFollowsTheLanguage()
    {
        {
            SettingsFixture french;
            QCOMPARE(french.settings.items(), SettingsRecord::defaultItems());
            QCOMPARE(french.settings.newsSources(), NewsSource::defaults());
        }
        Settings::setEnglishDefaults(true);
        SettingsFixture english;
        const QList<WatchItem> items = english.settings.items();
        QStringList labels;
        for (const WatchItem &item : items)
            labels << item.label;
        QCOMPARE(labels, (QStringList{"AAPL", "S&P500", "CAC40", "BTC", "CW8", "GOLD", "PARIS"}));
        // Same symbols and kinds: only what the user reads changes.
        for (qsizetype i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i].symbol, SettingsRecord::defaultItems()[i].symbol);
            QCOMPARE(items[i].kind, SettingsRecord::defaultItems()[i].kind);
        }
        QCOMPARE(english.settings.newsSources(), NewsSource::englishDefaults());
        for (const NewsSource &source : NewsSource::englishDefaults()) {
            QVERIFY(source.url.startsWith("https://"));
            QVERIFY(source.enabled);
        }
        // Nothing is written by a first start.
        QVERIFY(!english.store.data(Settings::key));
    }

    void storedRecordsKeepTheirLists()
    {
        SettingsFixture f;
        f.settings.setSpeed(4.0); // the French defaults are now a stored record
        QVERIFY(f.store.data(Settings::key));
        Settings::setEnglishDefaults(true);
        Settings again(f.store, f.keys);
        QCOMPARE(again.items(), f.settings.items());
        QCOMPARE(again.newsSources(), NewsSource::defaults());
        QCOMPARE(again.speed(), 4.0);
    }

    void defaultSourcesButtonRestoresTheLanguagesFeeds()
    {
        Settings::setEnglishDefaults(true);
        UiFixture f;
        NewsSection section(f.settings, f.environment);
        showOffscreen(&section);
        auto *defaults = section.findChild<QPushButton *>("defaultSourcesButton");
        QVERIFY(!defaults->isEnabled()); // the English feeds are this user's defaults
        f.settings.setNewsSources(NewsSource::defaults());
        QVERIFY(defaults->isEnabled());
        defaults->click();
        QCOMPARE(f.settings.newsSources(), NewsSource::englishDefaults());
    }

    void metalNamesFollowTheLanguage()
    {
        QCOMPARE(SearchModel::metalLabel("gold"), QString("OR"));
        QCOMPARE(SearchModel::metals().first().title, QString("Or · Gold"));
        std::unique_ptr<QTranslator> translator = InterfaceLanguage::translatorFor({"en-US"});
        QVERIFY(translator && QCoreApplication::installTranslator(translator.get()));
        QCOMPARE(SearchModel::metalLabel("gold"), QString("GOLD"));
        QCOMPARE(SearchModel::metalLabel("silver"), QString("SILVER"));
        QCOMPARE(SearchModel::metals().first().title, QString("Gold"));
        for (const SearchModel::Metal &metal : SearchModel::metals()) {
            QVERIFY2(!metal.title.contains(u'·'), qPrintable(metal.title)); // no French beside it
            QVERIFY(metal.label.size() <= 8);
        }
        // Searching in English finds the English names.
        const QList<Suggestion> found = SearchModel::metalSuggestions("silv", "USD", "toz");
        QCOMPARE(found.size(), 1);
        QCoreApplication::removeTranslator(translator.get());
        QCOMPARE(SearchModel::metalLabel("silver"), QString("ARGENT"));
    }
};

QTEST_MAIN(TestEnglishDefaults)
#include "TestEnglishDefaults.moc"
