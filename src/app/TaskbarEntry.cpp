#include "app/TaskbarEntry.h"

#include "app/LedIcon.h"

#include <QCloseEvent>
#include <QEvent>
#include <QTimer>

TaskbarEntry::TaskbarEntry(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("taskbarEntry"));
    setWindowTitle(QStringLiteral("Dotbanner"));
    setWindowIcon(LedIcon::icon());
    // Should it be restored before we get to minimise it again, it is a small dark square.
    setFixedSize(64, 64);
    setAutoFillBackground(true);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(0x0b, 0x0d, 0x0c));
    setPalette(dark);
}

void TaskbarEntry::setPresent(bool present)
{
    if (present == m_present)
        return;
    m_present = present;
    if (present)
        showMinimized();
    else
        hide();
}

void TaskbarEntry::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (!m_present || !isVisible())
        return;
    const bool restored = event->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized);
    const bool raised = event->type() == QEvent::ActivationChange && isActiveWindow();
    if (restored || raised) {
        // Leave the window system's event first; minimising from inside it is not always honoured.
        QTimer::singleShot(0, this, &TaskbarEntry::minimiseAgain);
        emit activated();
    }
}

void TaskbarEntry::closeEvent(QCloseEvent *event)
{
    // Closing it from the taskbar must not end the program nor lose the entry.
    event->ignore();
    minimiseAgain();
}

void TaskbarEntry::minimiseAgain()
{
    if (m_present)
        setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}
