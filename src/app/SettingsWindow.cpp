#include "app/SettingsWindow.h"

#include "app/LedIcon.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

namespace {

/**
 * Runs an editing command on the focused widget: its slot of that name when it has one
 * (line and text edits), otherwise the standard key press, which every editable widget knows.
 */
void editFocused(const char *slot, QKeySequence::StandardKey key)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        return;
    if (target->metaObject()->indexOfSlot(QByteArray(slot) + "()") >= 0) {
        QMetaObject::invokeMethod(target, slot);
        return;
    }
    const QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
    if (bindings.isEmpty())
        return;
    const QKeyCombination combination = bindings.first()[0];
    QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
    QKeyEvent release(QEvent::KeyRelease, combination.key(), combination.keyboardModifiers());
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

} // namespace

SettingsWindow::SettingsWindow(QWidget *content, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(QStringLiteral("Dotbanner, réglages"));
    setWindowIcon(LedIcon::icon());
    setCentralWidget(content);

    m_applicationMenu = menuBar()->addMenu(QStringLiteral("Dotbanner"));
    m_applicationMenu->setObjectName(QStringLiteral("applicationMenu"));
    m_editMenu = menuBar()->addMenu(QStringLiteral("Édition"));
    m_editMenu->setObjectName(QStringLiteral("editMenu"));
    fillEditMenu(m_editMenu);
    menuBar()->hide();

    // The window takes its content's size and keeps it; the menu bar adds its own height.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void SettingsWindow::setMenuBarShown(bool shown)
{
    menuBar()->setVisible(shown);
}

void SettingsWindow::centre()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    adjustSize();
    move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameSize(), screen->availableGeometry()).topLeft());
}

void SettingsWindow::fillEditMenu(QMenu *menu)
{
    struct Entry
    {
        const char *title;
        QKeySequence::StandardKey key;
        QKeySequence shortcut;
        const char *slot;
    };
    const QList<Entry> entries = {
        {"Annuler", QKeySequence::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z), "undo"},
        {"Rétablir", QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "redo"},
        {nullptr, QKeySequence::UnknownKey, {}, nullptr},
        {"Couper", QKeySequence::Cut, QKeySequence(Qt::CTRL | Qt::Key_X), "cut"},
        {"Copier", QKeySequence::Copy, QKeySequence(Qt::CTRL | Qt::Key_C), "copy"},
        {"Coller", QKeySequence::Paste, QKeySequence(Qt::CTRL | Qt::Key_V), "paste"},
        {nullptr, QKeySequence::UnknownKey, {}, nullptr},
        {"Tout sélectionner", QKeySequence::SelectAll, QKeySequence(Qt::CTRL | Qt::Key_A), "selectAll"},
    };
    for (const Entry &entry : entries) {
        if (!entry.title) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QString::fromUtf8(entry.title));
        action->setShortcut(entry.shortcut);
        // The text fields handle these keys themselves; the menu entry shows the keys and
        // serves the mouse.
        action->setShortcutContext(Qt::WidgetShortcut);
        const char *slot = entry.slot;
        const QKeySequence::StandardKey key = entry.key;
        QObject::connect(action, &QAction::triggered, menu, [slot, key] { editFocused(slot, key); });
    }
}
