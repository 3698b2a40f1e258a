#include "FakeBandSurface.h"
#include "FakeClock.h"
#include "FakeNotifications.h"
#include "ServiceFixture.h"
#include "alerts/AlertStore.h"
#include "app/AlertEditing.h"
#include "app/AppAlerts.h"
#include "app/AppDelegate.h"
#include "app/TickerController.h"
#include "band/BandInteraction.h"
#include "line/ItemMarks.h"
#include "line/LedBuilder.h"
#include "line/Sparklines.h"
#include "line/UpDownColouring.h"
#include "settings/BandLook.h"
#include "settings/SettingsRecord.h"
#include "settingsui/SettingsEnvironment.h"

#include <QApplication>
#include <QDBusConnection>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

QByteArray chart(double price, double previousClose, const QByteArray &extra = {})
{
    return "{\"chart\":{\"result\":[{\"meta\":{\"regularMarketPrice\":" + QByteArray::number(price) +
           ",\"chartPreviousClose\":" + QByteArray::number(previousClose) + extra + "}}]}}";
}

QByteArray alertEntry(const QUuid &item, const char *above, const char *below, const char *move)
{
    return "{\"item\":\"" + SettingsRecord::uuidText(item).toLatin1() + "\",\"above\":" + above +
           ",\"below\":" + below + ",\"movePercent\":" + move + "}";
}

int requestsFor(const LoopbackHttpServer &server, const QByteArray &path)
{
    int count = 0;
    for (const LoopbackHttpServer::Request &request : server.requests())
        count += request.path() == path ? 1 : 0;
    return count;
}

/** The band-local point over loop column `column` of the quotes line, wherever it stands now. */
QPointF over(const TickerController &ticker, double column, double pitch)
{
    const ScrollLine &line = ticker.lines().quotesLine();
    const double loop = double(std::max<std::int64_t>(line.loopColumns(), 1));
    return QPointF(std::fmod(std::fmod(column - line.columnAt(BandLines::now()), loop) + loop, loop) * pitch, pitch);
}

/** The span of the quote of `id` in `spans` of `quotes`. */
std::optional<LineSpan> spanOf(const QList<LineSpan> &spans, const QList<Quote> &quotes, const QUuid &id)
{
    for (const LineSpan &span : spans) {
        if (span.part == LineSpan::Part::quote && span.index >= 0 && span.index < quotes.size() &&
            quotes.at(span.index).id == id)
            return span;
    }
    return std::nullopt;
}

} // namespace

/**
 * The program's price alerts as it wires them: the delegate makes them before the data starts,
 * each value fetched from a loopback Yahoo reaches them, and what they tell reaches a fake
 * notification service on a private session bus. The band shows the market's state in its
 * tooltips.
 */
class TestAppAlerts : public QObject
{
    Q_OBJECT
private:
    struct Fixture : ServiceFixture
    {
        FakeClock clock;
        FakeNotifications service;
        FakeBandSurface *surface = nullptr;
        QList<QPair<QString, QString>> trayMessages;
        const WatchItem apple{QUuid::createUuid(), ItemKind::quote, "AAPL", "AAPL", std::nullopt};
        const WatchItem lvmh{QUuid::createUuid(), ItemKind::quote, "MC.PA", "LVMH", std::nullopt};
        const WatchItem total{QUuid::createUuid(), ItemKind::quote, "TTE.PA", "TOTAL", std::nullopt};
        const WatchItem tokyo{QUuid::createUuid(), ItemKind::quote, "7203.T", "TOYOTA", std::nullopt};

        AppServices services()
        {
            AppServices services;
            services.settings = &settings;
            services.defaults = &store;
            services.startData = [this] { data.start(); };
            services.refreshData = [this](bool force) { data.refresh(force); };
            services.makeAlerts = [this](DesktopNotifier::Fallback fallback) {
                // The delegate's own fallback is the tray; here it is recorded as well.
                return std::make_unique<AppAlerts>(store, settings, data,
                                                   [this, fallback](const QString &summary, const QString &body) {
                                                       trayMessages.append({summary, body});
                                                       fallback(summary, body);
                                                   });
            };
            services.makeTicker = [this] {
                return std::make_unique<TickerController>(settings, data, news, nullptr,
                                                          [this](BandLines &lines, WindowSystem *) {
                                                              auto made = std::make_unique<FakeBandSurface>(lines);
                                                              surface = made.get();
                                                              return made;
                                                          });
            };
            services.trayAvailable = [] { return true; };
            services.exit = [](int) {};
            return services;
        }
    };

    /** Lets every Notify in flight arrive: one sent last on the same connection arrives after them. */
    static void drain(FakeNotifications &service)
    {
        DesktopNotifier marker({});
        const qsizetype before = service.received.size();
        marker.notify(QStringLiteral("marker"), QString());
        QVERIFY(QTest::qWaitFor(
            [&] { return service.received.size() > before && service.received.last().summary == u"marker"; }, 10000));
        service.received.removeLast();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "this test runs on a private session bus");
    }

    void reachedAlertsNotifyOnceThroughTheDesktop()
    {
        Fixture f;
        QVERIFY(f.service.start());
        f.settings.setItems({f.apple, f.lvmh, f.total});
        QVERIFY(f.store.set(AlertStore::key, "[" + alertEntry(f.apple.id, "600", "null", "null") + "," +
                                                 alertEntry(f.lvmh.id, "null", "null", "1") + "," +
                                                 alertEntry(f.total.id, "null", "100", "5") + "]"));
        QVERIFY(f.store.setBool(AppDelegate::didShowSettingsOnceKey, true));
        QVERIFY(f.server.start());
        f.server.serveAllServices();
        f.server.setResponse("/v8/finance/chart/AAPL", {200, chart(687.3, 650)});
        f.server.setResponse("/v8/finance/chart/MC.PA", {200, chart(691.25, 700)}); // −1.25 %
        f.server.setResponse("/v8/finance/chart/TTE.PA", {200, chart(101.1, 100)}); // +1.1 %
        f.http.setTimeoutScale(0.05);

        AppDelegate delegate(f.services());
        delegate.launch(LaunchOptions{});
        QVERIFY(delegate.alerts());
        QVERIFY(QTest::qWaitFor([&] { return f.server.requestCount() >= 3 && !f.data.isRefreshing(); }, 15000));
        drain(f.service);

        QCOMPARE(f.service.received.size(), 2);
        QCOMPARE(f.service.received.at(0).summary, QStringLiteral("AAPL"));
        QVERIFY(f.service.received.at(0).body.contains(QStringLiteral("687.30")));
        QCOMPARE(f.service.received.at(1).summary, QStringLiteral("LVMH"));
        QVERIFY(f.trayMessages.isEmpty());
        QCOMPARE(delegate.alerts()->watcher().alerting(), (QList<QUuid>{f.apple.id, f.lvmh.id}));

        // The next fetch, a minute later, finds the same values beyond the same thresholds.
        f.server.clearRequests();
        f.clock.advanceMs(60000);
        QVERIFY(QTest::qWaitFor([&] { return f.server.requestCount() >= 3 && !f.data.isRefreshing(); }, 15000));
        drain(f.service);
        QCOMPARE(f.service.received.size(), 2);
        QVERIFY(f.trayMessages.isEmpty());
    }

    void withoutANotificationServiceTheTrayTells()
    {
        Fixture f;
        f.settings.setItems({f.apple});
        QVERIFY(f.store.set(AlertStore::key, "[" + alertEntry(f.apple.id, "600", "null", "null") + "]"));
        QVERIFY(f.store.setBool(AppDelegate::didShowSettingsOnceKey, true));
        QVERIFY(f.server.start());
        f.server.serveAllServices();
        f.server.setResponse("/v8/finance/chart/AAPL", {200, chart(687.3, 650)});
        f.http.setTimeoutScale(0.05);

        AppDelegate delegate(f.services());
        delegate.launch(LaunchOptions{});
        QVERIFY(QTest::qWaitFor([&] { return !f.trayMessages.isEmpty(); }, 15000));
        QCOMPARE(f.trayMessages.size(), 1);
        QCOMPARE(f.trayMessages.first().first, QStringLiteral("AAPL"));
        QVERIFY(f.trayMessages.first().second.contains(QStringLiteral("687.30")));
    }

    void theBandsTooltipTellsTheMarketsHours()
    {
        Fixture f;
        f.settings.setItems({f.tokyo});
        QVERIFY(f.store.setBool(AppDelegate::didShowSettingsOnceKey, true));
        QVERIFY(f.server.start());
        f.server.serveAllServices();
        // Tokyo's session ended hours before the fake clock's now; a post-market price is given.
        const QDateTime now = f.clock.now().toUTC();
        const qint64 start = now.addSecs(-9 * 3600).toSecsSinceEpoch();
        const qint64 end = now.addSecs(-3 * 3600).toSecsSinceEpoch();
        f.server.setResponse(
            "/v8/finance/chart/7203.T",
            {200, chart(2900, 2880,
                        ",\"exchangeTimezoneName\":\"Asia/Tokyo\",\"gmtoffset\":32400,"
                        "\"postMarketPrice\":2910.5,\"currentTradingPeriod\":{\"regular\":"
                        "{\"start\":" +
                            QByteArray::number(start) + ",\"end\":" + QByteArray::number(end) + "}}")});
        f.http.setTimeoutScale(0.05);

        AppDelegate delegate(f.services());
        delegate.launch(LaunchOptions{});
        QVERIFY(QTest::qWaitFor(
            [&] { return requestsFor(f.server, "/v8/finance/chart/7203.T") >= 1 && !f.data.isRefreshing(); }, 15000));
        QVERIFY(QTest::qWaitFor(
            [&] {
                delegate.ticker()->finishBuilding();
                return delegate.ticker()->shownQuotes().size() == 1 && delegate.ticker()->shownQuotes().first().market;
            },
            15000));
        QVERIFY(f.surface);
        const QList<LineSpan> &spans = delegate.ticker()->quoteSpans();
        QVERIFY(!spans.isEmpty());
        const QPointF at = over(*delegate.ticker(), double(spans.first().start + 1), f.settings.ledSize());
        f.surface->pointer(BandPointerEvent::Type::enter, at);
        f.surface->pointer(BandPointerEvent::Type::move, at);
        f.clock.advanceMs(BandInteraction::tooltipDelayMs + 10);
        QVERIFY(!f.surface->tooltips.isEmpty());
        const QString tooltip = f.surface->tooltips.last();
        QVERIFY2(tooltip.contains(QStringLiteral("Marché fermé — ouvre à ")), qPrintable(tooltip));
        QVERIFY2(tooltip.contains(QStringLiteral("Après-Bourse : 2910.50")), qPrintable(tooltip));
    }
    void alertingItemsAreInvertedUntilSeen()
    {
        Fixture f;
        f.settings.setItems({f.apple, f.lvmh});
        QVERIFY(f.store.set(AlertStore::key, "[" + alertEntry(f.apple.id, "600", "null", "null") + "," +
                                                 alertEntry(f.lvmh.id, "null", "null", "1") + "]"));
        QVERIFY(f.store.setBool(AppDelegate::didShowSettingsOnceKey, true));
        QVERIFY(f.server.start());
        f.server.serveAllServices();
        f.server.setResponse("/v8/finance/chart/AAPL", {200, chart(687.3, 650)});
        f.server.setResponse("/v8/finance/chart/MC.PA", {200, chart(691.25, 700)});
        f.http.setTimeoutScale(0.05);

        AppDelegate delegate(f.services());
        delegate.launch(LaunchOptions{});
        AlertWatcher &watcher = delegate.alerts()->watcher();
        TickerController &ticker = *delegate.ticker();
        QVERIFY(QTest::qWaitFor([&] { return watcher.alerting().size() == 2; }, 15000));

        // The band shows exactly the plain line with both items inverted, nothing else.
        const auto expected = [&](const QList<QUuid> &inverted) {
            LedBuilder::Line line =
                LedBuilder::buildLine(ticker.shownQuotes(), f.settings.fontStyle(), ticker.shownStale());
            for (const QUuid &id : inverted) {
                if (const auto span = spanOf(line.spans, ticker.shownQuotes(), id))
                    ItemMarks::invert(line.bitmap, *span);
            }
            return line.bitmap;
        };
        const auto shows = [&](const QList<QUuid> &inverted) {
            ticker.finishBuilding();
            return ticker.shownQuotes().size() == 2 && ticker.lines().bitmap == expected(inverted);
        };
        QVERIFY(QTest::qWaitFor([&] { return shows({f.apple.id, f.lvmh.id}); }, 15000));
        QVERIFY(ticker.lines().bitmap != expected({}));

        // Passing over an item stops nothing; resting on it until its tooltip shows is seeing it.
        const auto apple = spanOf(ticker.quoteSpans(), ticker.shownQuotes(), f.apple.id);
        QVERIFY(apple);
        const double pitch = f.settings.ledSize();
        const QPointF onApple = over(ticker, double(apple->start + 1), pitch);
        f.surface->pointer(BandPointerEvent::Type::enter, onApple);
        f.clock.advanceMs(BandInteraction::tooltipDelayMs / 2);
        QCOMPARE(watcher.alerting().size(), 2);
        f.clock.advanceMs(BandInteraction::tooltipDelayMs);
        QCOMPARE(watcher.alerting(), QList<QUuid>{f.lvmh.id});
        QVERIFY(QTest::qWaitFor([&] { return shows({f.lvmh.id}); }, 15000));

        // A click on the other one is seeing it too, before any tooltip.
        const auto lvmh = spanOf(ticker.quoteSpans(), ticker.shownQuotes(), f.lvmh.id);
        QVERIFY(lvmh);
        const QPointF onLvmh = over(ticker, double(lvmh->start + 1), pitch);
        f.surface->pointer(BandPointerEvent::Type::press, onLvmh, Qt::LeftButton);
        QVERIFY(watcher.alerting().isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return shows({}); }, 15000));
    }

    void changedValuesAreBrightForASecond()
    {
        Fixture f;
        f.settings.setItems({f.apple, f.lvmh});
        QVERIFY(f.store.setBool(AppDelegate::didShowSettingsOnceKey, true));
        QVERIFY(f.server.start());
        f.server.serveAllServices();
        f.server.setResponse("/v8/finance/chart/AAPL", {200, chart(687.3, 650)});
        f.server.setResponse("/v8/finance/chart/MC.PA", {200, chart(691.25, 700)});
        f.http.setTimeoutScale(0.05);

        AppDelegate delegate(f.services());
        delegate.launch(LaunchOptions{});
        TickerController &ticker = *delegate.ticker();
        const auto expected = [&](const QList<QUuid> &bright) {
            LedBuilder::Line line =
                LedBuilder::buildLine(ticker.shownQuotes(), f.settings.fontStyle(), ticker.shownStale());
            for (const QUuid &id : bright) {
                if (const auto span = spanOf(line.spans, ticker.shownQuotes(), id))
                    ItemMarks::brighten(line.bitmap, *span);
            }
            return line.bitmap;
        };
        const auto shows = [&](const QString &applePrice, const QList<QUuid> &bright) {
            ticker.finishBuilding();
            const QList<Quote> &quotes = ticker.shownQuotes();
            return quotes.size() == 2 && quotes.first().price == applePrice &&
                   ticker.lines().bitmap == expected(bright);
        };
        // The first values of a launch replace placeholders: nothing flashes.
        QVERIFY(QTest::qWaitFor([&] { return !f.data.isRefreshing() && shows(QStringLiteral("687.30"), {}); }, 15000));
        QVERIFY(ticker.flashing().isEmpty());

        // A minute later AAPL moved, LVMH did not: only AAPL is bright, for a second.
        f.server.setResponse("/v8/finance/chart/AAPL", {200, chart(690.1, 650)});
        f.server.clearRequests();
        f.clock.advanceMs(60000);
        QVERIFY(QTest::qWaitFor([&] { return f.server.requestCount() >= 2 && !f.data.isRefreshing(); }, 15000));
        QCOMPARE(ticker.flashing(), QList<QUuid>{f.apple.id});
        QVERIFY(QTest::qWaitFor([&] { return shows(QStringLiteral("690.10"), {f.apple.id}); }, 15000));
        QVERIFY(ticker.lines().bitmap != expected({}));
        f.clock.advanceMs(TickerController::flashMs);
        QVERIFY(ticker.flashing().isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return shows(QStringLiteral("690.10"), {}); }, 15000));

        // The same value fetched again does not flash.
        f.server.clearRequests();
        f.clock.advanceMs(60000);
        QVERIFY(QTest::qWaitFor([&] { return f.server.requestCount() >= 2 && !f.data.isRefreshing(); }, 15000));
        QVERIFY(ticker.flashing().isEmpty());
    }
    void theLooksChoicesReachTheBand()
    {
        Fixture f;
        f.settings.setItems({f.apple, f.lvmh});
        QVERIFY(f.store.setBool(AppDelegate::didShowSettingsOnceKey, true));
        QVERIFY(f.server.start());
        f.server.serveAllServices();
        // AAPL with the day's closes, LVMH without.
        const qint64 t0 = f.clock.now().toSecsSinceEpoch() - 6 * 3600;
        QByteArray times;
        QByteArray closes;
        for (int i = 0; i < 72; ++i) {
            times += (i ? "," : "") + QByteArray::number(t0 + i * 300);
            closes += (i ? "," : "") + QByteArray::number(650 + 30 * std::sin(i / 10.0) + i / 2.0, 'f', 2);
        }
        f.server.setResponse("/v8/finance/chart/AAPL",
                             {200, "{\"chart\":{\"result\":[{\"meta\":{\"regularMarketPrice\":687.3,"
                                   "\"chartPreviousClose\":650},\"timestamp\":[" +
                                       times + "],\"indicators\":{\"quote\":[{\"close\":[" + closes + "]}]}}]}}"});
        f.server.setResponse("/v8/finance/chart/MC.PA", {200, chart(691.25, 700)});
        f.http.setTimeoutScale(0.05);

        AppDelegate delegate(f.services());
        delegate.launch(LaunchOptions{});
        TickerController &ticker = *delegate.ticker();
        BandLook look(f.store);
        ticker.setBandLook(look);
        const auto built = [&](bool charts, UpDownColours colours) {
            LedBuilder::Line line =
                LedBuilder::buildLine(ticker.shownQuotes(), f.settings.fontStyle(), ticker.shownStale());
            if (charts)
                Sparklines::insert(line, ticker.shownQuotes(), ticker.shownStale());
            UpDownColouring::apply(line.bitmap, colours);
            return line;
        };
        const auto shows = [&](bool charts, UpDownColours colours) {
            ticker.finishBuilding();
            const QList<Quote> &quotes = ticker.shownQuotes();
            if (quotes.size() != 2 || quotes.first().dayCloses.isEmpty() || !quotes.last().at.isValid())
                return false;
            const LedBuilder::Line line = built(charts, colours);
            return ticker.lines().bitmap == line.bitmap && ticker.quoteSpans() == line.spans;
        };
        // Off: the band LED for LED as without the choice.
        QVERIFY(QTest::qWaitFor([&] { return shows(false, UpDownColours::greenRed); }, 15000));
        const std::int64_t plainWidth = ticker.lines().bitmap->w;
        QTemporaryDir pictures;
        QVERIFY(ticker.writePNG(pictures.filePath(QStringLiteral("plain.png"))));

        // On: one chart, after AAPL only, and the spans follow it.
        QVERIFY(look.setSparklines(true));
        QVERIFY(QTest::qWaitFor([&] { return shows(true, UpDownColours::greenRed); }, 15000));
        QCOMPARE(ticker.lines().bitmap->w, plainWidth + Sparklines::gapBefore + Sparklines::columns);
        QVERIFY(ticker.writePNG(pictures.filePath(QStringLiteral("charts.png"))));
        const QImage plain(pictures.filePath(QStringLiteral("plain.png")));
        const QImage charts(pictures.filePath(QStringLiteral("charts.png")));
        QCOMPARE(charts.size(), plain.size());
        QVERIFY(charts != plain);
        if (const QByteArray keep = qgetenv("DOTBANNER_KEEP_PICTURES"); !keep.isEmpty())
            QVERIFY(charts.save(QString::fromLocal8Bit(keep)));

        // Blue and orange, then red up: the same line in the chosen colours.
        QVERIFY(look.setUpDownColours(UpDownColours::blueOrange));
        QVERIFY(QTest::qWaitFor([&] { return shows(true, UpDownColours::blueOrange); }, 15000));
        QVERIFY(look.setUpDownColours(UpDownColours::redUp));
        QVERIFY(look.setSparklines(false));
        QVERIFY(QTest::qWaitFor([&] { return shows(false, UpDownColours::redUp); }, 15000));
        QVERIFY(ticker.lines().bitmap != built(false, UpDownColours::greenRed).bitmap);
    }
    void theSettingsWindowEditsTheStoredAlerts()
    {
        Fixture f;
        const WatchItem weather{QUuid::createUuid(), ItemKind::weather, "Paris", "Paris", std::nullopt};
        f.settings.setItems({f.apple, f.lvmh, weather});
        SettingsEnvironment environment;
        AlertStore *current = nullptr;
        connectAlertEditing(environment, [&current] { return current; });
        // Before the alerts exist there is nothing to read or write.
        QVERIFY(!environment.alertOf(f.apple.id));
        QVERIFY(!environment.setAlert(f.apple.id, AlertThresholds{600.0, std::nullopt, std::nullopt}));

        AlertStore store(f.store, f.settings);
        current = &store;
        QVERIFY(environment.setAlert(f.apple.id, AlertThresholds{600.0, std::nullopt, 1.0}));
        QCOMPARE(store.alert(f.apple.id), std::optional(PriceAlert{f.apple.id, 600.0, std::nullopt, 1.0}));
        QCOMPARE(environment.alertOf(f.apple.id), std::optional(AlertThresholds{600.0, std::nullopt, 1.0}));
        QVERIFY(f.store.data(AlertStore::key)->contains(SettingsRecord::uuidText(f.apple.id).toLatin1()));
        // What the store refuses is refused: the weather, negative thresholds.
        QVERIFY(!environment.setAlert(weather.id, AlertThresholds{1.0, std::nullopt, std::nullopt}));
        QVERIFY(!environment.setAlert(f.lvmh.id, AlertThresholds{-1.0, std::nullopt, std::nullopt}));
        QVERIFY(!environment.alertOf(f.lvmh.id));
        // No thresholds: no alert.
        QVERIFY(environment.setAlert(f.apple.id, AlertThresholds{}));
        QVERIFY(!environment.alertOf(f.apple.id));

        // An item that leaves the watch list takes its alert with it, in the file too.
        QVERIFY(environment.setAlert(f.lvmh.id, AlertThresholds{std::nullopt, 650.0, std::nullopt}));
        f.settings.setItems({f.apple, weather});
        QVERIFY(QTest::qWaitFor([&] { return !store.alert(f.lvmh.id); }, 5000));
        QVERIFY(!environment.alertOf(f.lvmh.id));
        QVERIFY(!f.store.data(AlertStore::key)->contains(SettingsRecord::uuidText(f.lvmh.id).toLatin1()));
    }
};

QTEST_MAIN(TestAppAlerts)
#include "TestAppAlerts.moc"
