#pragma once

#include <QColor>
#include <QFont>
#include <QList>

class QLabel;
class QLineEdit;
class QWidget;

/**
 * The look shared by the settings window: the accent colours, the text styles and the
 * secondary text colours, derived from the widget's palette and font so the window
 * follows the desktop's theme and font size.
 */
namespace UiStyle {

enum class TextStyle { body, bodyMedium, caption, footnote, callout, calloutBold, headline, title3 };

/** The accent hues, as drawn in icons and badges. Text and filled buttons use readable shades of them. */
QColor blue();
QColor teal();
QColor orange();
QColor red();
QColor green();

/** The least contrast of text against its background (WCAG AA, normal-sized text). */
constexpr double minimumTextContrast = 4.5;

/** The contrast ratio of two opaque colours, from 1 (same luminance) to 21 (black on white). */
double contrast(const QColor &a, const QColor &b);
/** `top`, with its alpha, painted over the opaque `bottom`. */
QColor over(const QColor &top, const QColor &bottom);

/**
 * The shade of `color` that reads on every one of `backgrounds` (at least minimumTextContrast):
 * the colour itself when it does, otherwise the same hue made darker on light backgrounds or
 * lighter on dark ones, as little as needed. Translucent colours are judged as painted.
 */
QColor readable(const QColor &color, const QList<QColor> &backgrounds);
/** The shade of `color` for text on `widget`'s window and on its cards (the palette's base). */
QColor readableText(const QColor &color, const QWidget *widget);
/** The shade of `color` for a filled button that carries white text. */
QColor buttonFill(const QColor &color);
/** The colour of links and link-like buttons: the palette's link colour, made readable. */
QColor linkText(const QWidget *widget);

/** The font of `style`, scaled from `base` (the desktop's body font). */
QFont font(const QFont &base, TextStyle style);

/** Text colours of lower emphasis, from the palette of `widget`. */
QColor secondaryText(const QWidget *widget);
QColor tertiaryText(const QWidget *widget);

/** Gives `label` the font of `style` and, when valid, the text colour `color`. */
void styleLabel(QLabel *label, TextStyle style, const QColor &color = QColor());
/** Draws `field` without frame or background, as text that can be edited in place. */
void makeBorderless(QLineEdit *field);
/** Indents `caption` so its text starts where the text of the borderless `field` above it does. */
void alignUnder(QWidget *caption, const QLineEdit *field);
/** A word-wrapped note in footnote size and secondary colour. */
QLabel *note(const QString &text, QWidget *parent = nullptr);

} // namespace UiStyle
