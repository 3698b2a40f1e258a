#pragma once

#include "settings/Keychain.h"

#include <QDialog>

class SettingsEnvironment;

/**
 * How to get a free key for one service: four numbered steps, a note, "Fermer" (also
 * Escape) and a button that opens the service's site while the sheet stays open.
 */
class TutorialSheet : public QDialog
{
    Q_OBJECT
public:
    static constexpr int sheetWidth = 500;

    TutorialSheet(KeyService service, SettingsEnvironment &environment, QWidget *parent = nullptr);

    KeyService service() const { return m_service; }

private:
    KeyService m_service;
};
