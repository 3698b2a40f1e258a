#pragma once

#include "settings/Keychain.h"
#include "settings/KeyStore.h"
#include "types/NewsSource.h"
#include "types/SettingsEnums.h"
#include "types/WatchItem.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

class UserDefaults;

/**
 * Every choice of the user. Each field has its own change signal. An assignment that
 * really changes a value emits `objectWillChange`, takes the value, emits the field's
 * signal (observers read the new value) and, for a persisted field, rewrites the whole
 * record in the user-defaults store at once; an assignment of the current value does
 * nothing. A record that could not be written is written again with the next change.
 *
 * Assigning a key writes it to the key store. When that fails, the key is still used for
 * the session and writing it is tried again by retryKeyStorage() and the next key edit.
 */
class Settings : public QObject
{
    Q_OBJECT
public:
    /** The key of the record in the user-defaults store. */
    static inline const QString key = QStringLiteral("DotbannerSettings.v1");
    /** Where a record that could not be read is kept before it is first overwritten. */
    static inline const QString unreadableKey = QStringLiteral("DotbannerSettings.v1.unreadable");

    /** The process-wide instance, loaded from UserDefaults::standard() on first use. */
    static Settings &shared();

    /** Loads the record from `store` (not owned) and the keys from the keyring. */
    explicit Settings(UserDefaults &store, QObject *parent = nullptr);
    /** Loads the record from `store` and the keys from `keys`; neither is owned. */
    Settings(UserDefaults &store, KeyStore &keys, QObject *parent = nullptr);

    /** The default watch list, built once per process. */
    static const QList<WatchItem> &defaultItems();

    WindowLevelMode levelMode() const { return m_levelMode; }
    DockPosition position() const { return m_position; }
    BarVariant variant() const { return m_variant; }
    FontStyle fontStyle() const { return m_fontStyle; }
    ColorTheme theme() const { return m_theme; }
    double ledSize() const { return m_ledSize; }
    double speed() const { return m_speed; }
    QList<WatchItem> items() const { return m_items; }
    StockProvider stockProvider() const { return m_stockProvider; }
    QString metalCurrency() const { return m_metalCurrency; }
    QString metalUnit() const { return m_metalUnit; }
    bool showInDock() const { return m_showInDock; }
    QList<NewsSource> newsSources() const { return m_newsSources; }
    bool pushWindows() const { return m_pushWindows; }
    QString stockKey() const { return m_stockKey; }
    QString weatherKey() const { return m_weatherKey; }
    QString metalsKey() const { return m_metalsKey; }

    QString apiKey(KeyService service) const;
    /** False while the key of `service` is held in memory only because the key store failed. */
    bool isKeyStored(KeyService service) const { return !m_unstoredKeys.contains(service); }
    /** Tries again to write every key the key store refused. Cheap when there is none. */
    void retryKeyStorage();

    QString effectiveWeatherKey() const;
    QString effectiveMetalsKey() const;

    void setLevelMode(WindowLevelMode value);
    void setPosition(DockPosition value);
    void setVariant(BarVariant value);
    void setFontStyle(FontStyle value);
    void setTheme(ColorTheme value);
    void setLedSize(double value);
    void setSpeed(double value);
    void setItems(const QList<WatchItem> &value);
    void setStockProvider(StockProvider value);
    void setMetalCurrency(const QString &value);
    void setMetalUnit(const QString &value);
    void setShowInDock(bool value);
    void setNewsSources(const QList<NewsSource> &value);
    void setPushWindows(bool value);
    void setStockKey(const QString &value);
    void setWeatherKey(const QString &value);
    void setMetalsKey(const QString &value);

signals:
    /** Emitted before any published field takes its new value. */
    void objectWillChange();

    void levelModeChanged(DotbannerEnums::WindowLevelMode value);
    void positionChanged(DotbannerEnums::DockPosition value);
    void variantChanged(DotbannerEnums::BarVariant value);
    void fontStyleChanged(DotbannerEnums::FontStyle value);
    void themeChanged(DotbannerEnums::ColorTheme value);
    void ledSizeChanged(double value);
    void speedChanged(double value);
    void itemsChanged(const QList<WatchItem> &value);
    void stockProviderChanged(DotbannerEnums::StockProvider value);
    void metalCurrencyChanged(const QString &value);
    void metalUnitChanged(const QString &value);
    void showInDockChanged(bool value);
    void newsSourcesChanged(const QList<NewsSource> &value);
    void pushWindowsChanged(bool value);
    void stockKeyChanged(const QString &value);
    void weatherKeyChanged(const QString &value);
    void metalsKeyChanged(const QString &value);
    /** Whether the key of `service` is in the key store changed (see isKeyStored()). */
    void keyStorageChanged(KeyService service, bool stored);

private:
    void load();
    void save();
    template<typename T, typename Arg>
    void assign(T &field, const T &value, void (Settings::*changed)(Arg));
    void assignKey(QString &field, const QString &value, KeyService service,
                   void (Settings::*changed)(const QString &));
    void storeKey(KeyService service);

    UserDefaults &m_store;
    KeyStore &m_keys;
    QSet<KeyService> m_unstoredKeys;
    bool m_loading = false;
    /** The stored bytes that failed to decode, until a copy of them is kept. */
    std::optional<QByteArray> m_unreadable;

    WindowLevelMode m_levelMode = WindowLevelMode::front;
    DockPosition m_position = DockPosition::top;
    BarVariant m_variant = BarVariant::thin;
    FontStyle m_fontStyle = FontStyle::pixelBold;
    ColorTheme m_theme = ColorTheme::greenRed;
    double m_ledSize = 5.0;
    double m_speed = 3.0;
    QList<WatchItem> m_items;
    StockProvider m_stockProvider = StockProvider::yahoo;
    QString m_metalCurrency = QStringLiteral("EUR");
    QString m_metalUnit = QStringLiteral("toz");
    bool m_showInDock = false;
    QList<NewsSource> m_newsSources;
    bool m_pushWindows = true;
    QString m_stockKey;
    QString m_weatherKey;
    QString m_metalsKey;
};
