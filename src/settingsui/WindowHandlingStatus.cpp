#include "settingsui/WindowHandlingStatus.h"

#include "settingsui/Icons.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>

WindowHandlingStatus::WindowHandlingStatus(SettingsEnvironment &environment, QWidget *parent)
    : QWidget(parent)
    , m_environment(environment)
    , m_mode(environment.currentBandMode())
{
    setObjectName(QStringLiteral("windowHandlingStatus"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(8);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("windowHandlingIcon"));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("windowHandlingText"));
    m_text->setWordWrap(true);
    UiStyle::styleLabel(m_text, UiStyle::TextStyle::footnote, UiStyle::secondaryText(m_text));
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);
    layout->addWidget(m_text, 1);

    m_timer.setInterval(pollInterval);
    connect(&m_timer, &QTimer::timeout, this, &WindowHandlingStatus::poll);
    render();
}

QString WindowHandlingStatus::text(BandMode mode)
{
    switch (mode) {
    case BandMode::x11Ewmh:
        return tr("Session X11 : les fenêtres ouvertes sous le bandeau sont repoussées en dessous.");
    case BandMode::layerShell:
        return tr("Session Wayland (layer-shell) : le compositeur dispose les fenêtres hors du bandeau.");
    case BandMode::xwaylandStrut:
        return tr("Session Wayland sans layer-shell : le bandeau passe par XWayland et réserve sa bande d'écran, "
                  "les fenêtres restent en dehors.");
    case BandMode::x11WithoutEwmh:
        return tr("Session X11 : les fenêtres ne peuvent pas être repoussées, le gestionnaire de fenêtres ne dit "
                  "pas où elles sont (norme EWMH).");
    case BandMode::unsupported:
        break;
    }
    return tr("Les fenêtres ne peuvent pas être repoussées : ce bureau ne le permet pas.");
}

bool WindowHandlingStatus::keepsWindowsClear(BandMode mode)
{
    return mode == BandMode::x11Ewmh || mode == BandMode::layerShell || mode == BandMode::xwaylandStrut;
}

void WindowHandlingStatus::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown again after being hidden (window reopened, level set back to the front):
    // the desktop may have changed meanwhile, so read it now, not a second later.
    poll();
    m_timer.start();
}

void WindowHandlingStatus::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer.stop();
}

void WindowHandlingStatus::poll()
{
    const BandMode mode = m_environment.currentBandMode();
    if (mode == m_mode)
        return;
    m_mode = mode;
    render();
}

void WindowHandlingStatus::render()
{
    const int size = 16;
    const bool clear = keepsWindowsClear(m_mode);
    m_icon->setPixmap(clear ? Icons::drawn(Icons::Symbol::checkmarkCircleFill, UiStyle::green(), size)
                            : Icons::drawn(Icons::Symbol::exclamationTriangleFill, UiStyle::orange(), size));
    m_text->setText(text(m_mode));
}
