#include "settingsui/UiStyle.h"

#include "settingsui/FlatControlStyle.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>

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

namespace {

double channel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor over(const QColor &top, const QColor &bottom)
{
    const double alpha = top.alphaF();
    const auto mix = [alpha](double t, double b) { return t * alpha + b * (1.0 - alpha); };
    return QColor::fromRgbF(float(mix(top.redF(), bottom.redF())), float(mix(top.greenF(), bottom.greenF())),
                            float(mix(top.blueF(), bottom.blueF())));
}

QColor readable(const QColor &color, const QList<QColor> &backgrounds)
{
    if (backgrounds.isEmpty())
        return color;
    const auto reads = [&backgrounds](const QColor &candidate) {
        for (const QColor &background : backgrounds) {
            if (contrast(over(candidate, background), background) < minimumTextContrast)
                return false;
        }
        return true;
    };
    if (reads(color))
        return color;
    // Dark text on light backgrounds, light text on dark ones: judged by the first background.
    const bool darken = luminance(backgrounds.first()) > 0.18;
    const QColor opaque = over(color, backgrounds.first());
    const float hue = opaque.hslHueF();
    const float saturation = opaque.hslSaturationF();
    float lightness = opaque.lightnessF();
    // Steps of 1 % of lightness keep the hue and stop at the first shade that reads; black or
    // white ends the walk, and they read on any background that leaves room for text at all.
    for (int step = 0; step < 100; ++step) {
        lightness = std::clamp(lightness + (darken ? -0.01f : 0.01f), 0.0f, 1.0f);
        const QColor candidate = QColor::fromHslF(hue < 0 ? 0 : hue, saturation, lightness);
        if (reads(candidate))
            return candidate;
        if (lightness <= 0.0f || lightness >= 1.0f)
            return candidate;
    }
    return darken ? QColor(Qt::black) : QColor(Qt::white);
}

QColor readableText(const QColor &color, const QWidget *widget)
{
    const QPalette &palette = widget->palette();
    return readable(color, {palette.color(QPalette::Window), palette.color(QPalette::Base)});
}

QColor buttonFill(const QColor &color)
{
    // White text on the fill reads exactly when the fill reads behind white.
    return readable(color, {QColor(Qt::white)});
}

QColor linkText(const QWidget *widget)
{
    return readableText(widget->palette().color(QPalette::Link), widget);
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

void makeBorderless(QLineEdit *field)
{
    field->setFrame(false);
    FlatControlStyle::apply(field);
}

void alignUnder(QWidget *caption, const QLineEdit *field)
{
    // A line edit draws its text a few pixels in from its edge (its own margin plus any of the
    // style's); the cursor's place at the start of an empty line tells how many.
    struct Probe : QLineEdit
    {
        using QLineEdit::cursorRect;
    } probe;
    probe.setFrame(field->hasFrame());
    // A sheet's style belongs to its widget: the probe gets a sheet of its own instead.
    if (field->styleSheet().isEmpty())
        probe.setStyle(field->style());
    else
        probe.setStyleSheet(field->styleSheet());
    probe.setFont(field->font());
    probe.setTextMargins(field->textMargins());
    probe.resize(200, probe.sizeHint().height());
    probe.ensurePolished();
    const int indent = std::max(0, probe.cursorRect().center().x());
    const QMargins margins = caption->contentsMargins();
    caption->setContentsMargins(indent, margins.top(), margins.right(), margins.bottom());
}

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    styleLabel(label, TextStyle::footnote, secondaryText(label));
    return label;
}

} // namespace UiStyle
