// Opens the settings window over many watched items and feeds and reports how long it took to
// be shown, to show the content tab, and the peak resident memory of the process. One opening
// per process, so the peak is this opening's: run it several times for several figures.
//
//   settings_open [--items N] [--feeds N] [--moves N]   (150 items, 120 feeds, 20 moves unless told)
//
// After the opening, the first item is moved down with Alt+Down, once per move: each move
// rebuilds the rows, and the time per move and the memory after them are printed too.
//
// The offscreen platform is used unless QT_QPA_PLATFORM says otherwise.
#include "MemoryKeyStore.h"
#include "app/SettingsWindow.h"
#include "settings/MotionChoice.h"
#include "settings/ScreenChoice.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/SettingsView.h"
#include "util/ProcessMemory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <cstdio>

namespace {

/** A field of /proc/self/status in kilobytes ("VmHWM", "VmRSS"); −1 when it cannot be read. */
long statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

int argument(const QStringList &arguments, const QString &name, int fallback)
{
    const qsizetype at = arguments.indexOf(name);
    if (at < 0 || at + 1 >= arguments.size())
        return fallback;
    bool ok = false;
    const int value = arguments.at(at + 1).toInt(&ok);
    return ok && value >= 0 ? value : fallback;
}

QList<WatchItem> manyItems(int count)
{
    QList<WatchItem> items;
    for (int i = 0; i < count; ++i) {
        WatchItem item;
        item.id = QUuid::createUuid();
        item.kind = i % 10 == 9 ? ItemKind::weather : (i % 10 == 8 ? ItemKind::metal : ItemKind::quote);
        item.symbol = QStringLiteral("SYM%1.PA").arg(i);
        item.label = QStringLiteral("Valeur %1").arg(i);
        items.append(item);
    }
    return items;
}

QList<NewsSource> manyFeeds(int count)
{
    QList<NewsSource> sources;
    for (int i = 0; i < count; ++i) {
        NewsSource source;
        source.id = QUuid::createUuid();
        source.name = QStringLiteral("Journal %1").arg(i);
        source.url = QStringLiteral("https://example.org/rubrique-%1/flux/rss.xml").arg(i);
        source.enabled = i % 7 != 0;
        sources.append(source);
    }
    return sources;
}

/** Lets the window paint what it shows now. */
void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ProcessMemory::returnLargeBlocks(); // as the program does
    QApplication app(argc, argv);
    const int itemCount = argument(app.arguments(), QStringLiteral("--items"), 150);
    const int feedCount = argument(app.arguments(), QStringLiteral("--feeds"), 120);
    const int moves = argument(app.arguments(), QStringLiteral("--moves"), 20);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "settings-open: no temporary folder\n");
        return 1;
    }
    UserDefaults store(dir.path());
    MemoryKeyStore keys;
    Settings settings(store, keys);
    settings.setVariant(BarVariant::thick); // the feeds show their last result
    settings.setItems(manyItems(itemCount));
    const QList<NewsSource> sources = manyFeeds(feedCount);
    settings.setNewsSources(sources);

    ScreenChoice screenChoice(store);
    MotionChoice motionChoice(store);
    SettingsEnvironment environment;
    environment.setScreenChoice(&screenChoice);
    environment.setMotionChoice(&motionChoice);
    environment.alertOf = [](const QUuid &) { return std::optional<AlertThresholds>(); };
    environment.setAlert = [](const QUuid &, const AlertThresholds &) { return true; };
    QHash<QUuid, FeedStatus> status;
    for (qsizetype i = 0; i < sources.size(); ++i)
        status.insert(sources.at(i).id, i % 11 == 5 ? FeedStatus::failed() : FeedStatus::ok(20 + int(i % 30)));
    environment.setNewsStatus(status);
    settle();
    const long before = statusKilobytes("VmRSS");

    QElapsedTimer clock;
    clock.start();
    auto *view = new SettingsView(settings, environment);
    SettingsWindow window(view);
    const qint64 built = clock.elapsed();
    window.centre();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "settings-open: the window was never shown\n");
        return 1;
    }
    settle();
    const qint64 shown = clock.elapsed();

    auto *tabs = view->findChild<QTabWidget *>(QStringLiteral("tabs"));
    if (!tabs) {
        std::fprintf(stderr, "settings-open: no tabs in the settings view\n");
        return 1;
    }
    clock.restart();
    tabs->setCurrentIndex(1); // the content tab, with the items and the feeds
    settle();
    const qint64 content = clock.elapsed();
    const long opened = statusKilobytes("VmRSS");

    // Alt+Down on the first item, again and again: each move rebuilds the list's rows.
    auto *list = view->findChild<QListWidget *>(QStringLiteral("itemsList"));
    qint64 moving = 0;
    if (list && moves > 0 && itemCount > moves) {
        QApplication::setActiveWindow(&window);
        list->setFocus();
        list->setCurrentRow(0);
        clock.restart();
        for (int i = 0; i < moves; ++i) {
            QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
            // As the event loop does between two keys: the old rows go.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            settle();
        }
        moving = clock.elapsed();
    }

    std::printf("settings-open: %d items, %d feeds on %s\n", itemCount, feedCount,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  built %lld ms, shown %lld ms, content tab %lld ms\n", static_cast<long long>(built),
                static_cast<long long>(shown), static_cast<long long>(content));
    std::printf("  RSS before %.1f MB, opened %.1f MB, peak %.1f MB\n", before / 1024.0, opened / 1024.0,
                statusKilobytes("VmHWM") / 1024.0);
    if (moving > 0)
        std::printf("  %d moves: %.1f ms each, RSS after them %.1f MB\n", moves, double(moving) / moves,
                    statusKilobytes("VmRSS") / 1024.0);
    return 0;
}
