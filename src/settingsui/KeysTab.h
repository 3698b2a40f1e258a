#pragma once

#include "settings/Keychain.h"
#include "types/SettingsEnums.h"
#include "settingsui/TutorialSheet.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <chrono>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class Settings;
class SettingsEnvironment;
class SourceHealth;

/**
 * The "Clés API" tab: where stock quotes come from and the three API keys, with a tutorial
 * sheet per service. A key is stored exactly as typed, followed by one forced refresh, when
 * the user pauses typing, leaves the field or presses Return. Under each field a line says how
 * the service last answered to the key, from the health model; the footer says where the keys
 * are really kept.
 */
class KeysTab : public QWidget
{
    Q_OBJECT
public:
    /** The pause in typing after which a key being typed is stored. */
    static constexpr std::chrono::milliseconds typingPause{800};

    /** Reads how the services fare from `health` (the program's model by default), which must outlive it. */
    KeysTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent = nullptr);
    KeysTab(Settings &settings, SettingsEnvironment &environment, SourceHealth &health, QWidget *parent = nullptr);

    /** The service whose tutorial sheet is open. */
    std::optional<KeyService> tutorial() const { return m_tutorial; }
    /** The open sheet, if any. */
    TutorialSheet *tutorialSheet() const { return m_sheet; }
    /** Opens the sheet of `service` (what each row's "Tutoriel" button does). */
    void showTutorial(KeyService service);

    static QString yahooNote();
    static QString closingNote();
    /** The footer while the keyring refuses a key: the keys last this session only. */
    static QString sessionOnlyNote();
    /** Said under a key just typed until its service answers. */
    static QString waitingNote();
    /** Shown under a key the keyring could not store. */
    static QString unavailableNote();

    /**
     * Brings this tab forward in the tab widget that holds it and puts the focus in the field of
     * `service`, its text selected, so a missing or refused key can be typed at once.
     */
    void focusKey(KeyService service);
    /** focusKey() on the keys tab inside `window`; false when it holds none. */
    static bool revealKey(QWidget *window, KeyService service);

    /** Stores the key being typed in the field of `service`, if any, and asks for a refresh. */
    bool commitKey(KeyService service);

private:
    QWidget *keyRow(KeyService service);
    void syncProvider();
    void syncStatus(KeyService service);
    void syncClosingNote();

    Settings &m_settings;
    SettingsEnvironment &m_environment;
    SourceHealth &m_health;
    std::optional<KeyService> m_tutorial;
    QPointer<TutorialSheet> m_sheet;
    QComboBox *m_provider = nullptr;
    QWidget *m_twelveDataRow = nullptr;
    QLabel *m_yahooNote = nullptr;
    QHash<KeyService, QLineEdit *> m_fields;
    QHash<KeyService, QTimer *> m_idle;
    QHash<KeyService, QLabel *> m_warnings;
    QHash<KeyService, QLabel *> m_statuses;
    QLabel *m_closingText = nullptr;
    /** Keys changed since their service last answered: their old status no longer holds. */
    QSet<KeyService> m_awaiting;
    /** Fields edited since their key was last stored. */
    QSet<KeyService> m_pending;
};
