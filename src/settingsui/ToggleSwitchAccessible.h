#pragma once

#include <QAccessibleWidget>

class ToggleSwitch;

/**
 * What a screen reader learns of a ToggleSwitch: a check box, checked or not, named by its
 * row, that toggles on its press action.
 */
class ToggleSwitchAccessible : public QAccessibleWidget
{
public:
    explicit ToggleSwitchAccessible(ToggleSwitch *toggle);

    /** Makes Qt describe every ToggleSwitch with this class; once per process is enough. */
    static void install();

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    ToggleSwitch *toggle() const;
};
