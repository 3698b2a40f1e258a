#include "app/AboutPanel.h"
#include "app/SettingsWindow.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/TutorialSheet.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

// Motif hint bits, as window managers read them.
constexpr quint32 hintFunctions = 1 << 0;
constexpr quint32 hintDecorations = 1 << 1;
constexpr quint32 functionAll = 1 << 0;
constexpr quint32 functionMinimize = 1 << 3;
constexpr quint32 functionMaximize = 1 << 4;
constexpr quint32 decorationAll = 1 << 0;
constexpr quint32 decorationMinimize = 1 << 5;
constexpr quint32 decorationMaximize = 1 << 6;

/** One property of an X window as xprop prints it; empty when the window has none. */
QString xprop(WId window, const char *property)
{
    QProcess process;
    process.start(QStringLiteral("xprop"),
                  {QStringLiteral("-id"), QString::number(window), QString::fromLatin1(property)});
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return QString();
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return output.contains(QLatin1String("not found")) ? QString() : output;
}

} // namespace

/**
 * The fixed-size windows ask the window manager, through Motif hints, for neither minimise nor
 * maximise, and openbox follows for maximise and resize; the settings window may be resized
 * (and so maximised).
 */
class TestWindowHints : public QObject
{
    Q_OBJECT
private:
    void checkFixedSize(QWidget *window, const char *what, bool resizable = false)
    {
        window->show();
        QVERIFY2(QTest::qWaitForWindowExposed(window, 15000), what);
        const WId id = window->winId();

        QString motif;
        QTRY_VERIFY_WITH_TIMEOUT(!(motif = xprop(id, "_MOTIF_WM_HINTS")).isEmpty(), 10000);
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("=\\s*(0x[0-9a-f]+),\\s*(0x[0-9a-f]+),\\s*(0x[0-9a-f]+)")).match(motif);
        QVERIFY2(match.hasMatch(), qPrintable(motif));
        bool ok = false;
        const quint32 flags = match.captured(1).toUInt(&ok, 16);
        const quint32 functions = match.captured(2).toUInt(&ok, 16);
        const quint32 decorations = match.captured(3).toUInt(&ok, 16);
        const QString hints = QStringLiteral("%1: %2").arg(QLatin1String(what), motif);
        QVERIFY2(flags & hintFunctions, qPrintable(hints));
        QVERIFY2(!(functions & (functionAll | functionMinimize | functionMaximize)), qPrintable(hints));
        if (flags & hintDecorations)
            QVERIFY2(!(decorations & (decorationAll | decorationMinimize | decorationMaximize)), qPrintable(hints));

        // The window manager's answer: the actions it offers on this window. Openbox follows the
        // fixed size and the hints for maximise; it keeps minimise whatever a window asks.
        QString actions;
        QTRY_VERIFY_WITH_TIMEOUT(!(actions = xprop(id, "_NET_WM_ALLOWED_ACTIONS")).isEmpty(), 10000);
        QVERIFY2(actions.contains(QLatin1String("_NET_WM_ACTION_CLOSE")), qPrintable(actions));
        // A window that may be resized may also be maximised by openbox, whatever it asks.
        if (!resizable)
            QVERIFY2(!actions.contains(QLatin1String("_NET_WM_ACTION_MAXIMIZE")), qPrintable(actions));
        QCOMPARE(actions.contains(QLatin1String("_NET_WM_ACTION_RESIZE")), resizable);
        window->hide();
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QFAIL("this test needs X11: run it through tests/support/with-x11.sh");
    }

    void settingsWindow()
    {
        auto *content = new QWidget;
        content->setMinimumSize(300, 200);
        SettingsWindow window(content);
        // Neither minimised nor maximised, but resizable: its tabs scroll.
        checkFixedSize(&window, "settings window", true);
    }

    void aboutPanel()
    {
        AboutPanel panel;
        checkFixedSize(&panel, "about panel");
    }

    void tutorialSheet()
    {
        SettingsEnvironment environment;
        TutorialSheet sheet(KeyService::weather, environment);
        checkFixedSize(&sheet, "tutorial sheet");
    }
};

QTEST_MAIN(TestWindowHints)
#include "TestWindowHints.moc"
