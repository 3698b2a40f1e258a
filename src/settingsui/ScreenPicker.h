#pragma once

#include <QComboBox>

class ScreenChoice;

/**
 * The "Écran" picker: "Écran principal" and every connected screen by name, written to the
 * screen choice at once. Where the band's surface names the screens itself (a layer-shell
 * compositor's outputs), those are listed, with their descriptions; otherwise Qt's screens.
 * The list follows screens being plugged in and out; a chosen screen that is unplugged stays
 * listed (marked as such) so the choice is not lost from view.
 */
class ScreenPicker : public QComboBox
{
    Q_OBJECT
public:
    explicit ScreenPicker(ScreenChoice &choice, QWidget *parent = nullptr);

private:
    void rebuild();

    ScreenChoice &m_choice;
};
