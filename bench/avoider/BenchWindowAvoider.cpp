// One sweep over 50 client windows: the decisions alone, the avoider on the tests' in-memory
// window system, and, when a display is there (run under tests/support/with-x11.sh), the real
// X11 window system with the windows of another process.

#include "FakeWindowSystem.h"
#include "avoider/AvoiderGeometry.h"
#include "avoider/WindowAvoider.h"
#include "desktop/X11WindowSystem.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int windowCount = 50;
const ScreenRecord screen{QRectF(0, 0, 1920, 1080), QRectF(0, 0, 1920, 1080), 1.0};

/** 50 windows in a cascade; every other one reaches under a 100-pixel top band. */
QList<WindowRecord> cascade()
{
    QList<WindowRecord> windows;
    for (int i = 0; i < windowCount; ++i) {
        WindowRecord w;
        w.id = quint64(i + 1);
        w.pid = 77;
        w.frame = QRectF(20 * i, i % 2 ? 300 + 10 * i : 10 + i, 400, 300 + 10 * i);
        windows.append(w);
    }
    return windows;
}

/** The tests' window system with the cascade, on one 1920 × 1080 screen; moves counted, not listed. */
std::shared_ptr<FakeWindowSystem> memorySystem()
{
    auto system = std::make_shared<FakeWindowSystem>();
    system->screenList = {screen};
    system->windowList = cascade();
    system->pid = 1;
    system->recordMoves = false;
    return system;
}

/** How many of the cascade's windows `system` has moved. */
double movedWindows(const FakeWindowSystem &system)
{
    const QList<WindowRecord> start = cascade();
    double moved = 0;
    for (qsizetype i = 0; i < start.size(); ++i)
        moved += system.windowList.value(i).frame != start[i].frame;
    return moved;
}

void BM_PlanFiftyWindows(benchmark::State &state)
{
    const QList<WindowRecord> windows = cascade();
    const QRectF band(0, 0, 1920, 100);
    for (auto _ : state) {
        auto changes = AvoiderGeometry::plan(band, {screen}, windows, 1);
        benchmark::DoNotOptimize(changes);
    }
}
BENCHMARK(BM_PlanFiftyWindows);

/** Every sweep finds the 25 windows under the band again and moves them out. */
void BM_SweepFiftyWindowsInMemory(benchmark::State &state)
{
    const std::shared_ptr<FakeWindowSystem> system = memorySystem();
    WindowAvoider avoider(system);
    avoider.setSweepInterval(std::chrono::hours(1));
    avoider.update(true, QRectF(0, 0, 1920, 100));
    for (auto _ : state) {
        state.PauseTiming();
        system->windowList = cascade();
        state.ResumeTiming();
        avoider.sweep();
    }
    state.counters["moved"] = movedWindows(*system);
}
BENCHMARK(BM_SweepFiftyWindowsInMemory);

/** The windows are clear of the band: a sweep only reads and decides. */
void BM_SweepFiftyWindowsInMemorySteady(benchmark::State &state)
{
    const std::shared_ptr<FakeWindowSystem> system = memorySystem();
    WindowAvoider avoider(system);
    avoider.setSweepInterval(std::chrono::hours(1));
    avoider.update(true, QRectF(0, 0, 1920, 100));
    const QList<WindowRecord> clear = system->windowList;
    for (auto _ : state)
        avoider.sweep();
    state.counters["moved"] = double(system->windowList != clear);
}
BENCHMARK(BM_SweepFiftyWindowsInMemorySteady);

pid_t g_client = 0;

/** Another process that opens 50 windows under and around the band and waits to be killed. */
pid_t spawnClient()
{
    int ready[2];
    if (pipe(ready) != 0)
        return 0;
    const pid_t pid = fork();
    if (pid != 0) {
        close(ready[1]);
        char byte = 0;
        if (read(ready[0], &byte, 1) != 1)
            byte = 0;
        close(ready[0]);
        return byte == 'r' ? pid : 0;
    }
    close(ready[0]);
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const xcb_screen_t *root = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const char *pidName = "_NET_WM_PID";
    auto *pidAtom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(pidName)), pidName), nullptr);
    const uint32_t self = uint32_t(getpid());
    for (const WindowRecord &w : cascade()) {
        const xcb_window_t id = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, id, root->root, int16_t(w.frame.x()), int16_t(w.frame.y()),
                          uint16_t(w.frame.width()), uint16_t(w.frame.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          root->root_visual, 0, nullptr);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, pidAtom->atom, XCB_ATOM_CARDINAL, 32, 1, &self);
        uint32_t hints[18] = {1 | 2, uint32_t(w.frame.x()), uint32_t(w.frame.y()), uint32_t(w.frame.width()),
                              uint32_t(w.frame.height())};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                            hints);
        xcb_map_window(c, id);
    }
    xcb_flush(c);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    if (write(ready[1], "r", 1) != 1)
        _exit(1);
    while (xcb_generic_event_t *event = xcb_wait_for_event(c))
        std::free(event);
    _exit(0);
}

/** The real window system, steady state: the windows are clear, a sweep only reads. */
void BM_SweepFiftyWindowsX11(benchmark::State &state)
{
    auto system = X11WindowSystem::fromQt();
    if (!system || !system->canMoveWindows()) {
        state.SkipWithError("needs X11 with an EWMH window manager (run under with-x11.sh)");
        return;
    }
    const QRectF band(0, 0, 1920, 100);
    WindowAvoider avoider(std::move(system));
    avoider.setSweepInterval(std::chrono::hours(1));
    avoider.update(true, band);
    for (int i = 0; i < 20; ++i) { // let the manager carry the first pushes out
        QCoreApplication::processEvents();
        usleep(20000);
        avoider.sweep();
    }
    for (auto _ : state)
        avoider.sweep();
    state.counters["windows"] = double(X11WindowSystem::fromQt()->windows().size());
}

/** The real window system with a band that changes height on every sweep: half the windows move. */
void BM_SweepFiftyWindowsX11Moving(benchmark::State &state)
{
    auto system = X11WindowSystem::fromQt();
    if (!system || !system->canMoveWindows()) {
        state.SkipWithError("needs X11 with an EWMH window manager (run under with-x11.sh)");
        return;
    }
    WindowAvoider avoider(std::move(system));
    avoider.setSweepInterval(std::chrono::hours(1));
    bool tall = false;
    for (auto _ : state) {
        tall = !tall;
        avoider.update(true, QRectF(0, 0, 1920, tall ? 140 : 100));
    }
}

} // namespace

int main(int argc, char **argv)
{
    std::unique_ptr<QCoreApplication> app;
    if (!std::getenv("DISPLAY")) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        qputenv("QT_QPA_PLATFORM", "xcb");
        app = std::make_unique<QGuiApplication>(argc, argv);
        g_client = spawnClient();
        if (g_client) {
            benchmark::RegisterBenchmark("BM_SweepFiftyWindowsX11", BM_SweepFiftyWindowsX11);
            benchmark::RegisterBenchmark("BM_SweepFiftyWindowsX11Moving", BM_SweepFiftyWindowsX11Moving);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_client) {
        kill(g_client, SIGTERM);
        waitpid(g_client, nullptr, 0);
    }
    return 0;
}
