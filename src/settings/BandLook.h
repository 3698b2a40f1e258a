#pragma once

#include "types/UpDownColours.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

class UserDefaults;

/**
 * The band's look beyond the settings record: the colours of rises and falls and whether
 * stocks get a small chart of their day. Each is kept under a key of its own, so the record's
 * format does not change: "greenRed", "blueOrange" or "redUp", and "true" or "false". A
 * stored value that is not one of these reads as the default (green/red, no charts).
 */
class BandLook : public QObject
{
    Q_OBJECT
public:
    static inline const QString upDownKey = QStringLiteral("bandUpDownColours.v1");
    static inline const QString sparklinesKey = QStringLiteral("bandSparklines.v1");

    explicit BandLook(UserDefaults &store, QObject *parent = nullptr);

    /** The look of the running process, on UserDefaults::standard(). */
    static BandLook &shared();

    UpDownColours upDownColours() const { return m_upDown; }
    /** Stores `colours` and announces them when they changed; false when the file could not be written. */
    bool setUpDownColours(UpDownColours colours);

    bool sparklines() const { return m_sparklines; }
    /** Stores `on` and announces it when it changed; false when the file could not be written. */
    bool setSparklines(bool on);

    /** The stored name of `colours`. */
    static QByteArray name(UpDownColours colours);
    /** The colours a stored name stands for; nothing for anything else. */
    static std::optional<UpDownColours> parse(const QByteArray &bytes);

signals:
    void upDownColoursChanged(UpDownColours colours);
    void sparklinesChanged(bool on);

private:
    UserDefaults &m_store;
    UpDownColours m_upDown = UpDownColours::greenRed;
    bool m_sparklines = false;
};
