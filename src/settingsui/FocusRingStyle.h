#pragma once

#include <QProxyStyle>

class QWidget;

/**
 * The application's style with a focus ring that can be seen: a solid two-pixel line in the
 * highlight colour instead of the faint dotted frame, for tabs and list rows reached with the
 * keyboard.
 */
class FocusRingStyle : public QProxyStyle
{
    Q_OBJECT
public:
    FocusRingStyle();

    /** Gives `widget` this style, one instance shared by every such widget. */
    static void apply(QWidget *widget);

    /** The width of the ring in logical pixels. */
    static constexpr int ringWidth = 2;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    /** Tabs get the ring around the whole tab: not every style draws a focus frame on them. */
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

private:
    static void drawRing(const QStyleOption &option, QPainter *painter);
};
