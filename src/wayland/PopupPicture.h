#pragma once

#include <QImage>
#include <QString>

/**
 * The pictures of the band's own pop-ups on the layer surface, drawn by the program since the
 * compositor shows them as plain surfaces: a tooltip is its text, as plain text, wrapped and
 * bounded, in the desktop's tooltip colours.
 */
class PopupPicture
{
public:
    /** Longest text drawn; feeds can send anything. */
    static constexpr qsizetype maxTextLength = 2000;
    /** Widest a tooltip grows before it wraps, logical pixels. */
    static constexpr int maxWidth = 480;

    /** `text` as a tooltip at `scale` device pixels per logical pixel; null for an empty text. */
    static QImage tooltip(const QString &text, int scale);
};
