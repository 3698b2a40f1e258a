#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class ContentTab;
class DisplayTab;
class KeysTab;
class QPushButton;
class QTabWidget;
class Settings;
class SettingsEnvironment;

/** What the version line shows; an absent entry falls back to "dev", "0" and a built-in notice. */
struct BundleInfo
{
    std::optional<QString> shortVersion;
    std::optional<QString> buildVersion;
    std::optional<QString> copyright;

    /** The running program's version, build number and notice. */
    static BundleInfo current();
};

/**
 * The settings window's content: the "Affichage", "Contenu" and "Clés API" tabs above
 * a footer with the version line and "Terminer", which (like Escape, and Return outside a
 * text field) closes the window.
 * 600 × 680 at first, resizable down to 520 × 420 (the tabs scroll); the window is hidden,
 * not destroyed, when closed.
 */
class SettingsView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int viewWidth = 600;
    static constexpr int viewHeight = 680;
    static constexpr int minimumViewWidth = 520;
    static constexpr int minimumViewHeight = 420;

    SettingsView(Settings &settings, SettingsEnvironment &environment, QWidget *parent = nullptr);

    /** "Version 1.0.0 (1) · …" */
    static QString aboutLine(const BundleInfo &info);
    static QString builtInNotice();

    QTabWidget *tabs() const { return m_tabs; }
    DisplayTab *displayTab() const { return m_display; }
    ContentTab *contentTab() const { return m_content; }
    KeysTab *keysTab() const { return m_keys; }

    QSize sizeHint() const override { return QSize(viewWidth, viewHeight); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QTabWidget *m_tabs = nullptr;
    DisplayTab *m_display = nullptr;
    ContentTab *m_content = nullptr;
    KeysTab *m_keys = nullptr;
    QPushButton *m_done = nullptr;
};
