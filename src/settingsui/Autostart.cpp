#include "settingsui/Autostart.h"

#include "settingsui/SettingsUiLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

// An Exec argument with a reserved character goes in double quotes, where `"`, `` ` ``,
// `$` and `\` take a backslash; a `%` is doubled everywhere, as field codes start with it.
QString execArgument(QString program)
{
    program.replace(QLatin1Char('%'), QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (std::none_of(program.cbegin(), program.cend(), [](QChar c) { return reserved.contains(c); }))
        return program;
    QString quoted;
    for (const QChar c : std::as_const(program)) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // The file's own string escaping comes on top: each of those backslashes is written twice.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString Autostart::path()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base =
        !config.isEmpty() && QDir::isAbsolutePath(config) ? config : QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/autostart/dotbanner.desktop"));
}

bool Autostart::isEnabled()
{
    return QFileInfo(path()).isFile();
}

bool Autostart::setEnabled(bool enabled)
{
    const QString file = path();
    if (!enabled) {
        QFile entry(file);
        if (entry.exists() && !entry.remove()) {
            qCWarning(lcSettingsUi, "autostart: cannot remove %s: %s", qPrintable(file),
                      qPrintable(entry.errorString()));
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(QFileInfo(file).path())) {
        qCWarning(lcSettingsUi, "autostart: cannot create the folder of %s", qPrintable(file));
        return false;
    }
    const QByteArray bytes = desktopEntry(QCoreApplication::applicationFilePath());
    QSaveFile entry(file);
    if (!entry.open(QIODevice::WriteOnly) || entry.write(bytes) != bytes.size() || !entry.commit()) {
        qCWarning(lcSettingsUi, "autostart: cannot write %s: %s", qPrintable(file), qPrintable(entry.errorString()));
        entry.cancelWriting();
        return false;
    }
    return true;
}

QByteArray Autostart::desktopEntry(const QString &program)
{
    // The program running now is the one to start: a build outside the PATH works too.
    const QString exec = execArgument(program);
    return QByteArrayLiteral("[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Dotbanner\n"
                             "Comment=Bandeau défilant à LED\n")
           + "Exec=" + exec.toUtf8() + "\n"
           + QByteArrayLiteral("Icon=dotbanner\n"
                               "Terminal=false\n"
                               "X-GNOME-Autostart-enabled=true\n");
}
