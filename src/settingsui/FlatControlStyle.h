#pragma once

#include <QProxyStyle>

class QWidget;

/**
 * The application's style for the plain controls inside list rows: text fields drawn without
 * frame, background or padding, so only their text shows, and tool buttons drawn as their
 * icon alone. One instance serves every such control; a style sheet per control would give
 * each its own parsed sheet and caches, a cost paid again for every row of a long list.
 */
class FlatControlStyle : public QProxyStyle
{
    Q_OBJECT
public:
    FlatControlStyle();

    /** Gives `widget` (a line edit or a tool button) this style, shared by every such widget. */
    static void apply(QWidget *widget);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
                           const QWidget *widget = nullptr) const override;
};
