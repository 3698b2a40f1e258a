#pragma once

#include <QSize>
#include <QString>

#include <optional>

class UserDefaults;

/**
 * The size a resizable window was last left at, kept under its own key as "width×height"
 * (written "600x680"), apart from the settings record.
 */
class SavedWindowSize
{
public:
    /** The settings window's key. */
    static inline const QString settingsWindowKey = QStringLiteral("settingsWindowSize.v1");
    /** Sides outside [1, maxSide] are not kept: what is read back is then no size at all. */
    static constexpr int maxSide = 16384;

    SavedWindowSize(UserDefaults &store, QString key);

    /** The size last kept; none when nothing usable is stored. */
    std::optional<QSize> size() const;
    /** Keeps `size`; false when it is not a usable size or could not be written. */
    bool setSize(QSize size);

private:
    UserDefaults &m_store;
    QString m_key;
};
