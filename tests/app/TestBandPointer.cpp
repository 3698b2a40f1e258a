#include "LoopbackHttpServer.h"
#include "ServiceFixture.h"

#include "app/BandSurfaceFactory.h"
#include "app/TickerController.h"
#include "band/BandInteraction.h"
#include "band/BandLines.h"
#include "band/BandSurface.h"
#include "data/DataService.h"
#include "line/LineTargets.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/Settings.h"
#include "x11band/X11BandSurface.h"
#include "x11band/X11BandView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cmath>

namespace {

/** Real pointer input through the X server (XTest), as a user's would arrive. */
class Pointer
{
public:
    Pointer()
        : m_xtst(dlopen("libXtst.so.6", RTLD_NOW))
        , m_display(XOpenDisplay(nullptr))
    {
        if (m_xtst) {
            m_motion = reinterpret_cast<Motion>(dlsym(m_xtst, "XTestFakeMotionEvent"));
            m_button = reinterpret_cast<Button>(dlsym(m_xtst, "XTestFakeButtonEvent"));
        }
    }
    ~Pointer()
    {
        if (m_display)
            XCloseDisplay(m_display);
        if (m_xtst)
            dlclose(m_xtst);
    }
    bool isValid() const { return m_display && m_motion && m_button; }
    void moveTo(QPoint p)
    {
        m_motion(m_display, -1, p.x(), p.y(), 0);
        XSync(m_display, False);
    }
    void click(QPoint p)
    {
        moveTo(p);
        m_button(m_display, 1, True, 0);
        m_button(m_display, 1, False, 0);
        XSync(m_display, False);
    }

private:
    using Motion = int (*)(Display *, int, int, int, unsigned long);
    using Button = int (*)(Display *, unsigned int, Bool, unsigned long);
    void *m_xtst;
    Display *m_display;
    Motion m_motion = nullptr;
    Button m_button = nullptr;
};

const QByteArray feed = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Wire</title>"
                        "<link>https://wire.example/</link>"
                        "<item><title>Markets close higher</title><link>/articles/1</link>"
                        "<pubDate>Tue, 08 Dec 2026 03:00:00 +0000</pubDate></item>"
                        "</channel></rss>";

} // namespace

/** The band under a real X server: hovering holds a line still, clicking opens what is under the pointer. */
class TestBandPointer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void hoverStopsOnlyItsLine();
    void clicksOpenWhatIsUnderThePointer();
    void cleanupTestCase();

private:
    /** The point of the screen over the middle of `span` on line `index`, as the line stands now. */
    QPoint pointOver(int index, const LineSpan &span) const;
    QStringList opened() const;
    double column(int index) const { return m_controller->lines().line(index).columnAt(BandLines::now()); }

    ServiceFixture m_services;
    QTemporaryDir &m_dir = m_services.dir;
    LoopbackHttpServer &m_server = m_services.server;
    X11BandSurface *m_surface = nullptr; // the band's surface, as the program chose it
    std::unique_ptr<TickerController> m_controller;
    std::unique_ptr<Pointer> m_pointer;
};

void TestBandPointer::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QFAIL("needs an X11 display (run through with-x11.sh)");
    m_pointer = std::make_unique<Pointer>();
    QVERIFY2(m_pointer->isValid(), "XTest is not available");

    // Opening an address runs the first xdg-open on the PATH: ours writes down what it was given.
    const QString bin = m_dir.filePath("bin");
    QVERIFY(QDir().mkpath(bin));
    QFile script(bin + "/xdg-open");
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + m_dir.filePath("opened.txt").toUtf8() + "\"\n");
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", bin.toUtf8() + ':' + qgetenv("PATH"));
    // No browser chosen by the environment may come before xdg-open.
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");

    QVERIFY(m_server.start());
    m_server.serveAllServices();
    m_server.setHandler([](const LoopbackHttpServer::Request &request) {
        if (request.path() == "/feed.xml")
            return LoopbackHttpServer::Response(200, feed, "application/rss+xml");
        if (request.path().startsWith("/v8/finance/chart/"))
            return LoopbackHttpServer::Response(
                200, R"({"chart":{"result":[{"meta":{"regularMarketPrice":6012.5,"chartPreviousClose":6000}}]}})");
        return LoopbackHttpServer::Response(404);
    });

    Settings &settings = m_services.settings;
    settings.setPushWindows(false);
    settings.setVariant(BarVariant::thick);
    settings.setStockProvider(StockProvider::yahoo);
    settings.setItems({WatchItem{QUuid::createUuid(), ItemKind::quote, "^GSPC", "SP500", std::nullopt}});
    settings.setNewsSources(
        {NewsSource{QUuid::createUuid(), "Wire", m_server.baseUrl().toString() + "/feed.xml", true}});
    m_controller = std::make_unique<TickerController>(
        settings, m_services.data, m_services.news, nullptr, [this](BandLines &lines, WindowSystem *system) {
            std::unique_ptr<BandSurface> made = BandSurfaceFactory::make(lines, system);
            m_surface = dynamic_cast<X11BandSurface *>(made.get());
            return made;
        });
    QVERIFY(m_surface);
    m_services.data.refresh(false);
    m_services.news.refresh();
    QTRY_VERIFY(!m_controller->shownHeadlines().isEmpty());
    QTRY_VERIFY(!m_controller->shownQuotes().isEmpty() && m_controller->shownQuotes().first().at.isValid());
    QTRY_VERIFY(m_controller->lines().quotesLine().isMoving() && m_controller->lines().newsLine().isMoving());
    QTRY_VERIFY(m_surface->window()->isVisible());
    QTest::qWait(50);
}

void TestBandPointer::cleanupTestCase()
{
    m_controller.reset();
}

QPoint TestBandPointer::pointOver(int index, const LineSpan &span) const
{
    const ScrollLine &line = m_controller->lines().line(index);
    const double pitch = line.content()->pitch;
    const auto w = static_cast<double>(line.content()->bitmap.w);
    const double target = (static_cast<double>(span.start) + static_cast<double>(span.end)) / 2;
    const double x = std::fmod(std::fmod(target - column(index), w) + w, w) * pitch;
    const double y = line.placement()->y + line.height() / 2;
    return m_surface->window()->mapToGlobal(QPointF(x, y)).toPoint();
}

QStringList TestBandPointer::opened() const
{
    QFile file(m_dir.filePath("opened.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void TestBandPointer::hoverStopsOnlyItsLine()
{
    const BandLines &lines = m_controller->lines();
    const QWindow *window = m_surface->window();
    const QRect band = window->geometry();
    m_pointer->moveTo(QPoint(band.x() + band.width() / 3, band.y() + 5));
    QTRY_COMPARE(m_controller->interaction()->pausedLine(), 0);
    QVERIFY(lines.quotesLine().isPaused());
    QVERIFY(!lines.newsLine().isPaused());
    const double quotes = column(0);
    const double news = column(1);
    QTest::qWait(300);
    QCOMPARE(column(0), quotes);
    QVERIFY(column(1) != news); // the other line kept moving

    // After half a second on the quote its tooltip is up, with what the band cannot show.
    QTRY_VERIFY(m_controller->interaction()->hovered().has_value());
    QCOMPARE(m_controller->interaction()->hovered()->url, LineTargets::quotePage("^GSPC"));
    QVERIFY(m_controller->interaction()->hovered()->tooltip.contains("SP500 (^GSPC)"));
    QCOMPARE(window->cursor().shape(), Qt::PointingHandCursor);
    QTRY_VERIFY(m_controller->interaction()->isTooltipShown());

    // Leaving: the line goes on from where it stood.
    m_pointer->moveTo(QPoint(band.x() + band.width() / 3, band.bottom() + 200));
    QTRY_COMPARE(m_controller->interaction()->pausedLine(), -1);
    QVERIFY(!lines.quotesLine().isPaused());
    QVERIFY(!m_controller->interaction()->isTooltipShown());
    const double resumed = column(0);
    const double loop = static_cast<double>(lines.quotesLine().loopColumns());
    const double moved = std::fmod(resumed - quotes + loop, loop);
    QVERIFY2(moved < 0.5 * lines.quotesLine().columnsPerSecond(), qPrintable(QString::number(moved)));

    // Over line 2 only line 2 stands still.
    m_pointer->moveTo(QPoint(band.x() + band.width() / 3, band.bottom() - 5));
    QTRY_COMPARE(m_controller->interaction()->pausedLine(), 1);
    QVERIFY(!lines.quotesLine().isPaused());
    QVERIFY(lines.newsLine().isPaused());
    m_pointer->moveTo(QPoint(band.x() + band.width() / 3, band.bottom() + 200));
    QTRY_COMPARE(m_controller->interaction()->pausedLine(), -1);
}

void TestBandPointer::clicksOpenWhatIsUnderThePointer()
{
    const QRect band = m_surface->window()->geometry();
    const QString quotePage = "https://finance.yahoo.com/quote/%5EGSPC";
    const QString article = m_server.baseUrl().toString() + "/articles/1";
    const QString site = "https://wire.example/";

    // Along line 1: the one quote, wherever it is clicked.
    for (int i = 1; i <= 3; ++i)
        m_pointer->click(QPoint(band.x() + band.width() * i / 4, band.y() + 5));
    QTRY_COMPARE(opened().size(), 3);
    QCOMPARE(opened(), QStringList(3, quotePage));

    // Along line 2, once it stands still under the pointer: the title opens the article, the
    // source's name the feed's site.
    m_pointer->moveTo(QPoint(band.x() + 2, band.bottom() - 5));
    QTRY_COMPARE(m_controller->interaction()->pausedLine(), 1);
    const QList<LineSpan> spans = m_controller->newsSpans();
    QCOMPARE(spans.size(), 2);
    QCOMPARE(spans[0].part, LineSpan::Part::source);
    m_pointer->click(pointOver(1, spans[1]));
    QTRY_COMPARE(opened().size(), 4);
    m_pointer->click(pointOver(1, spans[0]));
    QTRY_COMPARE(opened().size(), 5);
    QCOMPARE(opened().mid(3), (QStringList{article, site}));

    // The band never took the focus.
    QVERIFY(!m_surface->window()->isActive());
    QTest::qWait(200);
    QCOMPARE(opened().size(), 5); // and nothing else was opened
}

QTEST_MAIN(TestBandPointer)
#include "TestBandPointer.moc"
