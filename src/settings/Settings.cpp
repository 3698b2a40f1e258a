#include "settings/Settings.h"

#include "settings/Keychain.h"
#include "settings/SettingsLog.h"
#include "settings/UserDefaults.h"

#include <QLoggingCategory>

namespace {

constexpr KeyService keyServices[] = {KeyService::twelveData, KeyService::weather, KeyService::metals};

} // namespace

Settings &Settings::shared()
{
    // Never destroyed: it lives as long as the process, past the application object.
    static Settings *const instance = new Settings(UserDefaults::standard(), KeyStore::system());
    return *instance;
}

namespace {

bool g_englishDefaults = false;

} // namespace

void Settings::setEnglishDefaults(bool english)
{
    g_englishDefaults = english;
}

bool Settings::englishDefaults()
{
    return g_englishDefaults;
}

Settings::Settings(UserDefaults &store, KeyStore &keys, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_keys(keys)
    , m_stockKey(keys.read(Keychain::account(KeyService::twelveData)))
    , m_weatherKey(keys.read(Keychain::account(KeyService::weather)))
    , m_metalsKey(keys.read(Keychain::account(KeyService::metals)))
{
    load();
}

void Settings::load()
{
    const std::optional<QByteArray> bytes = m_store.data(key);
    std::optional<SettingsRecord> record = bytes ? SettingsRecord::decode(*bytes) : std::nullopt;
    // A first start, in the interface's language; written only with the first change.
    if (!record)
        m_record = SettingsRecord::firstStart(g_englishDefaults);
    if (!bytes)
        return;
    if (!record) {
        // The defaults stand; remember the bytes so the first save can keep a copy.
        qCWarning(lcSettings, "settings record unreadable; the defaults are used and it is kept as \"%s\"",
                  qPrintable(unreadableKey));
        m_unreadable = *bytes;
        return;
    }
    // Nobody observes an object under construction: taking the record whole is all a load is.
    m_record = std::move(*record);
}

void Settings::save()
{
    const std::optional<QByteArray> bytes = m_record.encode();
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
void Settings::assign(T SettingsRecord::*field, const T &value, void (Settings::*changed)(Arg))
{
    if (m_record.*field == value)
        return;
    emit aboutToChange();
    m_record.*field = value;
    // Saved before observers run, so one that assigns in turn saves after this one.
    save();
    emit(this->*changed)(m_record.*field);
}

void Settings::assignKey(QString &field, const QString &value, KeyService service,
                         void (Settings::*changed)(const QString &))
{
    if (field == value) {
        // Typing the same key again is also a chance to store what the key store refused.
        retryKeyStorage();
        return;
    }
    emit aboutToChange();
    field = value;
    // Any edit of a key is also the moment to store the others that the key store refused.
    for (KeyService other : keyServices) {
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
    for (KeyService service : keyServices) {
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
    assign(&SettingsRecord::levelMode, value, &Settings::levelModeChanged);
}

void Settings::setPosition(DockPosition value)
{
    assign(&SettingsRecord::position, value, &Settings::positionChanged);
}

void Settings::setVariant(BarVariant value)
{
    assign(&SettingsRecord::variant, value, &Settings::variantChanged);
}

void Settings::setFontStyle(FontStyle value)
{
    assign(&SettingsRecord::fontStyle, value, &Settings::fontStyleChanged);
}

void Settings::setTheme(ColorTheme value)
{
    assign(&SettingsRecord::theme, value, &Settings::themeChanged);
}

void Settings::setLedSize(double value)
{
    assign(&SettingsRecord::ledSize, value, &Settings::ledSizeChanged);
}

void Settings::setSpeed(double value)
{
    assign(&SettingsRecord::speed, value, &Settings::speedChanged);
}

void Settings::setItems(const QList<WatchItem> &value)
{
    assign(&SettingsRecord::items, value, &Settings::itemsChanged);
}

void Settings::setStockProvider(StockProvider value)
{
    assign(&SettingsRecord::stockProvider, value, &Settings::stockProviderChanged);
}

void Settings::setMetalCurrency(const QString &value)
{
    assign(&SettingsRecord::metalCurrency, value, &Settings::metalCurrencyChanged);
}

void Settings::setMetalUnit(const QString &value)
{
    assign(&SettingsRecord::metalUnit, value, &Settings::metalUnitChanged);
}

void Settings::setShowInDock(bool value)
{
    assign(&SettingsRecord::showInDock, value, &Settings::showInDockChanged);
}

void Settings::setNewsSources(const QList<NewsSource> &value)
{
    assign(&SettingsRecord::newsSources, value, &Settings::newsSourcesChanged);
}

void Settings::setPushWindows(bool value)
{
    assign(&SettingsRecord::pushWindows, value, &Settings::pushWindowsChanged);
}

// The keys live in the key store, never in the record: they are written there and not saved.

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
