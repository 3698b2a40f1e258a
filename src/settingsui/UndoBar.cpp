#include "settingsui/UndoBar.h"

#include "settingsui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

UndoBar::UndoBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("undoBar"));
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(tr("Suppression"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 6, 8, 6);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("undoText"));
    layout->addWidget(m_text, 1);
    m_undo = new QPushButton(tr("Annuler"), this);
    m_undo->setObjectName(QStringLiteral("undoButton"));
    m_undo->setAutoDefault(false);
    layout->addWidget(m_undo);
    connect(m_undo, &QPushButton::clicked, this, &UndoBar::undo);

    // Anywhere in the window; a text field asks for the key first and keeps it.
    m_shortcut = new QShortcut(QKeySequence::Undo, this);
    m_shortcut->setContext(Qt::WindowShortcut);
    m_shortcut->setEnabled(false);
    connect(m_shortcut, &QShortcut::activated, this, &UndoBar::undo);

    m_timer.setSingleShot(true);
    connect(&m_timer, &ClockTimer::timeout, this, &UndoBar::dismiss);
    hide();
}

QString UndoBar::text() const
{
    return m_text->text();
}

void UndoBar::offer(const QString &text, std::function<void()> undo)
{
    // The earlier offer ends without its undo; the bar itself stays.
    m_action = std::move(undo);
    m_text->setText(text);
    m_shortcut->setEnabled(true);
    show();
    m_timer.start(shownFor);
}

void UndoBar::undo()
{
    std::function<void()> action = std::exchange(m_action, nullptr);
    if (!action)
        return;
    action();
    dismiss();
}

void UndoBar::dismiss()
{
    m_action = nullptr;
    m_timer.stop();
    m_shortcut->setEnabled(false);
    if (isVisible() || !isHidden())
        hide();
    emit closed();
}
