#include "settingsui/FlatControlStyle.h"

#include <QStyleOption>
#include <QWidget>

FlatControlStyle::FlatControlStyle()
    : QProxyStyle()
{}

void FlatControlStyle::apply(QWidget *widget)
{
    // One for the process, like the focus ring's style: a widget does not own its style.
    static FlatControlStyle *const shared = new FlatControlStyle;
    widget->setStyle(shared);
}

void FlatControlStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                     const QWidget *widget) const
{
    // The field's panel is its background and frame: neither is drawn.
    if (element == PE_PanelLineEdit)
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void FlatControlStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                          const QWidget *widget) const
{
    const auto *button = qstyleoption_cast<const QStyleOptionToolButton *>(option);
    if (control != CC_ToolButton || !button) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // No panel in any state, no focus frame: the icon over the whole button.
    QStyleOptionToolButton label(*button);
    label.state &= ~(State_Sunken | State_On | State_HasFocus);
    QProxyStyle::drawControl(CE_ToolButtonLabel, &label, painter, widget);
}

QSize FlatControlStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
                                         const QWidget *widget) const
{
    switch (type) {
    case CT_LineEdit:
        return contents; // no frame, no padding
    case CT_ToolButton:
        return contents + QSize(3, 3); // the label's own margin around the icon
    default:
        return QProxyStyle::sizeFromContents(type, option, contents, widget);
    }
}
