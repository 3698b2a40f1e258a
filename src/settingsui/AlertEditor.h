#pragma once

#include "settingsui/AlertThresholds.h"
#include "types/WatchItem.h"

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class SettingsEnvironment;
class WatchItemRow;

/**
 * The price alert of one watch item, edited in a small dialog: a price to rise to, a price to
 * fall to, and a day's move in percent, each left empty for none. A field that is not a
 * number of zero or more (a comma may stand for the decimal point) keeps the dialog open and
 * says so.
 */
class AlertEditor : public QDialog
{
    Q_OBJECT
public:
    /** Longest text a field takes. */
    static constexpr int maxFieldLength = 24;

    AlertEditor(const QString &label, const AlertThresholds &current, QWidget *parent = nullptr);

    /** The thresholds as the fields stand; nothing while one of them is not a number. */
    std::optional<AlertThresholds> thresholds() const;

    /**
     * Adds to `row` the button that opens the editor for `item`, when the environment edits
     * alerts and the item can carry one (a quote or a metal); the choice is stored through
     * the environment.
     */
    static void attach(WatchItemRow *row, const WatchItem &item, SettingsEnvironment &environment);

    /** A field's value: nothing for an empty field; an error (outer nothing) for anything but a number ≥ 0. */
    static std::optional<std::optional<double>> parseField(const QString &text);
    /** A threshold as a field shows it. */
    static QString fieldText(const std::optional<double> &value);

    void accept() override;

private:
    QLineEdit *addField(const QString &objectName, const std::optional<double> &value);

    QLineEdit *m_above = nullptr;
    QLineEdit *m_below = nullptr;
    QLineEdit *m_move = nullptr;
    QLabel *m_error = nullptr;
};
