#pragma once

#include <QMainWindow>
#include <QMargins>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class SavedWindowSize;

/**
 * The window around the settings view: "Dotbanner, réglages", closable and resizable down to
 * its content's minimum (the tabs scroll), not minimisable. It opens in the middle of the work
 * area the band leaves, at the size it was last left at when that fits. Closing it only hides
 * it. While the program shows itself in the taskbar the window carries a menu bar with the
 * "Dotbanner" menu (filled by its owner each time it opens) and the "Édition" menu.
 */
class SettingsWindow : public QMainWindow
{
    Q_OBJECT
public:
    /** Takes `content` over as the central widget. */
    explicit SettingsWindow(QWidget *content, QWidget *parent = nullptr);
    ~SettingsWindow() override;

    /** The "Dotbanner" menu of the menu bar; empty until it opens. */
    QMenu *applicationMenu() const { return m_applicationMenu; }
    QMenu *editMenu() const { return m_editMenu; }

    /** Shows or hides the menu bar; a shown window is centred again at its new height. */
    void setMenuBarShown(bool shown);

    /** A line above the settings, for what the user must know first; hidden when empty. */
    void setNotice(const QString &text);
    QString notice() const;

    /**
     * Places the window in the middle of the work area of its screen that the band leaves,
     * at its kept size shrunk to fit there (never below its minimum).
     */
    void centre();

    /** The band's frame in logical screen coordinates, which the window opens clear of. */
    void setBandFrame(std::function<QRect()> bandFrame) { m_bandFrame = std::move(bandFrame); }
    /** Where the window's size is kept when it closes; none keeps nothing. */
    void setSavedSize(std::unique_ptr<SavedWindowSize> saved);

    /** What the frame adds around the window until the window manager says: a title bar and edges. */
    static constexpr QMargins assumedFrame{4, 36, 4, 4};

    /** Fills `menu` with "Annuler", "Rétablir", "Couper", "Copier", "Coller", "Tout sélectionner". */
    static void fillEditMenu(QMenu *menu);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    std::function<QRect()> m_bandFrame;
    std::unique_ptr<SavedWindowSize> m_savedSize;
    QMenu *m_applicationMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QLabel *m_notice = nullptr;
};
