#pragma once

#include "settings/Keychain.h"
#include "settings/SettingsEnums.h"
#include "settingsui/TutorialSheet.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class Settings;
class SettingsEnvironment;

/**
 * The "Clés API" tab: where stock quotes come from and the three API keys, each stored
 * exactly as typed at every edit, with a tutorial sheet per service.
 */
class KeysTab : public QWidget
{
    Q_OBJECT
public:
    KeysTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent = nullptr);

    /** The service whose tutorial sheet is open. */
    std::optional<KeyService> tutorial() const { return m_tutorial; }
    /** The open sheet, if any. */
    TutorialSheet *tutorialSheet() const { return m_sheet; }
    /** Opens the sheet of `service` (what each row's "Tutoriel" button does). */
    void showTutorial(KeyService service);

    static QString yahooNote();
    static QString closingNote();

private:
    QWidget *keyRow(KeyService service);
    void syncProvider();

    Settings &m_settings;
    SettingsEnvironment &m_environment;
    StockProvider m_lastProvider;
    std::optional<KeyService> m_tutorial;
    QPointer<TutorialSheet> m_sheet;
    QComboBox *m_provider = nullptr;
    QWidget *m_twelveDataRow = nullptr;
    QLabel *m_yahooNote = nullptr;
    QHash<KeyService, QLineEdit *> m_fields;
};
