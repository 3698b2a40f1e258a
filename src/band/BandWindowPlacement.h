#pragma once

#include "band/BandSurface.h"
#include "types/SettingsEnums.h"

#include <QObject>
#include <QRect>

#include <functional>

class ClockTimer;

/**
 * Keeps the band's top-level window where it was put, whatever toolkit class holds it (a Qt
 * widget, or a window of the X11 surface's own), and says what a placement means for such a
 * window: its flags for a level and the strip it reserves.
 *
 * When the window manager reports another geometry after a move (a late answer to an earlier
 * request overtaking the newer one), the frame is asked for again, a few times at most, so a
 * manager that insists on its own placement is not fought forever; once the manager has
 * settled, the frame is asked for once more through `confirm`, which should not rely on what
 * the toolkit believes.
 */
class BandWindowPlacement : public QObject
{
    Q_OBJECT
public:
    /** What the keeper needs of the window. */
    struct Window
    {
        std::function<QRect()> geometry;                ///< where the toolkit believes it is
        std::function<void(const QRect &)> setGeometry; ///< asks the toolkit to move it
        std::function<bool()> isVisible;                ///< shown now
        std::function<void(const QRect &)> confirm;     ///< asks the window manager itself; may be empty
    };

    explicit BandWindowPlacement(Window window, QObject *parent = nullptr);

    /** Puts the window at `frame` (logical screen coordinates); returns whether a move was asked for. */
    bool placeAt(const QRect &frame);
    /** The window reported a move or a resize: a frame other than the one asked for is corrected. */
    void geometryChanged();
    /** Where placeAt last put the window; empty before the first placement. */
    QRect frame() const { return m_frame; }

    /** The window flags that give `level`: frameless, never focused, above, among or below windows. */
    static Qt::WindowFlags flagsFor(WindowLevelMode level);
    /** The screen edge whose strip a band at `edge` reserves. */
    static Qt::Edge stripEdge(DockPosition edge);
    /** The strip `placement` reserves (logical screen coordinates); empty for none. */
    static QRect stripFor(const BandPlacement &placement);

private:
    void check();

    static constexpr int maxCorrections = 3;

    Window m_window;
    QRect m_frame;
    int m_corrections = 0;
    ClockTimer *m_recheck;
    ClockTimer *m_settled; // the one request after a move, once the manager has settled
};
