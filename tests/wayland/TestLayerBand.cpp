#include "FakeClock.h"
#include "SwaySession.h"
#include "wayland/LayerBand.h"
#include "wayland/WaylandClient.h"

#include <QJsonObject>
#include <QPainter>
#include <QTest>

namespace {

constexpr QRgb bandColour = 0xff12ab34;
constexpr QRgb markerColour = 0xffffffff;
constexpr int bandHeight = 40;
constexpr int screenWidth = 1920;
constexpr int screenHeight = 1080;

bool rowIs(const QImage &image, int y, QRgb colour)
{
    if (image.isNull() || y < 0 || y >= image.height())
        return false;
    // The marker may cross the row: sample away from it at both ends and in the middle.
    for (int x : {5, image.width() / 2 + 37, image.width() - 5}) {
        if (image.pixel(x, y) != colour && image.pixel(x, y) != markerColour)
            return false;
    }
    return true;
}

/** The x of the marker's left edge in row `y`, −1 when there is none. */
int markerAt(const QImage &image, int y)
{
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) == markerColour)
            return x;
    }
    return -1;
}

} // namespace

class TestLayerBand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mapsAcrossTheTopOfTheOutput();
    void terminalsAreLaidOutsideTheExclusiveStrip();
    void neverTakesTheKeyboardAndStaysOnEveryWorkspace();
    void bottomLayerLetsWindowsCoverIt();
    void framesFollowTheClock();
    void goesToTheChosenOutput();
    void missingOutputLeavesTheBandOnTheFirstUntilItReturns();

private:
    LayerBand::Config config(bool exclusive = true) const;
    bool launchTerminal(const QString &appId = QStringLiteral("foot"));
    QImage bandArea() const { return SwaySession::screenshot(QRect(0, 0, screenWidth, bandHeight + 20)); }

    std::unique_ptr<WaylandClient> m_client;
    std::unique_ptr<LayerBand> m_band;
    std::unique_ptr<FakeClock> m_clock;
};

void TestLayerBand::initTestCase()
{
    QString why;
    if (!SwaySession::available(&why))
        QFAIL(qPrintable(why));
    const WaylandClient::Probe probe = WaylandClient::probe();
    QVERIFY(probe.connected);
    QVERIFY2(probe.layerShell, "sway offers the layer shell");
}

void TestLayerBand::init()
{
    m_clock = std::make_unique<FakeClock>();
    m_client = WaylandClient::connect();
    QVERIFY(m_client);
    // One output, except after the tests that add one (they come last).
    QVERIFY(!m_client->outputs().isEmpty());
    m_band = std::make_unique<LayerBand>(*m_client);
    m_band->setPainter([](QImage &image, int scale) {
        image.fill(bandColour);
        // A 10-pixel marker that moves 1 pixel per 10 ms on the clock.
        const int x = static_cast<int>((Clock::current().monotonicMs() / 10) % (image.width() - 10));
        QPainter(&image).fillRect(x, 0, 10 * scale, image.height(), QColor::fromRgb(markerColour));
    });
}

void TestLayerBand::cleanup()
{
    m_band.reset();
    m_client.reset();
    m_clock.reset();
    // Windows a test opened must not lay the next one out.
    for (const QString &appId : {QStringLiteral("foot"), QStringLiteral("floating-foot")}) {
        if (SwaySession::window(appId))
            QVERIFY(SwaySession::command(QStringLiteral("[app_id=\"%1\"] kill").arg(appId)));
        QVERIFY(SwaySession::waitFor([&appId] { return !SwaySession::window(appId); }));
    }
    QVERIFY(SwaySession::command(QStringLiteral("workspace 1")));
}

LayerBand::Config TestLayerBand::config(bool exclusive) const
{
    LayerBand::Config config;
    config.height = bandHeight;
    config.layer = LayerBand::Layer::top;
    config.exclusive = exclusive;
    return config;
}

bool TestLayerBand::launchTerminal(const QString &appId)
{
    // The terminal runs a program that waits: the session's user has no login shell.
    return SwaySession::command(QStringLiteral("exec foot --app-id %1 sleep 3600").arg(appId)) &&
           SwaySession::waitFor([&appId] { return SwaySession::window(appId).has_value(); }, 60000);
}

void TestLayerBand::mapsAcrossTheTopOfTheOutput()
{
    m_band->setConfig(config());
    QVERIFY(SwaySession::waitFor([this] { return m_band->isMapped(); }));
    QCOMPARE(m_band->size(), QSize(screenWidth, bandHeight));
    QCOMPARE(m_band->scale(), 1);
    QVERIFY(SwaySession::waitFor([this] {
        const QImage shot = bandArea();
        return rowIs(shot, 0, bandColour) && rowIs(shot, bandHeight - 1, bandColour) &&
               !rowIs(shot, bandHeight, bandColour);
    }));

    // The bottom edge: the same strip at the foot of the screen, and nothing left at the top.
    LayerBand::Config bottom = config();
    bottom.bottomEdge = true;
    m_band->setConfig(bottom);
    QVERIFY(SwaySession::waitFor([] {
        const QImage shot =
            SwaySession::screenshot(QRect(0, screenHeight - bandHeight - 1, screenWidth, bandHeight + 1));
        const QImage top = SwaySession::screenshot(QRect(0, 0, screenWidth, 1));
        return !rowIs(shot, 0, bandColour) && rowIs(shot, 1, bandColour) && rowIs(shot, bandHeight, bandColour) &&
               !rowIs(top, 0, bandColour);
    }));
}

void TestLayerBand::terminalsAreLaidOutsideTheExclusiveStrip()
{
    m_band->setConfig(config(true));
    QVERIFY(SwaySession::waitFor([this] { return m_band->isMapped(); }));
    QVERIFY(launchTerminal());
    QVERIFY(SwaySession::waitFor([] { return SwaySession::rect(*SwaySession::window("foot")).top() >= bandHeight; }));

    // Without the exclusive strip the tiled window takes the whole screen, under the band.
    m_band->setConfig(config(false));
    QVERIFY(SwaySession::waitFor([] { return SwaySession::rect(*SwaySession::window("foot")).top() < bandHeight; }));

    LayerBand::Config bottom = config(true);
    bottom.bottomEdge = true;
    m_band->setConfig(bottom);
    QVERIFY(SwaySession::waitFor([] {
        const QRect r = SwaySession::rect(*SwaySession::window("foot"));
        return r.top() < bandHeight && r.bottom() < screenHeight - bandHeight;
    }));
}

void TestLayerBand::neverTakesTheKeyboardAndStaysOnEveryWorkspace()
{
    QVERIFY(launchTerminal());
    QVERIFY(SwaySession::waitFor([] { return SwaySession::window("foot")->value(QLatin1String("focused")).toBool(); }));
    m_band->setConfig(config());
    QVERIFY(SwaySession::waitFor([this] { return m_band->isMapped() && rowIs(bandArea(), 0, bandColour); }));
    // The terminal keeps the keyboard after the band appeared and drew.
    QVERIFY(SwaySession::window("foot")->value(QLatin1String("focused")).toBool());

    QVERIFY(SwaySession::command(QStringLiteral("workspace 2")));
    QCOMPARE(SwaySession::focusedWorkspace(), QStringLiteral("2"));
    QVERIFY(SwaySession::waitFor([this] { return rowIs(bandArea(), 0, bandColour); }));
}

void TestLayerBand::bottomLayerLetsWindowsCoverIt()
{
    // Without an exclusive strip the tiled terminal fills the screen, under the band's strip.
    QVERIFY(launchTerminal());
    m_band->setConfig(config(false));
    // In the top layer the band is drawn over the window…
    QVERIFY(SwaySession::waitFor([this] { return bandArea().pixel(300, 10) == bandColour; }));

    // …in the bottom layer the window covers it.
    LayerBand::Config below = config(false);
    below.layer = LayerBand::Layer::bottom;
    m_band->setConfig(below);
    QVERIFY(SwaySession::waitFor([this] { return bandArea().pixel(300, 10) != bandColour; }));
}

void TestLayerBand::framesFollowTheClock()
{
    m_band->setConfig(config());
    m_band->setAnimating(true);
    QVERIFY(SwaySession::waitFor([this] { return markerAt(bandArea(), 5) == 0; }));
    const quint64 before = m_band->framesCommitted();
    // Frames keep coming at the compositor's pace while the band animates.
    QVERIFY(SwaySession::waitFor([this, before] { return m_band->framesCommitted() > before + 10; }));

    m_clock->advanceMs(1000);
    QVERIFY(SwaySession::waitFor([this] { return markerAt(bandArea(), 5) == 100; }));

    // Still: no frames while nothing moves, and a requested frame shows the new state.
    m_band->setAnimating(false);
    QTest::qWait(100);
    const quint64 still = m_band->framesCommitted();
    m_clock->advanceMs(500);
    QTest::qWait(200);
    QCOMPARE(m_band->framesCommitted(), still);
    m_band->requestFrame();
    QVERIFY(SwaySession::waitFor([this] { return markerAt(bandArea(), 5) == 150; }));
}

void TestLayerBand::goesToTheChosenOutput()
{
    QVERIFY(SwaySession::command(QStringLiteral("create_output")));
    QVERIFY(SwaySession::waitFor([this] { return m_client->outputs().size() == 2; }));
    const QString first = m_client->outputs().constFirst().name;
    QString second;
    QVERIFY(SwaySession::waitFor([this, &first, &second] {
        const QString name = m_client->outputs().constLast().name;
        second = name != first ? name : QString();
        return !second.isEmpty();
    }));

    LayerBand::Config there = config();
    there.output = second;
    m_band->setConfig(there);
    // The band shows across the top of the output asked for, and no longer on the first one.
    QRect secondArea;
    QVERIFY(SwaySession::waitFor([&secondArea, &second] {
        secondArea = SwaySession::outputRect(second);
        return !secondArea.isEmpty();
    }));
    const auto topOf = [](const QRect &output) {
        return SwaySession::screenshot(QRect(output.topLeft(), QSize(output.width(), bandHeight + 20)));
    };
    QVERIFY(SwaySession::waitFor([&] { return m_band->isMapped() && rowIs(topOf(secondArea), 0, bandColour); }));
    QVERIFY(SwaySession::waitFor([this] { return !rowIs(bandArea(), 0, bandColour); }));

    // Back to the compositor's choice: the first output (the pointer has never left it).
    m_band->setConfig(config());
    QVERIFY(SwaySession::waitFor([this] { return m_band->isMapped() && rowIs(bandArea(), 0, bandColour); }));
    QVERIFY(SwaySession::waitFor([&] { return !rowIs(topOf(secondArea), 0, bandColour); }));
}

void TestLayerBand::missingOutputLeavesTheBandOnTheFirstUntilItReturns()
{
    if (m_client->outputs().size() < 2)
        QVERIFY(SwaySession::command(QStringLiteral("create_output")));
    QVERIFY(SwaySession::waitFor(
        [this] { return m_client->outputs().size() == 2 && !m_client->outputs().constLast().name.isEmpty(); }));
    // Every output has a name and a description, whichever protocol gave them, and stands
    // where sway says.
    for (const WaylandClient::Output &output : m_client->outputs()) {
        QVERIFY(!output.name.isEmpty());
        QVERIFY(!output.description.isEmpty());
        QCOMPARE(output.logicalGeometry(), SwaySession::outputRect(output.name));
    }
    const wl_output *first = m_client->outputs().constFirst().output;
    const auto onFirst = [this] { return rowIs(bandArea(), 0, bandColour); };

    // sway 1.7 numbers its headless outputs: the next one it makes is known before it exists.
    const QString next = QStringLiteral("HEADLESS-%1").arg(m_client->outputs().size() + 1);
    QVERIFY(!m_client->outputNamed(next));

    // Missing: the first output, even while another has the focus.
    QVERIFY(SwaySession::command(QStringLiteral("focus output %1").arg(m_client->outputs().constLast().name)));
    LayerBand::Config config = this->config();
    config.output = next;
    m_band->setConfig(config);
    QVERIFY(SwaySession::waitFor([&] { return m_band->isMapped() && onFirst(); }));
    QCOMPARE(m_band->output(), first);

    // It appears: the band goes there and leaves the first output.
    QVERIFY(SwaySession::command(QStringLiteral("create_output")));
    QVERIFY(SwaySession::waitFor([&] { return m_client->outputNamed(next) != nullptr; }));
    QRect area;
    QVERIFY(SwaySession::waitFor([&] {
        area = SwaySession::outputRect(next);
        return !area.isEmpty();
    }));
    const auto onNext = [&area] {
        return rowIs(SwaySession::screenshot(QRect(area.topLeft(), QSize(area.width(), bandHeight))), 0, bandColour);
    };
    QVERIFY(SwaySession::waitFor([&] { return m_band->isMapped() && onNext() && !onFirst(); }));
    QCOMPARE(m_band->output(), m_client->outputNamed(next)->output);
}

QTEST_MAIN(TestLayerBand)
#include "TestLayerBand.moc"
