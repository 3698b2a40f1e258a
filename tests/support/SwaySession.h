#pragma once

#include <QImage>
#include <QJsonObject>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

/**
 * The headless sway session a test runs in (tests/support/with-sway.sh): commands through
 * swaymsg, the layout tree, screenshots through grim. Every call fails the test loudly when
 * the session is missing or a tool fails.
 */
class SwaySession
{
public:
    /** False, with the reason in `why`, when the test does not run inside a sway session. */
    static bool available(QString *why);

    /** Runs one sway command (`swaymsg COMMAND`); false when sway refused it. */
    static bool command(const QString &command);
    /** The layout tree (`swaymsg -t get_tree`); empty on failure. */
    static QJsonObject tree();
    /** The first window (view) whose app_id or X11 class is `appId`, from the tree; none if absent. */
    static std::optional<QJsonObject> window(const QString &appId);
    /** A window's rectangle on screen, from its tree node. */
    static QRect rect(const QJsonObject &node);
    /** Where the output named `name` stands in the layout (`swaymsg -t get_outputs`); empty if absent. */
    static QRect outputRect(const QString &name);
    /** The name of the focused workspace. */
    static QString focusedWorkspace();
    /** A screenshot of `area` (global coordinates) or of everything; null on failure. */
    static QImage screenshot(const QRect &area = QRect());

    /** Waits, handling events, until `condition` holds or `timeoutMs` passed; returns the last result. */
    static bool waitFor(const std::function<bool()> &condition, int timeoutMs = 30000);
};
