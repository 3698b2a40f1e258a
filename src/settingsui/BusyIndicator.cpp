#include "settingsui/BusyIndicator.h"

#include <QPainter>

#include <cmath>

BusyIndicator::BusyIndicator(int size, QWidget *parent)
    : QWidget(parent)
    , m_size(size)
{
    setFixedSize(size, size);
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % 8;
        update();
    });
}

void BusyIndicator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer.start();
}

void BusyIndicator::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer.stop();
}

void BusyIndicator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(width() / 2.0, height() / 2.0);
    const qreal outer = m_size / 2.0 - 1;
    const qreal inner = outer * 0.45;
    const QColor base = palette().color(QPalette::WindowText);
    for (int i = 0; i < 8; ++i) {
        const qreal angle = (i * 45.0 - 90.0) * M_PI / 180.0;
        QColor c = base;
        c.setAlphaF(0.15 + 0.7 * (((i - m_step + 8) % 8) / 7.0));
        p.setPen(QPen(c, qMax(1.5, m_size / 9.0), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(centre + QPointF(std::cos(angle) * inner, std::sin(angle) * inner),
                   centre + QPointF(std::cos(angle) * outer, std::sin(angle) * outer));
    }
}
