#pragma once

#include <QTimer>
#include <QWidget>

#include <chrono>

class QLabel;
class QPushButton;
class SettingsEnvironment;

/**
 * Whether the program may move other applications' windows, which pushing windows
 * away from the band needs. Re-read every second while shown, so a permission granted
 * or revoked elsewhere shows within a second.
 */
class AccessibilityStatus : public QWidget
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds pollInterval{1000};

    explicit AccessibilityStatus(SettingsEnvironment &environment, QWidget *parent = nullptr);

    bool isTrusted() const { return m_trusted; }
    /** Whether the poll timer runs (it does only while the row is shown). */
    bool isPolling() const { return m_timer.isActive(); }

    static QString grantedText();
    static QString missingText();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void poll();
    void render();

    SettingsEnvironment &m_environment;
    bool m_trusted = false;
    QTimer m_timer;
    QLabel *m_icon = nullptr;
    QLabel *m_text = nullptr;
    QPushButton *m_open = nullptr;
    QLabel *m_mode = nullptr;
};
