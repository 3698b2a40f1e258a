#include "settings/Settings.h"

#include "settings/Keychain.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsRecord.h"
#include "settings/UserDefaults.h"

#include <QLoggingCategory>

namespace {


} // namespace

Settings &Settings::shared()
{
    // Never destroyed: it lives as long as the process, past the application object.
    static Settings *const instance = new Settings(UserDefaults::standard());
    return *instance;
}

Settings::Settings(UserDefaults &store, QObject *parent)
    : Settings(store, KeyStore::system(), parent)
{
}

Settings::Settings(UserDefaults &store, KeyStore &keys, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_keys(keys)
    , m_items(defaultItems())
    , m_newsSources(NewsSource::defaults())
    , m_stockKey(keys.read(Keychain::account(KeyService::twelveData)))
    , m_weatherKey(keys.read(Keychain::account(KeyService::weather)))
    , m_metalsKey(keys.read(Keychain::account(KeyService::metals)))
{
    load();
}

const QList<WatchItem> &Settings::defaultItems()
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

void Settings::load()
{
    const std::optional<QByteArray> bytes = m_store.data(key);
    if (!bytes)
        return;
    const std::optional<SettingsRecord> record = SettingsRecord::decode(*bytes);
    if (!record) {
        // The defaults stand; remember the bytes so the first save can keep a copy.
        qCWarning(lcSettings, "settings record unreadable; the defaults are used and it is kept as \"%s\"",
                  qPrintable(unreadableKey));
        m_unreadable = *bytes;
        return;
    }

    m_loading = true;
    setLevelMode(record->levelMode);
    setPosition(record->position);
    setVariant(record->variant);
    setFontStyle(record->fontStyle);
    setTheme(record->theme);
    setLedSize(record->ledSize);
    setSpeed(record->speed);
    setItems(record->items);
    setStockProvider(record->stockProvider);
    setMetalCurrency(record->metalCurrency);
    setMetalUnit(record->metalUnit);
    setShowInDock(record->showInDock);
    setNewsSources(record->newsSources);
    setPushWindows(record->pushWindows);
    m_loading = false;
}

void Settings::save()
{
    if (m_loading)
        return;

    SettingsRecord record;
    record.levelMode = m_levelMode;
    record.position = m_position;
    record.variant = m_variant;
    record.fontStyle = m_fontStyle;
    record.theme = m_theme;
    record.ledSize = m_ledSize;
    record.speed = m_speed;
    record.items = m_items;
    record.stockProvider = m_stockProvider;
    record.metalCurrency = m_metalCurrency;
    record.metalUnit = m_metalUnit;
    record.showInDock = m_showInDock;
    record.newsSources = m_newsSources;
    record.pushWindows = m_pushWindows;
    const std::optional<QByteArray> bytes = record.encode();
    if (!bytes) {
        qCWarning(lcSettings, "settings not saved: a value cannot be written in the record");
        return;
    }

    if (m_unreadable) {
        // A record we could not read may be hand-edited or from a newer version: keep it
        // before replacing it. An earlier copy is the older original and stays. If the copy
        // cannot be written, the record is not overwritten either; the next save retries.
        if (!m_store.data(unreadableKey) && !m_store.set(unreadableKey, *m_unreadable)) {
            qCWarning(lcSettings, "settings not saved: the unreadable record could not be kept aside");
            return;
        }
        m_unreadable.reset();
    }
    // The store logs the reason; the stored record is intact and the next change writes
    // the whole record again.
    if (!m_store.set(key, *bytes))
        qCWarning(lcSettings, "settings not saved; they will be written with the next change");
}

template<typename T, typename Arg>
void Settings::assign(T &field, const T &value, void (Settings::*changed)(Arg))
{
    if (field == value)
        return;
    emit objectWillChange();
    field = value;
    // Saved before observers run, so one that assigns in turn saves after this one.
    save();
    emit(this->*changed)(field);
}

void Settings::assignKey(QString &field, const QString &value, KeyService service,
                         void (Settings::*changed)(const QString &))
{
    if (field == value) {
        // Typing the same key again is also a chance to store what the key store refused.
        retryKeyStorage();
        return;
    }
    emit objectWillChange();
    field = value;
    // Any edit of a key is also the moment to store the others that the key store refused.
    for (KeyService other : {KeyService::twelveData, KeyService::weather, KeyService::metals}) {
        if (other != service && !isKeyStored(other))
            storeKey(other);
    }
    storeKey(service);
    emit(this->*changed)(field);
}

QString Settings::apiKey(KeyService service) const
{
    switch (service) {
    case KeyService::twelveData:
        return m_stockKey;
    case KeyService::weather:
        return m_weatherKey;
    case KeyService::metals:
        return m_metalsKey;
    }
    return {};
}

void Settings::storeKey(KeyService service)
{
    const bool stored = m_keys.write(Keychain::account(service), apiKey(service));
    const bool wasStored = isKeyStored(service);
    if (stored)
        m_unstoredKeys.remove(service);
    else
        m_unstoredKeys.insert(service);
    if (!stored)
        qCWarning(lcSettings, "the key store refused %s; it is kept for this session only",
                  qPrintable(Keychain::account(service)));
    if (stored != wasStored)
        emit keyStorageChanged(service, stored);
}

void Settings::retryKeyStorage()
{
    for (KeyService service : {KeyService::twelveData, KeyService::weather, KeyService::metals}) {
        if (!isKeyStored(service))
            storeKey(service);
    }
}

QString Settings::effectiveWeatherKey() const
{
    return m_weatherKey.isEmpty() ? QString() : m_weatherKey;
}

QString Settings::effectiveMetalsKey() const
{
    return m_metalsKey.isEmpty() ? QString() : m_metalsKey;
}

void Settings::setLevelMode(WindowLevelMode value)
{
    assign(m_levelMode, value, &Settings::levelModeChanged);
}

void Settings::setPosition(DockPosition value)
{
    assign(m_position, value, &Settings::positionChanged);
}

void Settings::setVariant(BarVariant value)
{
    assign(m_variant, value, &Settings::variantChanged);
}

void Settings::setFontStyle(FontStyle value)
{
    assign(m_fontStyle, value, &Settings::fontStyleChanged);
}

void Settings::setTheme(ColorTheme value)
{
    assign(m_theme, value, &Settings::themeChanged);
}

void Settings::setLedSize(double value)
{
    assign(m_ledSize, value, &Settings::ledSizeChanged);
}

void Settings::setSpeed(double value)
{
    assign(m_speed, value, &Settings::speedChanged);
}

void Settings::setItems(const QList<WatchItem> &value)
{
    assign(m_items, value, &Settings::itemsChanged);
}

void Settings::setStockProvider(StockProvider value)
{
    assign(m_stockProvider, value, &Settings::stockProviderChanged);
}

void Settings::setMetalCurrency(const QString &value)
{
    assign(m_metalCurrency, value, &Settings::metalCurrencyChanged);
}

void Settings::setMetalUnit(const QString &value)
{
    assign(m_metalUnit, value, &Settings::metalUnitChanged);
}

void Settings::setShowInDock(bool value)
{
    assign(m_showInDock, value, &Settings::showInDockChanged);
}

void Settings::setNewsSources(const QList<NewsSource> &value)
{
    assign(m_newsSources, value, &Settings::newsSourcesChanged);
}

void Settings::setPushWindows(bool value)
{
    assign(m_pushWindows, value, &Settings::pushWindowsChanged);
}

// The keys live in the keyring, never in the record: they are written there and not saved.

void Settings::setStockKey(const QString &value)
{
    assignKey(m_stockKey, value, KeyService::twelveData, &Settings::stockKeyChanged);
}

void Settings::setWeatherKey(const QString &value)
{
    assignKey(m_weatherKey, value, KeyService::weather, &Settings::weatherKeyChanged);
}

void Settings::setMetalsKey(const QString &value)
{
    assignKey(m_metalsKey, value, KeyService::metals, &Settings::metalsKeyChanged);
}
