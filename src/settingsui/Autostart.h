#pragma once

#include <QByteArray>
#include <QString>

/**
 * Starting Dotbanner when the user logs in, the freedesktop way: a desktop entry in
 * $XDG_CONFIG_HOME/autostart. The file itself is the state, so a user who removes it by
 * hand (or another tool that adds it) is seen the next time anyone asks.
 */
class Autostart
{
public:
    /** The entry's path, under ~/.config when XDG_CONFIG_HOME is unset or relative. */
    static QString path();

    static bool isEnabled();

    /**
     * Writes the entry (atomically) or removes it. False, with a warning in the log, when the
     * file system refused; the state is then whatever isEnabled() reads.
     */
    static bool setEnabled(bool enabled);

    /** The entry for the program at `program`, quoted as desktop entries require. */
    static QByteArray desktopEntry(const QString &program);
};
