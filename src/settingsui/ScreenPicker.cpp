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
    connect(&m_choice, &ScreenChoice::screensChanged, this, &ScreenPicker::rebuild);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &ScreenPicker::rebuild);
    // Queued: while the signal is delivered the screen is still in the list.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &ScreenPicker::rebuild, Qt::QueuedConnection);
}

void ScreenPicker::rebuild()
{
    QList<ScreenChoice::Screen> screens = m_choice.screens();
    if (screens.isEmpty()) {
        for (const QScreen *screen : QGuiApplication::screens())
            screens.append({screen->name(), QString()});
    }

    const QSignalBlocker blocker(this);
    clear();
    addItem(tr("Écran principal"), QString());
    const QString chosen = m_choice.screenName();
    bool chosenListed = chosen.isEmpty();
    for (const ScreenChoice::Screen &screen : std::as_const(screens)) {
        if (screen.name.isEmpty() || findData(screen.name) >= 0)
            continue;
        // Descriptions often end with the name already: "Dell U2720Q (DP-2)".
        const bool described = !screen.description.isEmpty() && screen.description != screen.name;
        addItem(described && !screen.description.contains(screen.name)
                    ? tr("%1 — %2").arg(screen.name, screen.description)
                    : (described ? screen.description : screen.name),
                screen.name);
        chosenListed = chosenListed || screen.name == chosen;
    }
    if (!chosenListed)
        addItem(tr("%1 (débranché)").arg(chosen), chosen);
    setCurrentIndex(std::max(findData(chosen), 0));
}
