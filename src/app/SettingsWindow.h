#pragma once

#include <QMainWindow>

class QLabel;
class QMenu;

/**
 * The window around the settings view: "Dotbanner, réglages", closable but neither
 * resizable nor minimisable, sized by its content. Closing it only hides it. While the
 * program shows itself in the taskbar the window carries a menu bar with the "Dotbanner"
 * menu (filled by its owner each time it opens) and the "Édition" menu.
 */
class SettingsWindow : public QMainWindow
{
    Q_OBJECT
public:
    /** Takes `content` over as the central widget. */
    explicit SettingsWindow(QWidget *content, QWidget *parent = nullptr);

    /** The "Dotbanner" menu of the menu bar; empty until it opens. */
    QMenu *applicationMenu() const { return m_applicationMenu; }
    QMenu *editMenu() const { return m_editMenu; }

    /** Shows or hides the menu bar; a shown window is centred again at its new height. */
    void setMenuBarShown(bool shown);

    /** A line above the settings, for what the user must know first; hidden when empty. */
    void setNotice(const QString &text);
    QString notice() const;

    /** Places the window in the middle of the available area of its screen. */
    void centre();

    /** Fills `menu` with "Annuler", "Rétablir", "Couper", "Copier", "Coller", "Tout sélectionner". */
    static void fillEditMenu(QMenu *menu);

private:
    QMenu *m_applicationMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QLabel *m_notice = nullptr;
};
