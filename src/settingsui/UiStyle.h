#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

/**
 * The look shared by the settings window: the accent colours, the text styles and the
 * secondary text colours, derived from the widget's palette and font so the window
 * follows the desktop's theme and font size.
 */
namespace UiStyle {

enum class TextStyle { body, bodyMedium, caption, footnote, callout, calloutBold, headline, title3 };

QColor blue();
QColor teal();
QColor orange();
QColor red();
QColor green();

/** The font of `style`, scaled from `base` (the desktop's body font). */
QFont font(const QFont &base, TextStyle style);

/** Text colours of lower emphasis, from the palette of `widget`. */
QColor secondaryText(const QWidget *widget);
QColor tertiaryText(const QWidget *widget);

/** Gives `label` the font of `style` and, when valid, the text colour `color`. */
void styleLabel(QLabel *label, TextStyle style, const QColor &color = QColor());
/** A word-wrapped note in footnote size and secondary colour. */
QLabel *note(const QString &text, QWidget *parent = nullptr);

} // namespace UiStyle
