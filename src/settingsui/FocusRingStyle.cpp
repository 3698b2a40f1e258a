#include "settingsui/FocusRingStyle.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

FocusRingStyle::FocusRingStyle()
    : QProxyStyle()
{}

void FocusRingStyle::apply(QWidget *widget)
{
    // One for the process: a widget does not own the style it is given, and may still reach it
    // while it is being destroyed.
    static FocusRingStyle *const shared = new FocusRingStyle;
    widget->setStyle(shared);
}

void FocusRingStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                   const QWidget *widget) const
{
    if (element != PE_FrameFocusRect || !option) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    drawRing(*option, painter);
}

void FocusRingStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    if (element != CE_TabBarTabLabel || !option || !(option->state & State_HasFocus)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The label without the style's own focus frame, then the ring around the tab.
    QStyleOption plain(*option);
    if (const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option)) {
        QStyleOptionTab copy(*tab);
        copy.state &= ~State_HasFocus;
        QProxyStyle::drawControl(element, &copy, painter, widget);
    } else {
        plain.state &= ~State_HasFocus;
        QProxyStyle::drawControl(element, &plain, painter, widget);
    }
    drawRing(*option, painter);
}

void FocusRingStyle::drawRing(const QStyleOption &option, QPainter *painter)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const qreal inset = ringWidth / 2.0;
    painter->setPen(QPen(option.palette.color(QPalette::Highlight), ringWidth));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option.rect).adjusted(inset, inset, -inset, -inset), 4, 4);
    painter->restore();
}
