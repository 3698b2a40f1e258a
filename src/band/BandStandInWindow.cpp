#include "band/BandStandInWindow.h"

#include <QAccessible>

BandStandInWindow::BandStandInWindow()
{
    setTitle(QStringLiteral("Dotbanner"));
}

QAccessibleInterface *BandStandInWindow::accessibleRoot() const
{
    return QAccessible::queryAccessibleInterface(const_cast<BandStandInWindow *>(this));
}
