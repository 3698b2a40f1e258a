#pragma once

#include <QWidget>

/**
 * The program's entry in the taskbar, for users who want one (the "showInDock" setting):
 * a minimised window named "Dotbanner" with the LED icon. Activating it from the taskbar,
 * which would restore it, minimises it again and emits activated() instead, so the entry
 * behaves as a launcher button that opens the settings window.
 */
class TaskbarEntry : public QWidget
{
    Q_OBJECT
public:
    explicit TaskbarEntry(QWidget *parent = nullptr);

    /** Shows the entry in the taskbar (minimised) or takes it out. */
    void setPresent(bool present);

signals:
    /** The user activated the entry. */
    void activated();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void minimiseAgain();

    bool m_present = false;
};
