#pragma once

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

    explicit ScreenChoice(UserDefaults &store, QObject *parent = nullptr);

    /** The choice of the running process, on UserDefaults::standard(). */
    static ScreenChoice &shared();

    /** The chosen screen's name; empty for the primary screen. */
    QString screenName() const { return m_name; }
    /** Stores `name` (trimmed; empty for the primary screen) and announces it when it changed. */
    void setScreenName(const QString &name);

signals:
    void screenNameChanged(const QString &name);

private:
    UserDefaults &m_store;
    QString m_name;
};
