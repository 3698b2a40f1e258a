#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

struct xcb_connection_t;
class QSocketNotifier;

/**
 * Tells when the desktop's windows may have moved: a top-level window was mapped, unmapped,
 * moved or resized, or the manager changed its client list, work area or current desktop.
 * It listens on an X connection of its own, so the events it asks for change nothing for Qt's
 * connection, and it costs nothing while the desktop is still. Pop-ups (menus, tooltips)
 * are not windows the manager lays out, and are ignored.
 */
class X11ChangeWatcher : public QObject
{
    Q_OBJECT
public:
    /** Connects to the default display; isValid() says whether that worked. */
    explicit X11ChangeWatcher(std::function<void()> changed, QObject *parent = nullptr);
    ~X11ChangeWatcher() override;

    bool isValid() const { return m_notifier != nullptr; }

private:
    void readEvents();

    std::function<void()> m_changed;
    xcb_connection_t *m_connection = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_watchedAtoms[5] = {};
};
