#include "wayland/LayerMenu.h"

#include "wayland/LayerBand.h"
#include "wayland/LayerPopup.h"
#include "wayland/WaylandClient.h"

#include <QAction>
#include <QTimer>

#include <cmath>

#include <linux/input-event-codes.h>

LayerMenu::LayerMenu(WaylandClient &client, LayerBand &band, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_band(band)
    , m_popup(std::make_unique<LayerPopup>(client))
{
    // A click anywhere but on the menu: the compositor took it down.
    connect(m_popup.get(), &LayerPopup::dismissed, this, &LayerMenu::close);
    connect(&m_band, &LayerBand::surfaceGoing, this, &LayerMenu::close);
}

LayerMenu::~LayerMenu()
{
    close();
}

bool LayerMenu::open(const QList<QAction *> &actions, const QRect &anchor, bool below)
{
    close();
    QList<QAction *> shown;
    for (QAction *action : actions) {
        if (action && action->isVisible() && shown.size() < MenuPicture::maxEntries)
            shown.append(action);
    }
    auto picture = std::make_unique<MenuPicture>(MenuPicture::entriesOf(shown));
    // The grab must name the press that opened the menu: without one there is nothing to grab with.
    if (picture->entries().isEmpty() || !m_band.layerSurface() || !m_client.seat() || !m_client.lastPressSerial())
        return false;
    // Pop-ups keep whole scales: the compositor shows them at fractional ones.
    m_scale = static_cast<int>(std::ceil(m_band.scale()));
    // The keyboard first: once the pop-up grabs the seat, the keyboard's focus stays where it is.
    m_band.setTakesKeyboard(true);
    const LayerPopup::Grab grab{m_client.seat(), m_client.lastPressSerial()};
    if (!m_popup->show(m_band.layerSurface(), anchor, below, picture->paint(-1, m_scale), grab)) {
        m_band.setTakesKeyboard(false);
        return false;
    }
    m_picture = std::move(picture);
    for (QAction *action : std::as_const(shown))
        m_actions.append(action);
    m_highlighted = -1;
    m_client.setPointerHandler(m_popup->surface(), [this](const WaylandPointerEvent &event) { pointer(event); });
    m_client.setKeyHandler([this](std::uint32_t code) { key(code); });
    return true;
}

void LayerMenu::close()
{
    if (!m_picture)
        return;
    if (m_popup->surface())
        m_client.setPointerHandler(m_popup->surface(), {});
    m_client.setKeyHandler({});
    m_popup->hide();
    m_band.setTakesKeyboard(false);
    m_picture.reset();
    m_actions.clear();
    m_highlighted = -1;
    emit closed();
}

QRect LayerMenu::placed() const
{
    return isOpen() ? m_popup->placed() : QRect();
}

QRect LayerMenu::entryRect(int index) const
{
    return m_picture ? m_picture->entryRect(index) : QRect();
}

void LayerMenu::highlight(int index)
{
    if (!m_picture || index == m_highlighted)
        return;
    m_highlighted = index;
    m_popup->setPicture(m_picture->paint(index, m_scale));
}

void LayerMenu::choose(int index)
{
    if (!m_picture || index < 0 || index >= m_actions.size())
        return;
    const QPointer<QAction> action = m_actions.at(index);
    close();
    // Triggered from the event loop, after the menu is gone: an item may open a window or quit.
    if (action)
        QTimer::singleShot(0, action, [action] {
            if (action && action->isEnabled())
                action->trigger();
        });
}

void LayerMenu::pointer(const WaylandPointerEvent &event)
{
    if (!m_picture)
        return;
    switch (event.type) {
    case WaylandPointerEvent::Type::enter:
    case WaylandPointerEvent::Type::move:
        highlight(m_picture->entryAt(event.position));
        break;
    case WaylandPointerEvent::Type::leave:
        highlight(-1);
        break;
    case WaylandPointerEvent::Type::press:
        break;
    case WaylandPointerEvent::Type::release:
        // A row is chosen where the button comes up, as in any menu.
        if (const int index = m_picture->entryAt(event.position); index >= 0)
            choose(index);
        break;
    }
}

void LayerMenu::key(std::uint32_t code)
{
    if (!m_picture)
        return;
    switch (code) {
    case KEY_ESC:
        close();
        break;
    case KEY_UP:
        highlight(m_picture->nextChoosable(m_highlighted, -1));
        break;
    case KEY_DOWN:
        highlight(m_picture->nextChoosable(m_highlighted, 1));
        break;
    case KEY_ENTER:
    case KEY_KPENTER:
    case KEY_SPACE:
        choose(m_highlighted);
        break;
    default:
        break;
    }
}
