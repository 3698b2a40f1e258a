#include "settings/SavedWindowSize.h"

#include "settings/UserDefaults.h"

#include <QList>

namespace {

bool usable(QSize size)
{
    return size.width() >= 1 && size.height() >= 1 && size.width() <= SavedWindowSize::maxSide &&
           size.height() <= SavedWindowSize::maxSide;
}

} // namespace

SavedWindowSize::SavedWindowSize(UserDefaults &store, QString key)
    : m_store(store)
    , m_key(std::move(key))
{}

std::optional<QSize> SavedWindowSize::size() const
{
    const std::optional<QByteArray> bytes = m_store.data(m_key);
    if (!bytes || bytes->size() > 32)
        return std::nullopt;
    const QList<QByteArray> sides = bytes->trimmed().split('x');
    if (sides.size() != 2)
        return std::nullopt;
    bool wide = false;
    bool high = false;
    const QSize size(sides[0].toInt(&wide), sides[1].toInt(&high));
    if (!wide || !high || !usable(size))
        return std::nullopt;
    return size;
}

bool SavedWindowSize::setSize(QSize size)
{
    if (!usable(size))
        return false;
    if (this->size() == size)
        return true;
    return m_store.set(m_key, QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height()));
}
