#include "settingsui/BandLookRows.h"

#include "settings/BandLook.h"
#include "settingsui/FormSection.h"
#include "settingsui/ToggleSwitch.h"

#include <QComboBox>
#include <QSignalBlocker>

BandLookRows::BandLookRows(FormSection *section, BandLook &look)
    : QObject(section)
    , m_look(look)
{
    m_upDown = new QComboBox();
    m_upDown->setObjectName(QStringLiteral("upDownColoursPicker"));
    for (const UpDownColours colours : {UpDownColours::greenRed, UpDownColours::blueOrange, UpDownColours::redUp})
        m_upDown->addItem(title(colours), static_cast<int>(colours));
    section->addRow(tr("Hausse et baisse"), m_upDown);
    m_sparklines = new ToggleSwitch();
    m_sparklines->setObjectName(QStringLiteral("sparklinesSwitch"));
    section->addRow(tr("Graphique de la journée après chaque action"), m_sparklines);
    sync();

    // Only what the user does is stored; updates from the look are blocked in sync().
    connect(m_upDown, &QComboBox::currentIndexChanged, this,
            [this] { m_look.setUpDownColours(static_cast<UpDownColours>(m_upDown->currentData().toInt())); });
    connect(m_sparklines, &ToggleSwitch::toggled, this, [this](bool on) { m_look.setSparklines(on); });
    connect(&m_look, &BandLook::upDownColoursChanged, this, &BandLookRows::sync);
    connect(&m_look, &BandLook::sparklinesChanged, this, &BandLookRows::sync);
}

QString BandLookRows::title(UpDownColours colours)
{
    switch (colours) {
    case UpDownColours::blueOrange:
        return tr("Bleu / orange");
    case UpDownColours::redUp:
        return tr("Rouge en hausse, vert en baisse");
    case UpDownColours::greenRed:
        break;
    }
    return tr("Vert en hausse, rouge en baisse");
}

void BandLookRows::sync()
{
    {
        const QSignalBlocker blocker(m_upDown);
        m_upDown->setCurrentIndex(m_upDown->findData(static_cast<int>(m_look.upDownColours())));
    }
    const QSignalBlocker blocker(m_sparklines);
    m_sparklines->setChecked(m_look.sparklines());
}
