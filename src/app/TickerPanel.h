#pragma once

#include "settings/SettingsEnums.h"

#include <QWidget>

class WindowSystem;

/**
 * The band's window: frameless, opaque black, never focused nor activated by a click, on
 * every desktop, out of the taskbar and the pager. Its one child fills it. Levels: `front`
 * stays above normal windows, `normal` is an ordinary window, `desktop` stays below them.
 */
class TickerPanel : public QWidget
{
    Q_OBJECT
public:
    /**
     * `content` becomes the panel's only child and always covers it. `system` (not owned, may
     * be null) marks the window as an accessory each time it is shown.
     */
    explicit TickerPanel(QWidget *content, WindowSystem *system = nullptr, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

    WindowLevelMode level() const { return m_level; }
    /**
     * Changes the stacking level. Only the native window's flags are changed, so the X window
     * and the properties set on it survive.
     */
    void setLevel(WindowLevelMode level);

    /** The window flags that give `level`. */
    static Qt::WindowFlags flagsFor(WindowLevelMode level);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *m_content;
    WindowSystem *m_system;
    WindowLevelMode m_level = WindowLevelMode::front;
};
