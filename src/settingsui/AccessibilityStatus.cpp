#include "settingsui/AccessibilityStatus.h"

#include "settingsui/Icons.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AccessibilityStatus::AccessibilityStatus(SettingsEnvironment &environment, QWidget *parent)
    : QWidget(parent)
    , m_environment(environment)
    , m_trusted(environment.isAccessibilityTrusted())
{
    setObjectName(QStringLiteral("accessibilityStatus"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 4, 0, 4);
    column->setSpacing(2);
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    column->addLayout(layout);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("accessibilityIcon"));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("accessibilityText"));
    m_text->setWordWrap(true);
    UiStyle::styleLabel(m_text, UiStyle::TextStyle::footnote, UiStyle::secondaryText(m_text));
    m_open = new QPushButton(QStringLiteral("Ouvrir…"), this);
    m_open->setObjectName(QStringLiteral("accessibilityOpenButton"));
    m_open->setFont(UiStyle::font(m_open->font(), UiStyle::TextStyle::footnote));
    m_open->setAutoDefault(false);
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_open, 0, Qt::AlignVCenter);
    // How the band reaches the screen in this session (X11, a Wayland layer surface, XWayland).
    m_mode = new QLabel(environment.windowModeText(), this);
    m_mode->setObjectName(QStringLiteral("windowModeText"));
    m_mode->setWordWrap(true);
    UiStyle::styleLabel(m_mode, UiStyle::TextStyle::footnote, UiStyle::secondaryText(m_mode));
    m_mode->setVisible(!m_mode->text().isEmpty());
    column->addWidget(m_mode);

    connect(m_open, &QPushButton::clicked, this, [this] {
        m_environment.requestAccessibility();
        poll();
    });
    m_timer.setInterval(pollInterval);
    connect(&m_timer, &QTimer::timeout, this, &AccessibilityStatus::poll);
    render();
}

QString AccessibilityStatus::grantedText()
{
    return QStringLiteral("Autorisation Accessibilité accordée.");
}

QString AccessibilityStatus::missingText()
{
    return QStringLiteral("Autorisation Accessibilité requise pour déplacer les fenêtres des autres apps.");
}

void AccessibilityStatus::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown again after being hidden (window reopened, level set back to the front):
    // the permission may have changed meanwhile, so read it now, not a second later.
    poll();
    m_timer.start();
}

void AccessibilityStatus::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer.stop();
}

void AccessibilityStatus::poll()
{
    const bool trusted = m_environment.isAccessibilityTrusted();
    if (trusted == m_trusted)
        return;
    m_trusted = trusted;
    render();
}

void AccessibilityStatus::render()
{
    const int size = 16;
    m_icon->setPixmap(m_trusted ? Icons::drawn(Icons::Symbol::checkmarkCircleFill, UiStyle::green(), size)
                                : Icons::drawn(Icons::Symbol::exclamationTriangleFill, UiStyle::orange(), size));
    m_text->setText(m_trusted ? grantedText() : missingText());
    m_open->setVisible(!m_trusted);
}
