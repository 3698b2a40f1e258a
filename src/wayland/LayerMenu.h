#pragma once

#include "wayland/MenuPicture.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <memory>

class LayerBand;
class LayerPopup;
class QAction;
class WaylandClient;
struct WaylandPointerEvent;

/**
 * The band's menu on a layer-shell compositor, drawn by the program as a pop-up of the band
 * that grabs the seat: it opens beside the band, whole on the band's output; the pointer
 * highlights a row and a click chooses it; Up, Down, Enter and Escape work it from the
 * keyboard, which the band takes while the menu is open; a click anywhere else closes it.
 */
class LayerMenu : public QObject
{
    Q_OBJECT
public:
    LayerMenu(WaylandClient &client, LayerBand &band, QObject *parent = nullptr);
    ~LayerMenu() override;

    /**
     * Opens `actions` beside `anchor` (band-local logical pixels): below it when `below`, else
     * above. The actions stay their owner's; a chosen one is triggered once the menu is closed.
     * False when there is nothing to show or the compositor cannot show it.
     */
    bool open(const QList<QAction *> &actions, const QRect &anchor, bool below);
    /** Closes the menu; nothing when none is open. */
    void close();

    bool isOpen() const { return m_picture != nullptr; }
    /** Where the compositor put the menu, relative to the band; empty until it did. */
    QRect placed() const;
    /** The row highlighted, −1 for none. */
    int highlighted() const { return m_highlighted; }
    /** Where row `index` stands in the menu, logical pixels; for tests. */
    QRect entryRect(int index) const;

signals:
    /** The menu closed, chosen from or not. */
    void closed();

private:
    void pointer(const WaylandPointerEvent &event);
    void key(std::uint32_t key);
    void highlight(int index);
    void choose(int index);

    WaylandClient &m_client;
    LayerBand &m_band;
    std::unique_ptr<LayerPopup> m_popup;
    std::unique_ptr<MenuPicture> m_picture;
    QList<QPointer<QAction>> m_actions; ///< one per row of the picture
    int m_highlighted = -1;
    int m_scale = 1;
};
