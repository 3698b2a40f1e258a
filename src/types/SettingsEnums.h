#pragma once

#include <QList>
#include <QMetaEnum>
#include <QObject>
#include <QString>

#include <optional>

/**
 * The user's choices that are persisted by name. The raw value of a case is its name,
 * compared case-sensitively; `allCases` lists them in the order pickers show them.
 */
namespace DotbannerEnums {
Q_NAMESPACE

enum class WindowLevelMode { front, normal, desktop };
Q_ENUM_NS(WindowLevelMode)

enum class DockPosition { top, bottom };
Q_ENUM_NS(DockPosition)

enum class BarVariant { thin, thick };
Q_ENUM_NS(BarVariant)

enum class FontStyle { pixelBold, pixel, hd };
Q_ENUM_NS(FontStyle)

enum class ColorTheme { greenRed, amber, blue };
Q_ENUM_NS(ColorTheme)

enum class StockProvider { yahoo, twelveData };
Q_ENUM_NS(StockProvider)

enum class ItemKind { quote, weather, metal };
Q_ENUM_NS(ItemKind)

} // namespace DotbannerEnums

using DotbannerEnums::BarVariant;
using DotbannerEnums::ColorTheme;
using DotbannerEnums::DockPosition;
using DotbannerEnums::FontStyle;
using DotbannerEnums::ItemKind;
using DotbannerEnums::StockProvider;
using DotbannerEnums::WindowLevelMode;

/** The persisted name of a case ("front", "pixelBold", ...). */
template<typename E>
QString rawValue(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(static_cast<int>(value)));
}

/** The case whose name is exactly `raw`; nothing for any other string. */
template<typename E>
std::optional<E> enumFromRaw(const QString &raw)
{
    const QMetaEnum meta = QMetaEnum::fromType<E>();
    for (int i = 0; i < meta.keyCount(); ++i) {
        if (raw == QLatin1String(meta.key(i)))
            return static_cast<E>(meta.value(i));
    }
    return std::nullopt;
}

/** Every case, in declaration order. */
template<typename E>
QList<E> allCases()
{
    const QMetaEnum meta = QMetaEnum::fromType<E>();
    QList<E> cases;
    for (int i = 0; i < meta.keyCount(); ++i)
        cases.append(static_cast<E>(meta.value(i)));
    return cases;
}

