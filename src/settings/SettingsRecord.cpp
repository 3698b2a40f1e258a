#include "settings/SettingsRecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>

namespace {

// Each reader returns false when the member is malformed; `out` is only written on success.

bool readString(const QJsonValue &value, QString &out)
{
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

bool readNumber(const QJsonValue &value, double &out)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    // JSON cannot carry infinities; a record that overflows a double is as broken as a typo.
    if (!std::isfinite(number))
        return false;
    out = number;
    return true;
}

bool readBool(const QJsonValue &value, bool &out)
{
    if (!value.isBool())
        return false;
    out = value.toBool();
    return true;
}

template<typename E>
bool readEnum(const QJsonValue &value, E &out)
{
    if (!value.isString())
        return false;
    const std::optional<E> parsed = enumFromRaw<E>(value.toString());
    if (!parsed)
        return false;
    out = *parsed;
    return true;
}

bool readUuid(const QJsonValue &value, QUuid &out)
{
    if (!value.isString())
        return false;
    const std::optional<QUuid> parsed = SettingsRecord::parseUuid(value.toString());
    if (!parsed)
        return false;
    out = *parsed;
    return true;
}

bool readItem(const QJsonValue &value, WatchItem &out)
{
    if (!value.isObject())
        return false;
    const QJsonObject object = value.toObject();
    WatchItem item;
    if (!readUuid(object.value(QLatin1String("id")), item.id)
        || !readEnum(object.value(QLatin1String("kind")), item.kind)
        || !readString(object.value(QLatin1String("symbol")), item.symbol)
        || !readString(object.value(QLatin1String("label")), item.label))
        return false;
    const QJsonValue ref = object.value(QLatin1String("ref"));
    if (!ref.isUndefined() && !ref.isNull()) {
        QString text;
        if (!readString(ref, text))
            return false;
        item.ref = text;
    }
    out = item;
    return true;
}

bool readSource(const QJsonValue &value, NewsSource &out)
{
    if (!value.isObject())
        return false;
    const QJsonObject object = value.toObject();
    NewsSource source;
    if (!readUuid(object.value(QLatin1String("id")), source.id)
        || !readString(object.value(QLatin1String("name")), source.name)
        || !readString(object.value(QLatin1String("url")), source.url)
        || !readBool(object.value(QLatin1String("enabled")), source.enabled))
        return false;
    out = source;
    return true;
}

template<typename T, typename Reader>
bool readArray(const QJsonValue &value, QList<T> &out, Reader read)
{
    if (!value.isArray())
        return false;
    const QJsonArray array = value.toArray();
    QList<T> list;
    list.reserve(array.size());
    for (const QJsonValue &element : array) {
        T entry;
        if (!read(element, entry))
            return false;
        list.append(entry);
    }
    out = list;
    return true;
}

// A member that may be missing: absent and null keep the default already in `out`.
template<typename T, typename Reader>
bool readOptional(const QJsonObject &object, const char *name, T &out, Reader read)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isUndefined() || value.isNull())
        return true;
    return read(value, out);
}

} // namespace

const QList<WatchItem> &SettingsRecord::defaultItems()
{
    static const QList<WatchItem> items = [] {
        const auto make = [](ItemKind kind, const char *symbol, const char *label) {
            return WatchItem{QUuid::createUuid(), kind, QString::fromUtf8(symbol), QString::fromUtf8(label),
                             std::nullopt};
        };
        return QList<WatchItem>{
            make(ItemKind::quote, "AAPL", "AAPL"),     make(ItemKind::quote, "^GSPC", "S&P500"),
            make(ItemKind::quote, "^FCHI", "CAC40"),   make(ItemKind::quote, "BTC-USD", "BTC"),
            make(ItemKind::quote, "CW8.PA", "CW8"),    make(ItemKind::metal, "gold", "OR"),
            make(ItemKind::weather, "Paris", "PARIS"),
        };
    }();
    return items;
}

const QList<WatchItem> &SettingsRecord::englishDefaultItems()
{
    static const QList<WatchItem> items = [] {
        QList<WatchItem> english = defaultItems();
        for (WatchItem &item : english) {
            item.id = QUuid::createUuid();
            if (item.kind == ItemKind::metal && item.symbol == QLatin1String("gold"))
                item.label = QStringLiteral("GOLD");
        }
        return english;
    }();
    return items;
}

SettingsRecord SettingsRecord::firstStart(bool english)
{
    SettingsRecord record;
    if (english) {
        record.items = englishDefaultItems();
        record.newsSources = NewsSource::englishDefaults();
    }
    return record;
}

QString SettingsRecord::uuidText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> SettingsRecord::parseUuid(const QString &text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != u'-')
                return std::nullopt;
        } else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))) {
            return std::nullopt;
        }
    }
    const QUuid id = QUuid::fromString(text);
    // fromString gives the null id on failure; the all-zero text is the one legitimate null id.
    if (id.isNull() && text != QLatin1String("00000000-0000-0000-0000-000000000000"))
        return std::nullopt;
    return id;
}

std::optional<SettingsRecord> SettingsRecord::decode(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    SettingsRecord record;
    const auto member = [&object](const char *name) { return object.value(QLatin1String(name)); };
    if (!readEnum(member("levelMode"), record.levelMode) || !readEnum(member("position"), record.position)
        || !readEnum(member("variant"), record.variant) || !readEnum(member("fontStyle"), record.fontStyle)
        || !readEnum(member("theme"), record.theme) || !readNumber(member("ledSize"), record.ledSize)
        || !readNumber(member("speed"), record.speed) || !readArray(member("items"), record.items, readItem))
        return std::nullopt;

    const auto readSources = [](const QJsonValue &value, QList<NewsSource> &out) {
        return readArray(value, out, readSource);
    };
    if (!readOptional(object, "stockProvider", record.stockProvider, readEnum<StockProvider>)
        || !readOptional(object, "metalCurrency", record.metalCurrency, readString)
        || !readOptional(object, "metalUnit", record.metalUnit, readString)
        || !readOptional(object, "showInDock", record.showInDock, readBool)
        || !readOptional(object, "newsSources", record.newsSources, readSources)
        || !readOptional(object, "pushWindows", record.pushWindows, readBool))
        return std::nullopt;
    return record;
}

std::optional<QByteArray> SettingsRecord::encode() const
{
    if (!std::isfinite(ledSize) || !std::isfinite(speed))
        return std::nullopt;
    // A case outside its enumeration has no name; writing "" would make the record unreadable.
    const QString names[] = {rawValue(levelMode), rawValue(position), rawValue(variant),
                             rawValue(fontStyle), rawValue(theme),    rawValue(stockProvider)};
    for (const QString &name : names) {
        if (name.isEmpty())
            return std::nullopt;
    }

    QJsonArray itemArray;
    for (const WatchItem &item : items) {
        if (rawValue(item.kind).isEmpty())
            return std::nullopt;
        QJsonObject object{
            {QLatin1String("id"), uuidText(item.id)},
            {QLatin1String("kind"), rawValue(item.kind)},
            {QLatin1String("symbol"), item.symbol},
            {QLatin1String("label"), item.label},
        };
        if (item.ref)
            object.insert(QLatin1String("ref"), *item.ref);
        itemArray.append(object);
    }
    QJsonArray sourceArray;
    for (const NewsSource &source : newsSources) {
        sourceArray.append(QJsonObject{
            {QLatin1String("id"), uuidText(source.id)},
            {QLatin1String("name"), source.name},
            {QLatin1String("url"), source.url},
            {QLatin1String("enabled"), source.enabled},
        });
    }
    const QJsonObject object{
        {QLatin1String("levelMode"), names[0]},
        {QLatin1String("position"), names[1]},
        {QLatin1String("variant"), names[2]},
        {QLatin1String("fontStyle"), names[3]},
        {QLatin1String("theme"), names[4]},
        {QLatin1String("ledSize"), ledSize},
        {QLatin1String("speed"), speed},
        {QLatin1String("items"), itemArray},
        {QLatin1String("stockProvider"), names[5]},
        {QLatin1String("metalCurrency"), metalCurrency},
        {QLatin1String("metalUnit"), metalUnit},
        {QLatin1String("showInDock"), showInDock},
        {QLatin1String("newsSources"), sourceArray},
        {QLatin1String("pushWindows"), pushWindows},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
