#include "app/BandGeometry.h"
#include "app/ShownItems.h"
#include "app/TickerController.h"
#include "avoider/WindowAvoider.h"
#include "band/BandInteraction.h"
#include "data/DataService.h"
#include "desktop/WindowSystem.h"
#include "health/SourceHealth.h"
#include "line/LedBuilder.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "qtband/LedView.h"
#include "qtband/PanelSurface.h"
#include "qtband/TickerPanel.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "FakeBandSurface.h"
#include "ServiceFixture.h"
#include "FakeWindowSystem.h"

namespace {

/** Records what the controller tells the avoider instead of moving windows. */
class RecordingAvoider : public WindowAvoider
{
public:
    RecordingAvoider()
        : WindowAvoider(std::make_shared<FakeWindowSystem>())
    {}
    FakeWindowSystem &system() const { return static_cast<FakeWindowSystem &>(*windowSystem()); }
    void update(bool active, const QRectF &band) override
    {
        calls.append({active, band});
        WindowAvoider::update(active, band);
    }
    struct Call
    {
        bool active;
        QRectF band;
    };
    QList<Call> calls;
};

/** The controller with the band in a real window, painted by Qt (the offscreen platform). */
struct Fixture : ServiceFixture
{
    RecordingAvoider *avoider = new RecordingAvoider;
    PanelSurface *surface = nullptr;
    std::unique_ptr<TickerController> controller;

    void start()
    {
        controller = std::make_unique<TickerController>(
            settings, data, news, avoider, [this](BandLines &lines, WindowSystem *system) {
                auto made = std::make_unique<PanelSurface>(lines, new LedView(&lines), system, QStringLiteral("qt"));
                surface = made.get();
                return made;
            });
    }
    TickerPanel *panel() const { return surface->panel(); }

    void settle()
    {
        // Queued applies run on the next pass of the event loop; their lines come from the worker.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        if (controller)
            controller->finishBuilding();
    }
};

/** The controller with the band on a surface in memory. */
struct FakeFixture : ServiceFixture
{
    RecordingAvoider *avoider = new RecordingAvoider;
    BandCapabilities caps;
    bool holdsStrip = false;
    FakeBandSurface *surface = nullptr;
    std::unique_ptr<TickerController> controller;

    void start()
    {
        controller =
            std::make_unique<TickerController>(settings, data, news, avoider, [this](BandLines &lines, WindowSystem *) {
                auto made = std::make_unique<FakeBandSurface>(lines);
                made->caps = caps;
                made->holdsStrip = holdsStrip;
                surface = made.get();
                return made;
            });
    }
    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        controller->finishBuilding();
    }
};

} // namespace

class TestTickerController : public QObject
{
    Q_OBJECT
private slots:
    void bandFrameTopAndBottom();
    void firstApplyPlacesAndShowsTheBand();
    void applyIsIdempotent();
    void heightFollowsLedSizeAndVariant();
    void newsLinePlaceholders();
    void changesInOnePassGiveOneApply();
    void levelChangeRelevelsOnce();
    void avoiderOnlyForFloatingBand();
    void oneWindowSystemMarksTheBand();
    void reservesItsStripWithoutPushingItself();
    void workAreaFromTheWindowSystem();
    void rightClickOpensTheMenu();
    void newLinesComeFromTheWorker();
    void workerHandsOverOnlyTheNewest();
    void placementsGoDownThroughTheSurface();
    void noAvoiderWhereTheCompositorKeepsTheStripClear();
    void ownStripTakesTheWorkAreaFromTheWindowSystem();
    void rightPressAsksTheSurfaceForTheMenu();
    void shownItemsSayWhatWasDrawn();
    void shownItemsReadAsWords();
};

void TestTickerController::bandFrameTopAndBottom()
{
    // A 1920 × 1080 screen with a 30-pixel panel above and a 48-pixel one below.
    const QRect screen(0, 0, 1920, 1080);
    const QRect available(0, 30, 1920, 1002);
    QCOMPARE(BandGeometry::bandFrame(screen, available, DockPosition::top, 55), QRect(0, 30, 1920, 55));
    QCOMPARE(BandGeometry::bandFrame(screen, available, DockPosition::bottom, 55), QRect(0, 977, 1920, 55));
    // A side panel narrows the available area, never the band: it spans the whole screen.
    const QRect side(64, 0, 1856, 1080);
    QCOMPARE(BandGeometry::bandFrame(screen, side, DockPosition::top, 110), QRect(0, 0, 1920, 110));
    // A second screen to the right of the first.
    QCOMPARE(BandGeometry::bandFrame(QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 1000), DockPosition::bottom, 90),
             QRect(1920, 910, 1280, 90));
}

void TestTickerController::firstApplyPlacesAndShowsTheBand()
{
    Fixture f;
    f.start();
    TickerPanel *panel = f.panel();
    QVERIFY(panel->isVisible());
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(panel->geometry(), QRect(available.x(), available.y(), available.width(), 55));
    QCOMPARE(panel->level(), WindowLevelMode::front);
    QVERIFY(panel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(panel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QCOMPARE(f.surface->content()->geometry(), QRect(0, 0, available.width(), 55));
    // The quotes line runs (an empty list still gives a one-column loop); no news line.
    QVERIFY(f.controller->lines().quotesLine().isMoving());
    QVERIFY(!f.controller->lines().newsLine().isRunning());
    QVERIFY(!f.controller->lastNews());
    QCOMPARE(f.controller->lines().bitmap, LedBuilder::build({}, FontStyle::pixelBold, BarVariant::thin));

    f.settings.setPosition(DockPosition::bottom);
    f.settle();
    QCOMPARE(panel->geometry().bottom(), available.bottom());
    QCOMPARE(panel->width(), QGuiApplication::primaryScreen()->geometry().width());
}

void TestTickerController::applyIsIdempotent()
{
    Fixture f;
    f.start();
    f.settle();
    const auto before = f.controller->counters();
    const QRect frame = f.panel()->geometry();
    const double anchor = f.controller->lines().quotesLine().anchorTime();
    const qint64 tile = f.controller->lines().quotesLine().tiles().first().image.cacheKey();
    f.controller->apply();
    f.controller->apply();
    const auto after = f.controller->counters();
    QCOMPARE(after.applies, before.applies + 2);
    QCOMPARE(after.moves, before.moves);
    QCOMPARE(after.levels, before.levels);
    QCOMPARE(f.panel()->geometry(), frame);
    // The view got equal content, so the line neither restarted nor re-rendered.
    QCOMPARE(f.controller->lines().quotesLine().anchorTime(), anchor);
    QCOMPARE(f.controller->lines().quotesLine().tiles().first().image.cacheKey(), tile);
}

void TestTickerController::heightFollowsLedSizeAndVariant()
{
    Fixture f;
    f.start();
    TickerPanel *panel = f.panel();
    QCOMPARE(panel->height(), 55);
    f.settings.setVariant(BarVariant::thick);
    f.settle();
    QCOMPARE(panel->height(), 110);
    QCOMPARE(f.surface->content()->height(), 110);
    f.settings.setLedSize(8);
    f.settle();
    QCOMPARE(panel->height(), 176);
    f.settings.setFontStyle(FontStyle::hd);
    f.settle();
    QCOMPARE(panel->height(), 8 * LedBuilder::rows(FontStyle::hd, BarVariant::thick));
    // The top edge stays where the band hangs.
    QCOMPARE(panel->y(), QGuiApplication::primaryScreen()->availableGeometry().y());
}

void TestTickerController::newsLinePlaceholders()
{
    Fixture f;
    f.settings.setVariant(BarVariant::thick);
    f.start();
    // The default feeds are enabled: headlines are on their way.
    QVERIFY(!f.settings.newsSources().isEmpty());
    const auto loading =
        LedBuilder::buildNews({}, QStringLiteral("Chargement des actualites..."), FontStyle::pixelBold);
    QCOMPARE(f.controller->lastNews(), std::optional<LedBitmap>(loading));
    QCOMPARE(f.controller->lines().newsBitmap, std::optional<LedBitmap>(loading));
    QVERIFY(f.controller->lines().newsLine().isMoving());
    // The news line sits right under the quotes line.
    QCOMPARE(f.controller->lines().newsLine().placement()->y, 55.0);

    QList<NewsSource> sources = f.settings.newsSources();
    for (NewsSource &s : sources)
        s.enabled = false;
    f.settings.setNewsSources(sources);
    f.settle();
    const auto none = LedBuilder::buildNews(
        {}, QStringLiteral("Aucune source d'actualites : ajoute un flux RSS dans les reglages"), FontStyle::pixelBold);
    QCOMPARE(f.controller->lastNews(), std::optional<LedBitmap>(none));

    f.settings.setVariant(BarVariant::thin);
    f.settle();
    QVERIFY(!f.controller->lastNews());
    QVERIFY(!f.controller->lines().newsBitmap);
    QVERIFY(!f.controller->lines().newsLine().isRunning());
    QVERIFY(f.controller->lines().newsLine().tiles().isEmpty());
}

void TestTickerController::changesInOnePassGiveOneApply()
{
    Fixture f;
    f.start();
    f.settle();
    const int applies = f.controller->counters().applies;
    f.settings.setTheme(ColorTheme::amber);
    f.settings.setSpeed(5);
    emit f.data.quotesChanged({});
    emit f.news.headlinesChanged({});
    QCOMPARE(f.controller->counters().applies, applies); // nothing before the event loop runs
    f.settle();
    QCOMPARE(f.controller->counters().applies, applies + 1);
    QCOMPARE(f.controller->lines().theme, ColorTheme::amber);
    QCOMPARE(f.controller->lines().quotesLine().columnsPerSecond(), 35.0);
}

void TestTickerController::levelChangeRelevelsOnce()
{
    Fixture f;
    f.start();
    f.settle();
    const int levels = f.controller->counters().levels;
    f.settings.setLevelMode(WindowLevelMode::desktop);
    f.settle();
    QCOMPARE(f.controller->counters().levels, levels + 1);
    QCOMPARE(f.panel()->level(), WindowLevelMode::desktop);
    QVERIFY(f.panel()->windowHandle()->flags().testFlag(Qt::WindowStaysOnBottomHint));
    QVERIFY(!f.panel()->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    f.controller->apply();
    QCOMPARE(f.controller->counters().levels, levels + 1);

    // A hidden band is shown and raised again by the next apply.
    f.panel()->hide();
    f.controller->apply();
    QVERIFY(f.panel()->isVisible());
    QCOMPARE(f.controller->counters().levels, levels + 2);
}

void TestTickerController::avoiderOnlyForFloatingBand()
{
    Fixture f;
    f.start();
    QVERIFY(f.settings.pushWindows());
    QVERIFY(!f.avoider->calls.isEmpty());
    QVERIFY(f.avoider->calls.last().active);
    QCOMPARE(f.avoider->calls.last().band, QRectF(f.panel()->geometry()));

    for (WindowLevelMode mode : {WindowLevelMode::normal, WindowLevelMode::desktop}) {
        f.settings.setLevelMode(mode);
        f.settle();
        QVERIFY(!f.avoider->calls.last().active);
        QVERIFY(!f.avoider->isActive());
    }
    f.settings.setLevelMode(WindowLevelMode::front);
    f.settings.setPushWindows(false);
    f.settle();
    QVERIFY(!f.avoider->calls.last().active);
    f.settings.setPushWindows(true);
    f.settle();
    QVERIFY(f.avoider->calls.last().active);
}

void TestTickerController::oneWindowSystemMarksTheBand()
{
    Fixture f;
    f.start();
    // The band and the avoider work through the same window system.
    QCOMPARE(f.controller->windowSystem(), f.avoider->windowSystem().get());
    const QString mark = QStringLiteral("accessory %1").arg(f.panel()->winId());
    QCOMPARE(f.avoider->system().writes.count(mark), 1);
    // Each new showing is marked again: the window manager forgets the states on withdrawal.
    f.panel()->hide();
    f.controller->apply();
    QCOMPARE(f.avoider->system().writes.count(mark), 2);
    f.controller->apply();
    QCOMPARE(f.avoider->system().writes.count(mark), 2);
}

void TestTickerController::reservesItsStripWithoutPushingItself()
{
    Fixture f;
    f.start();
    FakeWindowSystem &system = f.avoider->system();
    TickerPanel *panel = f.panel();
    const QRect frame = panel->geometry();
    const auto strip = [&](const char *edge, const QRect &r) {
        return QStringLiteral("strip %1 %2 %3 %4 %5 %6")
            .arg(panel->winId())
            .arg(QLatin1String(edge))
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height());
    };
    const auto strips = [&] { return system.writes.filter(QStringLiteral("strip ")); };
    QCOMPARE(strips(), QStringList{strip("top", frame)});

    // Later applies read the work area without the band's own strip: the band stays, and the
    // strip is not written again.
    f.settle();
    f.controller->apply();
    f.controller->apply();
    QCOMPARE(panel->geometry(), frame);
    QCOMPARE(strips().size(), 1);

    // Another program's panel takes the top 30 pixels: the band moves under it, with its strip.
    system.screenList[0].available = QRectF(0, 30, 1920, 1050);
    f.controller->apply();
    QCOMPARE(panel->y(), frame.y() + 30);
    QCOMPARE(strips().last(), strip("top", panel->geometry()));

    f.settings.setPosition(DockPosition::bottom);
    f.settle();
    QCOMPARE(strips().last(), strip("bottom", panel->geometry()));
    QCOMPARE(panel->geometry().bottom(), QGuiApplication::primaryScreen()->availableGeometry().bottom());

    // Either setting off gives the strip back; on again takes it again.
    const QString none = QStringLiteral("strip %1 none").arg(panel->winId());
    f.settings.setPushWindows(false);
    f.settle();
    QCOMPARE(strips().last(), none);
    f.settings.setPushWindows(true);
    f.settle();
    QCOMPARE(strips().last(), strip("bottom", panel->geometry()));
    f.settings.setLevelMode(WindowLevelMode::desktop);
    f.settle();
    QCOMPARE(strips().last(), none);
    const qsizetype count = strips().size();
    f.controller->apply();
    QCOMPARE(strips().size(), count);
}

void TestTickerController::workAreaFromTheWindowSystem()
{
    // A 2× screen at logical (0, 0) 1280 × 800: a 60-device-pixel panel on top becomes 30 points.
    const ScreenRecord scaled{QRectF(0, 0, 2560, 1600), QRectF(0, 60, 2560, 1540), 2.0};
    QCOMPARE(BandGeometry::workArea(QRect(0, 0, 1280, 800), scaled), QRect(0, 30, 1280, 770));
    // A second screen whose device origin is off the root's corner keeps its logical origin.
    const ScreenRecord right{QRectF(2560, 0, 1920, 1080), QRectF(2560, 0, 1920, 1032), 1.0};
    QCOMPARE(BandGeometry::workArea(QRect(1280, 0, 1920, 1080), right), QRect(1280, 0, 1920, 1032));
    // A record that reaches past the screen is cut to it; one with nothing left is empty.
    const ScreenRecord wild{QRectF(0, 0, 100, 100), QRectF(-50, -50, 400, 400), 0};
    QCOMPARE(BandGeometry::workArea(QRect(0, 0, 100, 100), wild), QRect(0, 0, 100, 100));
    const ScreenRecord none{QRectF(0, 0, 100, 100), QRectF(), 1.0};
    QVERIFY(BandGeometry::workArea(QRect(0, 0, 100, 100), none).isEmpty());
}

void TestTickerController::rightClickOpensTheMenu()
{
    Fixture f;
    f.start();
    int asked = 0;
    f.controller->setMenuProvider([&]() -> QMenu * {
        ++asked;
        return nullptr; // a provider may decline
    });
    QWidget *band = f.surface->content();
    QTest::mouseClick(band, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(asked, 0);
    QTest::mousePress(band, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(asked, 1);
}

void TestTickerController::newLinesComeFromTheWorker()
{
    Fixture f;
    f.settings.setVariant(BarVariant::thick);
    f.start();
    f.settle();
    const ScrollLine &news = f.controller->lines().newsLine();
    const double later = BandLines::now() + 1;
    const double column = news.columnAt(later);
    const qint64 tile = news.tiles().first().image.cacheKey();

    // apply() only hands the new content over: the band keeps showing the old lines.
    f.settings.setTheme(ColorTheme::amber);
    f.controller->apply();
    QCOMPARE(f.controller->lines().theme, ColorTheme::greenRed);
    QCOMPARE(news.tiles().first().image.cacheKey(), tile);

    // Once built, the new tiles replace the old ones as they were made on the worker, and the
    // line goes on from where it stood.
    f.controller->finishBuilding();
    QCOMPARE(f.controller->lines().theme, ColorTheme::amber);
    QVERIFY(news.tiles().first().image.cacheKey() != tile);
    QCOMPARE(news.tiles().first().image.cacheKey(),
             f.controller->lines().rendered[BandLines::news]->tiles.first().image.cacheKey());
    QVERIFY(qAbs(news.columnAt(later) - column) < 1e-6);
}

void TestTickerController::workerHandsOverOnlyTheNewest()
{
    LineWorker worker;
    QList<LineWorker::Result> announced;
    connect(&worker, &LineWorker::built, this, [&](const LineWorker::Result &r) { announced.append(r); });
    LineWorker::Request request;
    request.hasNews = true;
    for (const char *text : {"UN", "DEUX", "TROIS"}) {
        request.message = QString::fromLatin1(text);
        worker.submit(request);
    }
    // Whatever was built in between, the newest result is the one handed over last.
    QTRY_VERIFY(!worker.isBusy());
    QTRY_VERIFY(!announced.isEmpty() && announced.last().request.message == QLatin1String("TROIS"));
    QVERIFY(announced.size() <= 3);
    const LineWorker::Result &last = announced.last();
    QCOMPARE(last.news->bitmap, LedBuilder::buildNews({}, QStringLiteral("TROIS"), FontStyle::pixelBold));
    QCOMPARE(last.newsTiles->content.bitmap, last.news->bitmap);
    QCOMPARE(last.quoteTiles->content.bitmap, last.quotes.bitmap);

    // finish() takes the result itself: it is not announced again.
    request.message = QStringLiteral("QUATRE");
    worker.submit(request);
    const std::optional<LineWorker::Result> finished = worker.finish();
    QVERIFY(finished && finished->request.message == QLatin1String("QUATRE"));
    const qsizetype count = announced.size();
    QCoreApplication::processEvents();
    QCOMPARE(announced.size(), count);
    QVERIFY(!worker.finish());
}

void TestTickerController::placementsGoDownThroughTheSurface()
{
    FakeFixture f;
    f.start();
    QCOMPARE(f.surface->placements.size(), 1);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const BandPlacement first = f.surface->placements.last();
    QCOMPARE(first.frame,
             QRect(screen->geometry().x(), screen->availableGeometry().y(), screen->geometry().width(), 55));
    QCOMPARE(first.edge, DockPosition::top);
    QCOMPARE(first.height, 55);
    QCOMPARE(first.output, screen->name());
    QCOMPARE(first.level, WindowLevelMode::front);
    QVERIFY(first.exclusive);
    // The surface laid the lines out across the frame it was given.
    QCOMPARE(f.controller->lines().width(), double(first.frame.width()));
    QCOMPARE(f.controller->counters().moves, 1);
    QCOMPARE(f.controller->counters().levels, 1);

    // Behind the windows the band keeps no strip; the frame stays, so nothing moves.
    f.settings.setLevelMode(WindowLevelMode::desktop);
    f.settle();
    QCOMPARE(f.surface->placements.last().level, WindowLevelMode::desktop);
    QVERIFY(!f.surface->placements.last().exclusive);
    QCOMPARE(f.controller->counters().moves, 1);
    QCOMPARE(f.controller->counters().levels, 2);

    // Two lines: twice the height, at the bottom of the available area.
    f.settings.setVariant(BarVariant::thick);
    f.settings.setPosition(DockPosition::bottom);
    f.settle();
    const BandPlacement last = f.surface->placements.last();
    QCOMPARE(last.height, 110);
    QCOMPARE(last.edge, DockPosition::bottom);
    QCOMPARE(last.frame.bottom(), screen->availableGeometry().bottom());
    QCOMPARE(f.controller->counters().moves, 2);

    // A band taken off the screen is shown again by the next apply.
    f.surface->withdraw();
    f.controller->apply();
    QVERIFY(f.surface->isShown());
    QCOMPARE(f.controller->counters().levels, 3);
}

void TestTickerController::noAvoiderWhereTheCompositorKeepsTheStripClear()
{
    for (const bool keepsClear : {false, true}) {
        FakeFixture f;
        f.caps.keepsStripClear = keepsClear;
        f.start();
        QVERIFY(f.surface->placements.last().exclusive); // the strip is still asked for
        QVERIFY(!f.avoider->calls.isEmpty());
        QCOMPARE(f.avoider->calls.last().active, !keepsClear);
        QCOMPARE(f.avoider->calls.last().band, QRectF(f.surface->frame()));
    }
}

void TestTickerController::ownStripTakesTheWorkAreaFromTheWindowSystem()
{
    // Qt's work area is the whole screen; the window system knows of a 30-pixel panel on top.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), screen);
    for (const bool holdsStrip : {false, true}) {
        FakeFixture f;
        f.holdsStrip = holdsStrip;
        f.avoider->system().screenList = {{QRectF(screen), QRectF(screen.adjusted(0, 30, 0, 0)), 1.0}};
        f.start();
        // Once the band reserves a strip, Qt's figure would leave it out: the window system's is read.
        QCOMPARE(f.surface->placements.last().frame.y(), screen.y() + (holdsStrip ? 30 : 0));
    }
}

void TestTickerController::rightPressAsksTheSurfaceForTheMenu()
{
    FakeFixture f;
    f.start();
    int asked = 0;
    f.controller->setMenuProvider([&]() -> QMenu * {
        ++asked;
        return nullptr; // a provider may decline
    });
    f.surface->pointer(BandPointerEvent::Type::press, QPointF(10, 10), Qt::LeftButton);
    f.surface->pointer(BandPointerEvent::Type::release, QPointF(10, 10), Qt::LeftButton);
    QVERIFY(f.surface->menus.isEmpty());
    QCOMPARE(asked, 0);
    f.surface->pointer(BandPointerEvent::Type::leave, QPointF(10, 10));
    // The menu opens where the button went down; the pop-ups are asked for its items then.
    f.surface->pointer(BandPointerEvent::Type::press, QPointF(12, 8), Qt::RightButton);
    QCOMPARE(f.surface->menus, QList<QPointF>{QPointF(12, 8)});
    QCOMPARE(asked, 1);
    // A right press holds no line still.
    QCOMPARE(f.controller->interaction()->pausedLine(), -1);
}

void TestTickerController::shownItemsSayWhatWasDrawn()
{
    ServiceFixture s;
    const WatchItem item{QUuid::createUuid(), ItemKind::quote, QStringLiteral("AAPL"), QStringLiteral("Apple"),
                         std::nullopt};
    s.settings.setItems({item});
    SourceHealth health;
    ShownItems shown(s.settings, health);
    Quote quote;
    quote.id = item.id;
    quote.name = item.label;
    quote.price = QStringLiteral("187.50");
    quote.at = QDateTime::currentDateTime();
    const LineSpan quoteSpan{0, 40, LineSpan::Part::quote, 0};
    shown.setQuotes({quote}, {true}, {quoteSpan});
    QCOMPARE(shown.spans(BandLines::quotes), QList<LineSpan>{quoteSpan});
    QCOMPARE(shown.target(BandLines::quotes, quoteSpan), LineTargets::quoteTarget(quote, &item, true));
    QCOMPARE(shown.target(BandLines::quotes, quoteSpan)->url, LineTargets::quotePage(QStringLiteral("AAPL")));

    // The watch list is read when asked: an item renamed since shows its new name.
    WatchItem renamed = item;
    renamed.label = QStringLiteral("Pomme");
    s.settings.setItems({renamed});
    QCOMPARE(shown.target(BandLines::quotes, quoteSpan), LineTargets::quoteTarget(quote, &renamed, true));
    s.settings.setItems({});
    QCOMPARE(shown.target(BandLines::quotes, quoteSpan), LineTargets::quoteTarget(quote, nullptr, true));
    // A span naming no quote shown stands for nothing.
    QVERIFY(!shown.target(BandLines::quotes, LineSpan{40, 50, LineSpan::Part::quote, 1}));
    QVERIFY(!shown.target(BandLines::quotes, LineSpan{40, 50, LineSpan::Part::quote, -1}));

    Headline headline;
    headline.source = QStringLiteral("Wire");
    headline.title = QStringLiteral("Markets close higher");
    headline.link = QUrl(QStringLiteral("https://wire.example/articles/1"));
    headline.site = QUrl(QStringLiteral("https://wire.example/"));
    const LineSpan source{0, 20, LineSpan::Part::source, 0};
    const LineSpan title{20, 90, LineSpan::Part::title, 0};
    shown.setHeadlines({headline}, {source, title});
    QCOMPARE(shown.spans(BandLines::news).size(), 2);
    QCOMPARE(shown.target(BandLines::news, source)->url, headline.site);
    QCOMPARE(shown.target(BandLines::news, title)->url, headline.link);
    // The placeholder message and lines that do not exist stand for nothing.
    QVERIFY(!shown.target(BandLines::news, LineSpan{0, 90, LineSpan::Part::message, 0}));
    QVERIFY(!shown.target(2, quoteSpan));
    QVERIFY(shown.spans(2).isEmpty());
    QVERIFY(shown.spans(-1).isEmpty());

    // A one-line band: the news line shows nothing.
    shown.setHeadlines({}, {});
    QVERIFY(!shown.target(BandLines::news, title));
}

void TestTickerController::shownItemsReadAsWords()
{
    ServiceFixture s;
    const WatchItem stock{QUuid::createUuid(), ItemKind::quote, QStringLiteral("AAPL"), QStringLiteral("Apple"),
                          std::nullopt};
    const WatchItem city{QUuid::createUuid(), ItemKind::weather, QStringLiteral("Paris"), QStringLiteral("PARIS"),
                         std::nullopt};
    s.settings.setItems({stock, city});
    SourceHealth health;
    ShownItems shown(s.settings, health);
    const auto quoteOf = [](const QUuid &id, const QString &name, const QString &price, std::optional<double> change) {
        Quote quote;
        quote.id = id;
        quote.name = name;
        quote.price = price;
        quote.change = change;
        return quote;
    };
    Quote apple = quoteOf(stock.id, stock.label, QStringLiteral("187.50"), -1.234);
    apple.at = QDateTime::currentDateTime();
    Quote paris = quoteOf(city.id, city.label, QStringLiteral("12°"), std::nullopt);
    paris.icon = WeatherIcon::rain;
    paris.at = apple.at;
    const Quote waiting = quoteOf(QUuid::createUuid(), QStringLiteral("GOLD"), TickerController::missingKeyText(), std::nullopt);
    const Quote nan = quoteOf(QUuid::createUuid(), QStringLiteral("BTC"), QStringLiteral("97000"), std::nan(""));
    const QList<LineSpan> spans{{0, 40, LineSpan::Part::quote, 0},
                                {40, 60, LineSpan::Part::quote, 1},
                                {60, 80, LineSpan::Part::quote, 2},
                                {80, 90, LineSpan::Part::quote, 3},
                                {90, 99, LineSpan::Part::quote, 7}};
    shown.setQuotes({apple, paris, waiting, nan}, {false, false, false, false}, spans);

    // Name, value and signed change; a weather's condition in words; a change that is no number left out.
    const BandItems::Reading stockReading = shown.reading(BandLines::quotes, spans.at(0));
    QCOMPARE(stockReading.name, QStringLiteral("Apple 187.50 -1.23 %"));
    QCOMPARE(stockReading.description, shown.target(BandLines::quotes, spans.at(0))->tooltip);
    QVERIFY(stockReading.opens);
    const BandItems::Reading weather = shown.reading(BandLines::quotes, spans.at(1));
    QCOMPARE(weather.name, QStringLiteral("PARIS 12° ") + LineTargets::conditionName(WeatherIcon::rain));
    QVERIFY(!weather.opens);
    QCOMPARE(shown.reading(BandLines::quotes, spans.at(2)).name, QStringLiteral("GOLD ") + TickerController::missingKeyText());
    QCOMPARE(shown.reading(BandLines::quotes, spans.at(3)).name, QStringLiteral("BTC 97000"));
    QCOMPARE(shown.reading(BandLines::quotes, spans.at(4)), BandItems::Reading{});

    // A feed reads as its name, a title as itself with its feed in what more it tells; the message as said.
    Headline headline;
    headline.source = QStringLiteral("Wire");
    headline.title = QString(400, u'x');
    headline.link = QUrl(QStringLiteral("https://wire.example/articles/1"));
    const LineSpan source{0, 20, LineSpan::Part::source, 0};
    const LineSpan title{20, 90, LineSpan::Part::title, 0};
    shown.setHeadlines({headline}, {source, title});
    QCOMPARE(shown.reading(BandLines::news, source).name, QStringLiteral("Wire"));
    const BandItems::Reading titleReading = shown.reading(BandLines::news, title);
    QCOMPARE(titleReading.name.size(), Headline::maxTitleLength); // as short as the band draws it
    QVERIFY(titleReading.description.startsWith(QStringLiteral("Wire\n")));
    QVERIFY(titleReading.opens);
    const LineSpan message{0, 90, LineSpan::Part::message, 0};
    shown.setHeadlines({}, {message}, TickerController::loadingMessage());
    QCOMPARE(shown.reading(BandLines::news, message).name, TickerController::loadingMessage());
    QVERIFY(!shown.reading(BandLines::news, message).opens);
}

QTEST_MAIN(TestTickerController)
#include "TestTickerController.moc"
