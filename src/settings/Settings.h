#pragma once

#include "settings/KeyStore.h"
#include "settings/SettingsRecord.h"
#include "types/KeyService.h"
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
 * Every choice of the user. The persisted choices live in one SettingsRecord, which holds
 * their defaults and is what the user-defaults store keeps; the API keys live beside it.
 * Each field has its own change signal. An assignment that really changes a value emits
 * `aboutToChange`, takes the value, rewrites the whole record in the store for a persisted
 * field, then emits the field's signal (observers read the new value); an assignment of the
 * current value does nothing. A record that could not be written is written again with the
 * next change.
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

    /**
     * The process-wide instance, loaded from UserDefaults::standard() on first use, its keys
     * in the user's keyring (KeyStore::system()).
     */
    static Settings &shared();

    /**
     * Whether a first start (no record yet, or one that cannot be read) takes the defaults of an
     * English interface; set once by the interface's language before any Settings is made. A
     * stored record is never touched by it.
     */
    static void setEnglishDefaults(bool english);
    static bool englishDefaults();

    /** Loads the record from `store` and the keys from `keys`; neither is owned. */
    Settings(UserDefaults &store, KeyStore &keys, QObject *parent = nullptr);

    WindowLevelMode levelMode() const { return m_record.levelMode; }
    DockPosition position() const { return m_record.position; }
    BarVariant variant() const { return m_record.variant; }
    FontStyle fontStyle() const { return m_record.fontStyle; }
    ColorTheme theme() const { return m_record.theme; }
    double ledSize() const { return m_record.ledSize; }
    double speed() const { return m_record.speed; }
    QList<WatchItem> items() const { return m_record.items; }
    StockProvider stockProvider() const { return m_record.stockProvider; }
    QString metalCurrency() const { return m_record.metalCurrency; }
    QString metalUnit() const { return m_record.metalUnit; }
    bool showInDock() const { return m_record.showInDock; }
    QList<NewsSource> newsSources() const { return m_record.newsSources; }
    bool pushWindows() const { return m_record.pushWindows; }
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
    void aboutToChange();

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
    void assign(T SettingsRecord::*field, const T &value, void (Settings::*changed)(Arg));
    void assignKey(QString &field, const QString &value, KeyService service,
                   void (Settings::*changed)(const QString &));
    void storeKey(KeyService service);

    UserDefaults &m_store;
    KeyStore &m_keys;
    QSet<KeyService> m_unstoredKeys;
    /** The stored bytes that failed to decode, until a copy of them is kept. */
    std::optional<QByteArray> m_unreadable;

    SettingsRecord m_record;
    QString m_stockKey;
    QString m_weatherKey;
    QString m_metalsKey;
};
