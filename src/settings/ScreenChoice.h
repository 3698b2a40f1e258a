#pragma once

#include <QList>
#include <QObject>
#include <QString>

class UserDefaults;

/**
 * The screen the band is placed on, by the name the window system gives it ("HDMI-1");
 * empty for the primary screen. Kept under its own key, apart from the settings record,
 * so the record's format does not change.
 */
class ScreenChoice : public QObject
{
    Q_OBJECT
public:
    static inline const QString key = QStringLiteral("bandScreen.v1");
    /** Longest name kept; a longer stored value reads as the primary screen. */
    static constexpr qsizetype maxNameLength = 256;

    /** A screen the band can go on, as the compositor that places the band names it. */
    struct Screen
    {
        QString name;        ///< "DP-2", what the choice stores
        QString description; ///< "Dell Inc. U2720Q (DP-2)"; may be empty
        friend bool operator==(const Screen &, const Screen &) = default;
    };

    explicit ScreenChoice(UserDefaults &store, QObject *parent = nullptr);

    /** The choice of the running process, on UserDefaults::standard(). */
    static ScreenChoice &shared();

    /** The chosen screen's name; empty for the primary screen. */
    QString screenName() const { return m_name; }
    /** Stores `name` (trimmed; empty for the primary screen) and announces it when it changed. */
    void setScreenName(const QString &name);

    /**
     * The screens the band can go on, where the band's own surface knows them under other
     * names than Qt's windows (a layer-shell compositor's outputs, while Qt's windows go
     * through XWayland); empty when Qt's screens are the ones to offer. Not stored.
     */
    QList<Screen> screens() const { return m_screens; }
    void setScreens(const QList<Screen> &screens);

signals:
    void screenNameChanged(const QString &name);
    void screensChanged();

private:
    UserDefaults &m_store;
    QString m_name;
    QList<Screen> m_screens;
};
