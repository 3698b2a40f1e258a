#include "app/SettingsWindow.h"

#include "app/LedIcon.h"
#include "app/WindowPlacement.h"
#include "settings/SavedWindowSize.h"

#include <QAction>
#include <QApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

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
    setWindowTitle(tr("Dotbanner, réglages"));
    setWindowIcon(LedIcon::icon());
    // The notice line sits above the settings view.
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("settingsCentral"));
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_notice = new QLabel(central);
    m_notice->setObjectName(QStringLiteral("settingsNotice"));
    m_notice->setWordWrap(true);
    m_notice->setContentsMargins(20, 10, 20, 10);
    m_notice->hide();
    column->addWidget(m_notice);
    column->addWidget(content);
    // The notice wraps to the settings' width rather than widening the window.
    m_notice->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setCentralWidget(central);

    m_applicationMenu = menuBar()->addMenu(QStringLiteral("Dotbanner"));
    m_applicationMenu->setObjectName(QStringLiteral("applicationMenu"));
    m_editMenu = menuBar()->addMenu(tr("Édition"));
    m_editMenu->setObjectName(QStringLiteral("editMenu"));
    fillEditMenu(m_editMenu);
    menuBar()->hide();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::setSavedSize(std::unique_ptr<SavedWindowSize> saved)
{
    m_savedSize = std::move(saved);
}

void SettingsWindow::setMenuBarShown(bool shown)
{
    if (menuBar()->isVisibleTo(this) == shown)
        return;
    menuBar()->setVisible(shown);
    // The menu bar takes its height on top of the settings, as far as the window still fits,
    // and the window stays in the middle rather than grow downwards from where it was.
    if (isVisible()) {
        const int bar = menuBar()->sizeHint().height();
        resize(width(), height() + (shown ? bar : -bar));
        centre();
    }
}

void SettingsWindow::setNotice(const QString &text)
{
    m_notice->setText(text);
    m_notice->setVisible(!text.isEmpty());
    if (isVisible())
        centre();
}

QString SettingsWindow::notice() const
{
    return m_notice->text();
}

void SettingsWindow::centre()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect band = m_bandFrame ? m_bandFrame() : QRect();
    const QRect area = WindowPlacement::areaBeside(screen->availableGeometry(), band);
    // A shown window keeps the size it has; a new one takes the size it was left at.
    QSize wanted = isVisible() ? size() : sizeHint();
    if (!isVisible() && m_savedSize) {
        if (const std::optional<QSize> saved = m_savedSize->size())
            wanted = *saved;
    }
    // Until the window manager has framed the window its frame is not known: assume a title bar.
    const QRect framed = frameGeometry();
    const QRect inner = geometry();
    QMargins frame(inner.left() - framed.left(), inner.top() - framed.top(), framed.right() - inner.right(),
                   framed.bottom() - inner.bottom());
    if (frame.isNull() || !isVisible())
        frame = frame | assumedFrame;
    const QRect placed = WindowPlacement::place(area, wanted, minimumSizeHint().expandedTo(minimumSize()), frame);
    resize(placed.size());
    // For a window, move() places its frame.
    move(placed.topLeft() - QPoint(frame.left(), frame.top()));
}

void SettingsWindow::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    if (m_savedSize && !event->spontaneous())
        m_savedSize->setSize(size());
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
        {QT_TR_NOOP("Annuler"), QKeySequence::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z), "undo"},
        {QT_TR_NOOP("Rétablir"), QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "redo"},
        {nullptr, QKeySequence::UnknownKey, {}, nullptr},
        {QT_TR_NOOP("Couper"), QKeySequence::Cut, QKeySequence(Qt::CTRL | Qt::Key_X), "cut"},
        {QT_TR_NOOP("Copier"), QKeySequence::Copy, QKeySequence(Qt::CTRL | Qt::Key_C), "copy"},
        {QT_TR_NOOP("Coller"), QKeySequence::Paste, QKeySequence(Qt::CTRL | Qt::Key_V), "paste"},
        {nullptr, QKeySequence::UnknownKey, {}, nullptr},
        {QT_TR_NOOP("Tout sélectionner"), QKeySequence::SelectAll, QKeySequence(Qt::CTRL | Qt::Key_A), "selectAll"},
    };
    for (const Entry &entry : entries) {
        if (!entry.title) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(tr(entry.title));
        action->setShortcut(entry.shortcut);
        // The text fields handle these keys themselves; the menu entry shows the keys and
        // serves the mouse.
        action->setShortcutContext(Qt::WidgetShortcut);
        const char *slot = entry.slot;
        const QKeySequence::StandardKey key = entry.key;
        QObject::connect(action, &QAction::triggered, menu, [slot, key] { editFocused(slot, key); });
    }
}
