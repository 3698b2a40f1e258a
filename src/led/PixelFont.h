#pragma once

#include "led/LedFont.h"

#include <QHash>
#include <QStringView>

#include <array>
#include <cstdint>

/**
 * The 5×7 dot-matrix font of the pixel styles. It knows digits, capitals and a few signs;
 * text is folded and upper-cased first, and anything else is shown as "?". Bold smears every
 * lit cell one column to the right and widens each advance by one.
 */
class PixelFont final : public LedFont
{
public:
    /** A parsed glyph: seven rows, top to bottom, each a row of lit/unlit columns. */
    struct Glyph
    {
        int width = 0;
        std::array<std::array<bool, 8>, 7> rows{};

        bool lit(int row, int column) const
        {
            return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        }
    };

    explicit PixelFont(bool bold);

    bool bold() const { return m_bold; }

    int hThin() const override { return 11; }
    int hThick() const override { return 18; }
    int sparkW() const override { return 18; }
    int gap() const override { return 4; }
    int yThin() const override { return 2; }
    int yLine1() const override { return 1; }
    int yLine2() const override { return 10; }

    int width(const QString &text, bool small = false) const override;
    void draw(Grid &grid, const QString &text, int x, int y, Kind kind, bool small = false) const override;

    /** The glyph table parsed once, keyed by character. */
    static const QHash<QChar, Glyph> &glyphs();
    /** The glyph of one user-perceived character, or nothing when the font lacks it. */
    static const Glyph *glyph(QStringView character);

private:
    int advance(const Glyph &glyph) const { return glyph.width + (m_bold ? 2 : 1); }

    bool m_bold;
};
