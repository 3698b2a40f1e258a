#include "settingsui/ToggleSwitchAccessible.h"

#include "settingsui/ToggleSwitch.h"

#include <mutex>

namespace {

QAccessibleInterface *describe(const QString &className, QObject *object)
{
    if (className == QLatin1String("ToggleSwitch")) {
        if (auto *toggle = qobject_cast<ToggleSwitch *>(object))
            return new ToggleSwitchAccessible(toggle);
    }
    return nullptr;
}

} // namespace

ToggleSwitchAccessible::ToggleSwitchAccessible(ToggleSwitch *toggle)
    : QAccessibleWidget(toggle, QAccessible::CheckBox)
{}

void ToggleSwitchAccessible::install()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(describe); });
}

ToggleSwitch *ToggleSwitchAccessible::toggle() const
{
    return static_cast<ToggleSwitch *>(widget());
}

QAccessible::State ToggleSwitchAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = toggle()->isChecked();
    return state;
}

QStringList ToggleSwitchAccessible::actionNames() const
{
    return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
}

void ToggleSwitchAccessible::doAction(const QString &actionName)
{
    if (actionName == toggleAction() || actionName == pressAction())
        toggle()->click();
    else
        QAccessibleWidget::doAction(actionName);
}
