#include "settingsui/ToggleSwitch.h"

#include "settingsui/ToggleSwitchAccessible.h"

#include <QAccessible>

#include <QPainter>

ToggleSwitch::ToggleSwitch(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    ToggleSwitchAccessible::install();
    // Screen readers hear the new state at once.
    connect(this, &QAbstractButton::toggled, this, [this] {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    });
}

QSize ToggleSwitch::sizeHint() const
{
    return QSize(38, 24); // the track and, around it, the focus ring
}

void ToggleSwitch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(0, 0, 34, 20).translated((width() - 34) / 2.0, (height() - 20) / 2.0);
    QColor off = palette().color(QPalette::WindowText);
    off.setAlpha(50);
    QColor on = palette().color(QPalette::Highlight);
    if (!isEnabled()) {
        on.setAlpha(90);
        off.setAlpha(25);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(isChecked() ? on : off);
    p.drawRoundedRect(track, 10, 10);
    const qreal knobX = isChecked() ? track.right() - 18 : track.left() + 2;
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    p.drawEllipse(QRectF(knobX, track.top() + 2, 16, 16));
    if (hasFocus()) {
        // Solid and clear of the track, so it shows on either state.
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(-2, -2, 2, 2), 12, 12);
    }
}
