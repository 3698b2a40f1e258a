#include "settingsui/UiStyle.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace UiStyle {

QColor blue()
{
    return QColor(0x00, 0x7a, 0xff);
}

QColor teal()
{
    return QColor(0x30, 0xb0, 0xc7);
}

QColor orange()
{
    return QColor(0xff, 0x95, 0x00);
}

QColor red()
{
    return QColor(0xff, 0x3b, 0x30);
}

QColor green()
{
    return QColor(0x34, 0xc7, 0x59);
}

QFont font(const QFont &base, TextStyle style)
{
    // Ratios of the usual desktop text styles to a 13-point body text.
    double ratio = 1.0;
    int weight = QFont::Normal;
    switch (style) {
    case TextStyle::body:
        break;
    case TextStyle::bodyMedium:
        weight = QFont::Medium;
        break;
    case TextStyle::caption:
    case TextStyle::footnote:
        ratio = 11.0 / 13.0;
        break;
    case TextStyle::callout:
        ratio = 12.0 / 13.0;
        break;
    case TextStyle::calloutBold:
        ratio = 12.0 / 13.0;
        weight = QFont::Bold;
        break;
    case TextStyle::headline:
        weight = QFont::DemiBold;
        break;
    case TextStyle::title3:
        ratio = 15.0 / 13.0;
        weight = QFont::DemiBold;
        break;
    }
    QFont f = base;
    if (base.pixelSize() > 0)
        f.setPixelSize(qMax(8, qRound(base.pixelSize() * ratio)));
    else
        f.setPointSizeF(qMax(6.5, base.pointSizeF() * ratio));
    f.setWeight(static_cast<QFont::Weight>(weight));
    return f;
}

QColor secondaryText(const QWidget *widget)
{
    QColor c = widget->palette().color(QPalette::WindowText);
    c.setAlpha(150);
    return c;
}

QColor tertiaryText(const QWidget *widget)
{
    QColor c = widget->palette().color(QPalette::WindowText);
    c.setAlpha(90);
    return c;
}

void styleLabel(QLabel *label, TextStyle style, const QColor &color)
{
    label->setFont(font(label->font(), style));
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        palette.setColor(QPalette::Text, color);
        // Inside a button a label draws with the button's text role.
        palette.setColor(QPalette::ButtonText, color);
        label->setPalette(palette);
    }
}

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    styleLabel(label, TextStyle::footnote, secondaryText(label));
    return label;
}

} // namespace UiStyle
