#pragma once

#include <QWindow>

/**
 * A window never shown that screen readers find the band as where the band is drawn outside
 * the toolkit (BandSurface::accessibleObject), so that the band still stands among the
 * application's windows in its accessibility tree.
 */
class BandStandInWindow : public QWindow
{
    Q_OBJECT
public:
    BandStandInWindow();

    QAccessibleInterface *accessibleRoot() const override;
};
