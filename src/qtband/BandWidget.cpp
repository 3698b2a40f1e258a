#include "qtband/BandWidget.h"

#include "band/BandLines.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

BandWidget::BandWidget(BandLines *lines, QWidget *parent)
    : QWidget(parent)
    , m_ownLines(lines ? nullptr : std::make_unique<BandLines>())
    , m_lines(lines ? lines : m_ownLines.get())
{
    // Hovering a line matters to the band, not only drags.
    setMouseTracking(true);
}

BandWidget::~BandWidget() = default;

double BandWidget::backingScale() const
{
    if (const QWindow *handle = window()->windowHandle())
        return handle->devicePixelRatio();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->devicePixelRatio();
    return 2;
}

int BandWidget::frameIntervalNs() const
{
    const QScreen *s = screen();
    double rate = s ? s->refreshRate() : 0;
    if (!(rate >= 1))
        rate = 60;
    // The text moves smoothly at 60 frames per second; faster displays gain nothing visible.
    rate = std::clamp(rate, 30.0, 60.0);
    return static_cast<int>(std::lround(1e9 / rate));
}

bool BandWidget::layoutLines()
{
    return m_lines->layout(width(), backingScale(), BandLines::now());
}

void BandWidget::deliver(BandPointerEvent::Type type, QPointF position, Qt::MouseButton button)
{
    if (!pointerHandler)
        return;
    pointerHandler(BandPointerEvent::over(*m_lines, type, position, button));
}

void BandWidget::mouseMoveEvent(QMouseEvent *event)
{
    deliver(BandPointerEvent::Type::move, event->position(), Qt::NoButton);
}

void BandWidget::mousePressEvent(QMouseEvent *event)
{
    deliver(BandPointerEvent::Type::press, event->position(), event->button());
}

void BandWidget::mouseReleaseEvent(QMouseEvent *event)
{
    deliver(BandPointerEvent::Type::release, event->position(), event->button());
}

void BandWidget::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    deliver(BandPointerEvent::Type::enter, event->position(), Qt::NoButton);
}

void BandWidget::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    deliver(BandPointerEvent::Type::leave, mapFromGlobal(QCursor::pos()), Qt::NoButton);
}

bool BandWidget::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    // Moved to a screen of another pixel density: the tiles are made anew at once, whether or
    // not a line moves.
    if (event->type() == QEvent::ScreenChangeInternal && m_lines->scale() != backingScale())
        refresh();
    return handled;
}

void BandWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refresh();
}
