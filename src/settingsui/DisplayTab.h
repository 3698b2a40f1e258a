#pragma once

#include <QWidget>

class WindowHandlingStatus;
class FormSection;
class MotionChoice;
class QComboBox;
class QLabel;
class QSlider;
class Settings;
class SettingsEnvironment;
class ToggleSwitch;

/**
 * The "Affichage" tab: where the band sits and how it looks. Every control writes its
 * setting at once and follows changes made elsewhere (the tray menu's level items).
 */
class DisplayTab : public QWidget
{
    Q_OBJECT
public:
    DisplayTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent = nullptr);

protected:
    /** The autostart entry may have changed outside: it is read again each time. */
    void showEvent(QShowEvent *event) override;

private:
    void sync();
    void syncAutostart();
    void addMotionRow(FormSection *section, MotionChoice &choice);
    static QWidget *addSliderRow(FormSection *section, const QString &label, QSlider *slider, QLabel *value);

    Settings &m_settings;
    ToggleSwitch *m_showInDock = nullptr;
    ToggleSwitch *m_autostart = nullptr;
    QComboBox *m_levelMode = nullptr;
    QComboBox *m_position = nullptr;
    QWidget *m_pushRow = nullptr;
    ToggleSwitch *m_pushWindows = nullptr;
    QWidget *m_windowHandlingRow = nullptr;
    WindowHandlingStatus *m_windowHandling = nullptr;
    QComboBox *m_variant = nullptr;
    QComboBox *m_fontStyle = nullptr;
    QComboBox *m_theme = nullptr;
    QSlider *m_ledSize = nullptr;
    QLabel *m_ledSizeValue = nullptr;
    QSlider *m_speed = nullptr;
    QLabel *m_speedValue = nullptr;
    QComboBox *m_motion = nullptr;
};
