#include "line/ItemPictures.h"

#include <QHashFunctions>

size_t qHash(const ItemPictures::Key &key, size_t seed) noexcept
{
    return qHashMulti(seed, key.text, static_cast<int>(key.kind), static_cast<int>(key.style), key.trail);
}

void ItemPictures::begin()
{
    ++m_build;
}

const LedBitmap &ItemPictures::picture(const Key &key, std::int64_t rows, const std::function<LedBitmap()> &draw)
{
    auto it = m_pictures.find(key);
    if (it == m_pictures.end()) {
        LedBitmap bitmap = draw();
        // A picture is pasted row by row into a line of `rows` rows: one of another shape
        // would read or write past its cells, so it is kept empty instead.
        if (bitmap.h != rows || bitmap.w < 0 || bitmap.cells.size() != static_cast<std::size_t>(bitmap.w * bitmap.h))
            bitmap = LedBitmap{0, rows, {}};
        ++m_drawn;
        it = m_pictures.insert(key, Entry{std::move(bitmap), 0});
    }
    it->usedIn = m_build;
    return it->bitmap;
}

void ItemPictures::end()
{
    m_pictures.removeIf([this](const QHash<Key, Entry>::iterator &it) { return it->usedIn != m_build; });
}
