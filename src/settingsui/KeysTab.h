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

/**
 * The "Clés API" tab: where stock quotes come from and the three API keys, with a tutorial
 * sheet per service. A key is stored exactly as typed, followed by one forced refresh, when
 * the user pauses typing, leaves the field or presses Return.
 */
class KeysTab : public QWidget
{
    Q_OBJECT
public:
    /** The pause in typing after which a key being typed is stored. */
    static constexpr std::chrono::milliseconds typingPause{800};

    KeysTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent = nullptr);

    /** The service whose tutorial sheet is open. */
    std::optional<KeyService> tutorial() const { return m_tutorial; }
    /** The open sheet, if any. */
    TutorialSheet *tutorialSheet() const { return m_sheet; }
    /** Opens the sheet of `service` (what each row's "Tutoriel" button does). */
    void showTutorial(KeyService service);

    static QString yahooNote();
    static QString closingNote();
    /** Shown under a key the keyring could not store. */
    static QString unavailableNote();

    /** Stores the key being typed in the field of `service`, if any, and asks for a refresh. */
    bool commitKey(KeyService service);

private:
    QWidget *keyRow(KeyService service);
    void syncProvider();

    Settings &m_settings;
    SettingsEnvironment &m_environment;
    std::optional<KeyService> m_tutorial;
    QPointer<TutorialSheet> m_sheet;
    QComboBox *m_provider = nullptr;
    QWidget *m_twelveDataRow = nullptr;
    QLabel *m_yahooNote = nullptr;
    QHash<KeyService, QLineEdit *> m_fields;
    QHash<KeyService, QTimer *> m_idle;
    QHash<KeyService, QLabel *> m_warnings;
    /** Fields edited since their key was last stored. */
    QSet<KeyService> m_pending;
};
