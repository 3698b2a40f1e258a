// The band tells why an item has no value, in the interface's language, and a click on an item
// waiting for a key opens that key's field.

#include "ServiceFixture.h"
#include "app/AppDelegate.h"
#include "app/SettingsWindow.h"
#include "app/ShownItems.h"
#include "app/TickerController.h"
#include "band/BandInteraction.h"
#include "band/BandLines.h"
#include "data/Records.h"
#include "health/ItemHealth.h"
#include "health/SourceHealth.h"
#include "line/LedBuilder.h"
#include "settingsui/InterfaceLanguage.h"
#include "settingsui/KeysTab.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/SettingsView.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>

#include <memory>

#include "FakeBandSurface.h"
#include "FakeClock.h"

namespace {

/** The English translation installed for the life of the value. */
struct English
{
    English()
        : translator(InterfaceLanguage::translatorFor({QStringLiteral("en-US")}))
    {
        if (!translator || !QCoreApplication::installTranslator(translator.get()))
            qFatal("the built-in English translation cannot be installed");
    }
    ~English() { QCoreApplication::removeTranslator(translator.get()); }
    std::unique_ptr<QTranslator> translator;
};

WatchItem itemOf(ItemKind kind, const char *symbol, const char *label)
{
    return WatchItem{QUuid::createUuid(), kind, QString::fromLatin1(symbol), QString::fromLatin1(label), std::nullopt};
}

/** The band's texts that must be drawn whole in the pixel fonts. */
QStringList bandTexts()
{
    return {TickerController::missingKeyText(), TickerController::loadingMessage(), TickerController::noSourceMessage(),
            TickerController::unreadableMessage()};
}

} // namespace

class TestBandSaysWhy : public QObject
{
    Q_OBJECT
private slots:
    void missingKeyFollowsTheLanguage()
    {
        const WatchItem gold = itemOf(ItemKind::metal, "XAU", "OR");
        const Quote waiting = Records::placeholder(gold, Records::missingKeyPrice);
        const Quote unknown = Records::placeholder(gold);
        // French, and C, which stays French: exactly as the band always wrote it.
        QCOMPARE(TickerController::shownQuotesOf({waiting, unknown}).first().price, QStringLiteral("CLE?"));
        QCOMPARE(TickerController::shownQuotesOf({waiting, unknown}).last().price, QStringLiteral("--"));
        {
            const English english;
            const QList<Quote> shown = TickerController::shownQuotesOf({waiting, unknown});
            QCOMPARE(shown.first().price, QStringLiteral("KEY?"));
            QCOMPARE(shown.last().price, QStringLiteral("--"));
            QCOMPARE(shown.first().name, waiting.name);
            QCOMPARE(TickerController::loadingMessage(), QStringLiteral("Loading news..."));
        }
        QCOMPARE(TickerController::missingKeyText(), QStringLiteral("CLE?"));
    }

    void bandTextsFitThePixelFonts()
    {
        // A letter the font lacks would silently vanish from the band.
        const auto check = [] {
            for (const QString &text : bandTexts()) {
                const QString drawn = LedBuilder::sanitize(text, false);
                QCOMPARE(drawn.size(), text.size());
                QVERIFY2(!drawn.trimmed().isEmpty(), qPrintable(text));
            }
        };
        check();
        const English english;
        check();
    }

    void placeholderTooltipsSayWhy()
    {
        ServiceFixture s;
        SourceHealth health;
        const WatchItem gold = itemOf(ItemKind::metal, "XAU", "OR");
        const WatchItem gone = itemOf(ItemKind::quote, "GONE", "GONE");
        const WatchItem paris = itemOf(ItemKind::weather, "Paris", "PARIS");
        s.settings.setItems({gold, gone, paris});
        ShownItems shown(s.settings, health);
        const QList<Quote> quotes{Records::placeholder(gold, QStringLiteral("CLE?")), Records::placeholder(gone),
                                  Records::placeholder(paris)};
        const QList<LineSpan> spans{
            {0, 40, LineSpan::Part::quote, 0}, {40, 80, LineSpan::Part::quote, 1}, {80, 120, LineSpan::Part::quote, 2}};
        shown.setQuotes(quotes, {false, false, false}, spans);

        // Nothing known yet: the placeholder as before, the stock still leads to its page.
        QCOMPARE(shown.target(BandLines::quotes, spans[1])->tooltip, QStringLiteral("GONE\n--"));
        QCOMPARE(shown.target(BandLines::quotes, spans[1])->url, LineTargets::quotePage(QStringLiteral("GONE")));

        health.recordFailure(SourceId::metalsDev(), SourceFailure{FailureKind::keyRejected, 401, 0, {}, {}});
        health.recordFailure(SourceId::yahoo(), SourceFailure{FailureKind::notFound, 404, 0, {}, {}}, gone.id);
        health.recordFailure(SourceId::weatherApi(), SourceFailure{FailureKind::missingKey, 0, 0, {}, {}}, paris.id);

        auto target = shown.target(BandLines::quotes, spans[0]);
        QCOMPARE(target->tooltip,
                 QStringLiteral("OR (XAU)\nMetals.Dev a refusé la clé (HTTP 401) — cliquer pour la corriger"));
        QCOMPARE(target->url, ItemHealth::keyFieldLink(KeyService::metals));
        target = shown.target(BandLines::quotes, spans[1]);
        QCOMPARE(target->tooltip, QStringLiteral("GONE\nYahoo : symbole introuvable (HTTP 404)"));
        QCOMPARE(target->url, LineTargets::quotePage(QStringLiteral("GONE")));
        target = shown.target(BandLines::quotes, spans[2]);
        QCOMPARE(target->tooltip, QStringLiteral("PARIS\nClé WeatherAPI manquante — cliquer pour l'ajouter"));
        QCOMPARE(target->url, ItemHealth::keyFieldLink(KeyService::weather));

        // A stale value keeps its value and says why it is not fresh.
        Quote old = Records::placeholder(gone, QStringLiteral("12.00"));
        old.at = QDateTime(QDate(2026, 3, 1), QTime(9, 0));
        shown.setQuotes({quotes[0], old, quotes[2]}, {false, true, false}, spans);
        const QStringList lines = shown.target(BandLines::quotes, spans[1])->tooltip.split(u'\n');
        QCOMPARE(lines.at(1), QStringLiteral("12.00"));
        QCOMPARE(lines.last(), QStringLiteral("Yahoo : symbole introuvable (HTTP 404)"));

        // In English, the reason as the user reads it.
        const English english;
        QCOMPARE(shown.target(BandLines::quotes, spans[0])->tooltip,
                 QStringLiteral("OR (XAU)\nMetals.Dev refused the key (HTTP 401) — click to fix it"));
        QCOMPARE(shown.target(BandLines::quotes, spans[2])->tooltip,
                 QStringLiteral("PARIS\nWeatherAPI key missing — click to add it"));
    }

    void clickOnAWaitingItemOpensItsKeyField()
    {
        FakeClock clock;
        ServiceFixture s;
        s.settings.setStockProvider(StockProvider::twelveData);
        SettingsEnvironment environment;
        environment.openUrl = [](const QUrl &) {};
        s.store.setBool(AppDelegate::didShowSettingsOnceKey, true);
        AppServices services;
        services.settings = &s.settings;
        services.defaults = &s.store;
        services.trayAvailable = [] { return true; };
        services.makeSettingsView = [&] { return new SettingsView(s.settings, environment); };
        services.makeTicker = [&] {
            return std::make_unique<TickerController>(
                s.settings, s.data, s.news, nullptr,
                [](BandLines &lines, WindowSystem *) { return std::make_unique<FakeBandSurface>(lines); });
        };
        AppDelegate delegate(services);
        delegate.launch(LaunchOptions::parse({QStringLiteral("dotbanner")}));
        QCoreApplication::processEvents();
        QVERIFY(!delegate.settingsWindow());

        for (const KeyService service : {KeyService::metals, KeyService::twelveData, KeyService::weather}) {
            delegate.ticker()->interaction()->openUrl(ItemHealth::keyFieldLink(service));
            SettingsWindow *window = delegate.settingsWindow();
            QVERIFY(window && window->isVisible());
            auto *view = window->findChild<SettingsView *>();
            QVERIFY(view);
            QCOMPARE(view->tabs()->currentWidget(), view->keysTab());
            const QString name = service == KeyService::metals       ? QStringLiteral("keyField_metals")
                                 : service == KeyService::twelveData ? QStringLiteral("keyField_twelveData")
                                                                     : QStringLiteral("keyField_weather");
            auto *field = view->keysTab()->findChild<QLineEdit *>(name);
            QVERIFY(field);
            QCOMPARE(window->focusWidget(), field);
            // Away from the tab, the next click brings it back.
            view->tabs()->setCurrentIndex(0);
        }
        QCOMPARE(settingsWindowsCount(), 1);
    }

private:
    static int settingsWindowsCount()
    {
        int count = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            count += qobject_cast<SettingsWindow *>(widget) ? 1 : 0;
        return count;
    }
};

QTEST_MAIN(TestBandSaysWhy)
#include "TestBandSaysWhy.moc"
