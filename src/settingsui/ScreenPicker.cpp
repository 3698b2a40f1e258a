#include "settingsui/ScreenPicker.h"

#include "settings/ScreenChoice.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

ScreenPicker::ScreenPicker(ScreenChoice &choice, QWidget *parent)
    : QComboBox(parent)
    , m_choice(choice)
{
    setObjectName(QStringLiteral("screenPicker"));
    rebuild();
    connect(this, &QComboBox::currentIndexChanged, this, [this] { m_choice.setScreenName(currentData().toString()); });
    connect(&m_choice, &ScreenChoice::screenNameChanged, this, &ScreenPicker::rebuild);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &ScreenPicker::rebuild);
    // Queued: while the signal is delivered the screen is still in the list.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &ScreenPicker::rebuild, Qt::QueuedConnection);
}

void ScreenPicker::rebuild()
{
    const QSignalBlocker blocker(this);
    clear();
    addItem(tr("Écran principal"), QString());
    const QString chosen = m_choice.screenName();
    bool chosenListed = chosen.isEmpty();
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QString name = screen->name();
        if (name.isEmpty() || findData(name) >= 0)
            continue;
        addItem(name, name);
        chosenListed = chosenListed || name == chosen;
    }
    if (!chosenListed)
        addItem(tr("%1 (débranché)").arg(chosen), chosen);
    setCurrentIndex(std::max(findData(chosen), 0));
}
