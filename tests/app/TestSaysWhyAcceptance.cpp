// A key Metals.Dev refuses and a symbol Yahoo does not know, answered by loopback services:
// the band's tooltips, the keys tab and the log each tell the reason with its status, once.

#include "ServiceFixture.h"
#include "app/ShownItems.h"
#include "app/TickerController.h"
#include "band/BandLines.h"
#include "health/ItemHealth.h"
#include "health/SourceHealth.h"
#include "settingsui/KeysTab.h"
#include "settingsui/SettingsEnvironment.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include "FakeClock.h"

namespace {

QStringList s_log;

void capture(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (QByteArray(context.category).startsWith("dotbanner."))
        s_log << message;
}

} // namespace

class TestSaysWhyAcceptance : public QObject
{
    Q_OBJECT
private slots:
    void refusedKeyAndUnknownSymbol()
    {
        FakeClock clock(QDateTime(QDate(2026, 3, 2), QTime(14, 0)));
        ServiceFixture s;
        QVERIFY(s.server.start());
        s.server.serveAllServices();
        s.server.setResponse("/v1/latest", {401, R"({"status":"failure","error_message":"invalid key"})"});
        s.server.setResponse("/v8/finance/chart/ZZZZ",
                             {404, R"({"chart":{"result":null,"error":{"code":"Not Found"}}})"});
        const WatchItem gold{QUuid::createUuid(), ItemKind::metal, "gold", "OR", std::nullopt};
        const WatchItem gone{QUuid::createUuid(), ItemKind::quote, "ZZZZ", "ZZZZ", std::nullopt};
        s.settings.setMetalsKey("Secret-Metals-Key");
        s.settings.setItems({gold, gone});

        s_log.clear();
        const QtMessageHandler previous = qInstallMessageHandler(capture);
        s.data.refresh(true);
        const bool done = QTest::qWaitFor(
            [&] {
                clock.advanceMs(0);
                return !s.data.isRefreshing();
            },
            15000);
        qInstallMessageHandler(previous);
        QVERIFY(done);

        // The log: one line for each, with the status, never the key.
        const QStringList metals = s_log.filter("Metals.Dev");
        const QStringList symbol = s_log.filter("ZZZZ");
        QCOMPARE(metals.size(), 1);
        QVERIFY2(metals.first().contains("key rejected (HTTP 401)"), qPrintable(metals.first()));
        QCOMPARE(symbol.size(), 1);
        QVERIFY2(symbol.first().contains("not found (HTTP 404)"), qPrintable(symbol.first()));
        QVERIFY(s_log.filter("Secret-Metals-Key").isEmpty());

        // The band's tooltips, as the controller would show the quotes.
        const QList<Quote> quotes = TickerController::shownQuotesOf(s.data.quotes());
        QCOMPARE(quotes.size(), 2);
        ShownItems shown(s.settings, s.data.health());
        const QList<LineSpan> spans{{0, 40, LineSpan::Part::quote, 0}, {40, 80, LineSpan::Part::quote, 1}};
        shown.setQuotes(quotes, {false, false}, spans);
        const auto goldTarget = shown.target(BandLines::quotes, quotes[0].id == gold.id ? spans[0] : spans[1]);
        const auto goneTarget = shown.target(BandLines::quotes, quotes[0].id == gold.id ? spans[1] : spans[0]);
        QVERIFY(goldTarget && goneTarget);
        // Both wait for their next try, which the tooltip gives too (its long line wrapped).
        QCOMPARE(goldTarget->tooltip.simplified(),
                 QString("OR (gold) Metals.Dev a refusé la clé (HTTP 401), prochain essai à 14:05 — cliquer pour la "
                         "corriger"));
        QCOMPARE(goldTarget->url, ItemHealth::keyFieldLink(KeyService::metals));
        QVERIFY2(goneTarget->tooltip.startsWith("ZZZZ\nYahoo : symbole introuvable (HTTP 404)"),
                 qPrintable(goneTarget->tooltip));
        QCOMPARE(goneTarget->url.host(), QString("finance.yahoo.com"));

        // The keys tab, on the same model.
        SettingsEnvironment environment;
        KeysTab keys(s.settings, environment, s.data.health());
        QCOMPARE(keys.findChild<QLabel *>("keyStatus_metals")->text(),
                 QString("Refusée par Metals.Dev (HTTP 401) : vérifie la clé ; prochain essai à 14:05"));
    }
};

QTEST_MAIN(TestSaysWhyAcceptance)
#include "TestSaysWhyAcceptance.moc"
