#include "settings/UserDefaults.h"

#include "settings/SettingsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

#include <cerrno>

#include <unistd.h>

namespace {


QString standardDirectory()
{
    // Relative values of XDG_CONFIG_HOME are invalid and must be ignored.
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = !config.isEmpty() && QDir::isAbsolutePath(config)
                             ? config
                             : QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/dotbanner"));
}

// A key names one file inside the store; anything that could name another file is refused.
bool isSafeKey(const QString &key)
{
    return !key.isEmpty() && key != QLatin1String(".") && key != QLatin1String("..")
           && !key.contains(QLatin1Char('/')) && !key.contains(QChar(u'\0'));
}

} // namespace

UserDefaults::UserDefaults(const QString &directory)
    : m_directory(directory.isEmpty() ? standardDirectory() : QDir::cleanPath(directory))
{
}

UserDefaults &UserDefaults::standard()
{
    static UserDefaults store;
    return store;
}

QString UserDefaults::pathFor(const QString &key) const
{
    if (!isSafeKey(key))
        return {};
    return m_directory + QLatin1Char('/') + key;
}

std::optional<QByteArray> UserDefaults::data(const QString &key) const
{
    const QString path = pathFor(key);
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool UserDefaults::set(const QString &key, const QByteArray &bytes)
{
    const QString path = pathFor(key);
    if (path.isEmpty()) {
        qCWarning(lcSettings, "store: refused to write under the name \"%s\"", qPrintable(key));
        return false;
    }
    if (!QDir().mkpath(m_directory)) {
        qCWarning(lcSettings, "store: cannot create the folder %s", qPrintable(m_directory));
        return false;
    }
    // QSaveFile writes a temporary file and renames it over the old one only on commit(), so
    // a crash leaves either the complete old bytes or the complete new ones. The file is
    // unbuffered: a buffered QSaveFile reports a full disk only from its final flush inside
    // commit(), which does not stop the rename of a short file over the old one.
    QSaveFile file(path);
    const auto fail = [&file, &key](const char *step, const QString &reason) {
        qCWarning(lcSettings, "store: %s not saved (%s failed: %s); the stored bytes are unchanged", qPrintable(key), step,
                  qPrintable(reason));
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail("open", file.errorString());
    if (file.write(bytes) != bytes.size())
        return fail("write", file.errorString());
    if (!file.flush())
        return fail("flush", file.errorString());
    // Delayed allocation can still run out of space when the data reaches the disk: sync now,
    // while the old file is still in place, rather than find out after the rename.
    if (::fsync(file.handle()) != 0)
        return fail("sync", qt_error_string(errno));
    if (!file.commit()) {
        qCWarning(lcSettings, "store: %s not saved (commit failed: %s); the stored bytes are unchanged", qPrintable(key),
                  qPrintable(file.errorString()));
        return false;
    }
    return true;
}

bool UserDefaults::setBool(const QString &key, bool value)
{
    return set(key, value ? QByteArrayLiteral("true") : QByteArrayLiteral("false"));
}

bool UserDefaults::boolValue(const QString &key) const
{
    const std::optional<QByteArray> bytes = data(key);
    return bytes && *bytes == "true";
}

void UserDefaults::remove(const QString &key)
{
    const QString path = pathFor(key);
    QFile file(path);
    if (!path.isEmpty() && file.exists() && !file.remove())
        qCWarning(lcSettings, "store: cannot remove %s: %s", qPrintable(path), qPrintable(file.errorString()));
}
