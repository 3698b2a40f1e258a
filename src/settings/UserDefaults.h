#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/**
 * A persistent store of byte strings by key. Each key is one file named after it in
 * the configuration folder ($XDG_CONFIG_HOME/dotbanner, or ~/.config/dotbanner),
 * replaced atomically on every write so a crash leaves the old or the new bytes.
 */
class UserDefaults
{
public:
    /** A store in `directory`; an empty string means the standard folder. */
    explicit UserDefaults(const QString &directory = QString());

    /** The store of the running process (the standard folder). */
    static UserDefaults &standard();

    QString directory() const { return m_directory; }

    /** The stored bytes, or nothing when the key was never written or cannot be read. */
    std::optional<QByteArray> data(const QString &key) const;
    /** Replaces the bytes of `key`. Returns false when they could not be written. */
    bool set(const QString &key, const QByteArray &bytes);
    /** Stores "true" or "false". */
    bool setBool(const QString &key, bool value);
    /** True only when the stored text is "true". */
    bool boolValue(const QString &key) const;
    void remove(const QString &key);

private:
    QString pathFor(const QString &key) const;

    QString m_directory;
};
