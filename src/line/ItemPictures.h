#pragma once

#include "types/Kind.h"
#include "types/LedBitmap.h"
#include "types/SettingsEnums.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>

/**
 * The LED pictures of a line's items, kept from one build of the line to the next, so that a
 * republish draws only the items whose text changed and copies the others' cells. A picture
 * is known by everything that changes its cells: the text, its kind, the font and the blank
 * columns that end it. Each build is framed by begin() and end(); end() drops every picture
 * the build did not use, so the cache never holds more than the line it last built. Not
 * thread-safe: one builder at a time.
 */
class ItemPictures
{
public:
    /** What one picture shows. */
    struct Key
    {
        QString text;
        Kind kind = Kind::off;
        FontStyle style = FontStyle::pixelBold;
        int trail = 0; ///< blank columns (with any separator dot) after the text
        friend bool operator==(const Key &, const Key &) = default;
    };

    /** Starts a build: pictures it does not ask for are dropped by end(). */
    void begin();
    /**
     * The picture for `key`, drawn by `draw` only when no picture of it is kept. A picture
     * `draw` returns with another height than `rows` rows counts as empty (all off).
     */
    const LedBitmap &picture(const Key &key, std::int64_t rows, const std::function<LedBitmap()> &draw);
    /** Ends a build: drops the pictures it did not use. */
    void end();

    /** Pictures kept. */
    qsizetype size() const { return m_pictures.size(); }
    /** Pictures drawn (not found in the cache) since this object was made. */
    std::int64_t drawn() const { return m_drawn; }

private:
    struct Entry
    {
        LedBitmap bitmap;
        std::uint64_t usedIn = 0;
    };

    QHash<Key, Entry> m_pictures;
    std::uint64_t m_build = 0;
    std::int64_t m_drawn = 0;
};

/** Hashes a picture's key for ItemPictures' table. */
size_t qHash(const ItemPictures::Key &key, size_t seed = 0) noexcept;
