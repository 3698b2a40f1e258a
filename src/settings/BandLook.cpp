#include "settings/BandLook.h"

#include "settings/UserDefaults.h"

BandLook::BandLook(UserDefaults &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    if (const auto bytes = m_store.data(upDownKey))
        m_upDown = parse(*bytes).value_or(UpDownColours::greenRed);
    m_sparklines = m_store.boolValue(sparklinesKey);
}

BandLook &BandLook::shared()
{
    static BandLook *const instance = new BandLook(UserDefaults::standard());
    return *instance;
}

bool BandLook::setUpDownColours(UpDownColours colours)
{
    if (colours == m_upDown)
        return true;
    // The choice holds for this run even when the file cannot be written.
    m_upDown = colours;
    const bool written = m_store.set(upDownKey, name(colours));
    emit upDownColoursChanged(m_upDown);
    return written;
}

bool BandLook::setSparklines(bool on)
{
    if (on == m_sparklines)
        return true;
    m_sparklines = on;
    const bool written = m_store.setBool(sparklinesKey, on);
    emit sparklinesChanged(m_sparklines);
    return written;
}

QByteArray BandLook::name(UpDownColours colours)
{
    switch (colours) {
    case UpDownColours::blueOrange:
        return QByteArrayLiteral("blueOrange");
    case UpDownColours::redUp:
        return QByteArrayLiteral("redUp");
    case UpDownColours::greenRed:
        break;
    }
    return QByteArrayLiteral("greenRed");
}

std::optional<UpDownColours> BandLook::parse(const QByteArray &bytes)
{
    // A final line break, as an editor leaves it, is forgiven; nothing else is.
    const QByteArray word = bytes.endsWith('\n') ? bytes.chopped(1) : bytes;
    for (const UpDownColours colours : {UpDownColours::greenRed, UpDownColours::blueOrange, UpDownColours::redUp}) {
        if (word == name(colours))
            return colours;
    }
    return std::nullopt;
}
