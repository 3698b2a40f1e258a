#pragma once

#include "settings/Keychain.h"
#include "settings/NewsSource.h"
#include "settings/SettingsEnums.h"
#include "settings/WatchItem.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class UserDefaults;

/**
 * Every choice of the user. Each field has its own change signal, and every
 * assignment first emits `objectWillChange`. Assigning a persisted field rewrites the
 * whole record in the user-defaults store at once (also when the value is unchanged);
 * assigning a key writes it to the keyring. Observers that need the new value connect
 * with Qt::QueuedConnection.
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

private:
    void load();
    void save();
    template<typename T, typename Arg>
    void assign(T &field, const T &value, void (Settings::*changed)(Arg));
    void assignKey(QString &field, const QString &value, KeyService service,
                   void (Settings::*changed)(const QString &));

    UserDefaults &m_store;
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
