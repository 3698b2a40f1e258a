#pragma once

#include "settingsui/BandMode.h"

#include <QTimer>
#include <QWidget>

#include <chrono>

class QLabel;
class SettingsEnvironment;

/**
 * The row under "Repousser les fenêtres…" saying what is true on this desktop: whether windows
 * can be kept clear of the band, and why not when they cannot. Re-read every second while shown,
 * so a window manager started or replaced meanwhile shows within a second.
 */
class WindowHandlingStatus : public QWidget
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds pollInterval{1000};

    explicit WindowHandlingStatus(SettingsEnvironment &environment, QWidget *parent = nullptr);

    BandMode mode() const { return m_mode; }
    /** Whether the poll timer runs (it does only while the row is shown). */
    bool isPolling() const { return m_timer.isActive(); }

    /** What the row says for `mode`. */
    static QString text(BandMode mode);
    /** Whether windows are kept clear of the band in `mode`. */
    static bool keepsWindowsClear(BandMode mode);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void poll();
    void render();

    SettingsEnvironment &m_environment;
    BandMode m_mode;
    QTimer m_timer;
    QLabel *m_icon = nullptr;
    QLabel *m_text = nullptr;
};
