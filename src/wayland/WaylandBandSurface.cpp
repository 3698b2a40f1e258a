#include "wayland/WaylandBandSurface.h"

#include "band/BandLines.h"
#include "band/BandPopups.h"
#include "band/BandStandInWindow.h"
#include "band/FrameStats.h"
#include "band/Renderer.h"
#include "wayland/LayerMenu.h"
#include "wayland/LayerPopup.h"
#include "wayland/PopupPicture.h"
#include "wayland/WaylandClient.h"

#include <QImage>
#include <QtMath>

#include <QPainter>
#include <algorithm>

std::unique_ptr<WaylandBandSurface> WaylandBandSurface::create(BandLines &lines)
{
    std::unique_ptr<WaylandClient> client = WaylandClient::connect();
    if (!client)
        return nullptr;
    return std::make_unique<WaylandBandSurface>(lines, std::move(client));
}

WaylandBandSurface::WaylandBandSurface(BandLines &lines, std::unique_ptr<WaylandClient> client)
    : BandSurface(lines)
    , m_client(std::move(client))
    , m_band(std::make_unique<LayerBand>(*m_client))
    , m_tooltip(std::make_unique<LayerPopup>(*m_client))
    , m_menu(std::make_unique<LayerMenu>(*m_client, *m_band))
    , m_readable(std::make_unique<BandStandInWindow>())
    , m_stats(FrameStats::fromEnvironment())
{
    m_band->setPainter([this](QImage &image, double scale) {
        paint(image, scale, BandLines::now());
        if (m_stats)
            m_stats->record();
    });
    m_band->setPointerHandler([this](const WaylandPointerEvent &event) { pointer(event); });
    connect(m_band.get(), &LayerBand::geometryChanged, this, [this] { layoutLines(); });
    connect(m_band.get(), &LayerBand::surfaceGoing, this, [this] {
        if (m_tooltip) // gone already while the surface itself goes
            m_tooltip->hide();
    });
    for (auto signal : {&WaylandClient::outputAdded, &WaylandClient::outputRemoved, &WaylandClient::outputChanged})
        connect(m_client.get(), signal, this, &WaylandBandSurface::outputsChanged);
}

const QList<WaylandClient::Output> &WaylandBandSurface::outputs() const
{
    return m_client->outputs();
}

WaylandBandSurface::~WaylandBandSurface()
{
    // The band's objects go before the connection they live on, its pop-ups before it.
    m_tooltip.reset();
    m_band.reset();
}

LayerBand::Config WaylandBandSurface::configFor(const BandPlacement &placement)
{
    LayerBand::Config config;
    config.bottomEdge = placement.edge == DockPosition::bottom;
    config.height = placement.height;
    // In front: the top layer, above ordinary windows but under full-screen ones and under
    // lock screens and notifications (the overlay layer would cover a full-screen video).
    // Behind and normal: the bottom layer, under every window; a layer surface cannot be
    // stacked among ordinary windows as a normal one would be.
    config.layer = placement.level == WindowLevelMode::front ? LayerBand::Layer::top : LayerBand::Layer::bottom;
    config.exclusive = placement.exclusive && placement.level == WindowLevelMode::front;
    config.output = placement.output;
    return config;
}

BandSurface::PlaceResult WaylandBandSurface::place(const BandPlacement &placement)
{
    PlaceResult result;
    if (m_placed && placement == m_placement && (m_band->isMapped() || placement.height <= 0))
        return result;
    const LayerBand::Config old = m_band->config();
    const LayerBand::Config config = configFor(placement);
    result.moved = !m_placed || old.bottomEdge != config.bottomEdge || old.height != config.height ||
                   old.output != config.output || old.exclusive != config.exclusive;
    result.levelled = !m_placed || old.layer != config.layer || !m_band->isMapped();
    m_placement = placement;
    m_placed = true;
    // A tooltip beside the band's old place would point at nothing.
    if (result.moved)
        m_tooltip->hide();
    m_band->setConfig(config);
    return result;
}

void WaylandBandSurface::linesChanged()
{
    layoutLines();
}

void WaylandBandSurface::layoutLines()
{
    const QSize size = m_band->size();
    if (size.isEmpty())
        return;
    // At a fractional scale the LEDs take whole device pixels, so the dots stay even and still.
    if (lines().layout(size.width(), m_band->scale(), BandLines::now(), m_band->isFractional()))
        m_band->requestFrame();
    m_band->setAnimating(lines().isMoving());
}

bool WaylandBandSurface::isShown() const
{
    return m_band->isMapped();
}

double WaylandBandSurface::scale() const
{
    return m_band->scale();
}

QRect WaylandBandSurface::frame() const
{
    // The compositor places the band across the output it is on; where that output stands
    // comes from the compositor (in its logical space, which XWayland's screens share). Without
    // an output, the frame as placed, with the width the compositor gave.
    QRect frame = m_placement.frame;
    const QSize size = m_band->size().isEmpty() ? frame.size() : m_band->size();
    if (const WaylandClient::Output *output = m_client->outputFor(m_band->output())) {
        const QRect area = output->logicalGeometry();
        if (area.isValid()) {
            const int y = m_placement.edge == DockPosition::bottom ? area.bottom() + 1 - size.height() : area.top();
            return QRect(QPoint(area.left(), y), size);
        }
    }
    frame.setSize(size);
    return frame;
}

BandCapabilities WaylandBandSurface::capabilities() const
{
    BandCapabilities capabilities;
    capabilities.keepsStripClear = true;
    capabilities.cursorShapes = true;
    return capabilities;
}

void WaylandBandSurface::showTooltip(const QPointF &position, const QString &text)
{
    if (m_menu->isOpen())
        return; // the menu stays the only pop-up while it is open
    // Pop-ups keep whole scales: the compositor shows them at fractional ones.
    const QImage picture = PopupPicture::tooltip(text, static_cast<int>(std::ceil(m_band->scale())));
    if (picture.isNull()) {
        hideTooltip();
        return;
    }
    const QSize size = m_band->size();
    const int x = std::clamp(static_cast<int>(std::floor(position.x())), 0, std::max(0, size.width() - 1));
    // Beside the band, on the side away from the screen's edge, from the pointer on.
    const QRect anchor(x, 0, 1, std::max(1, size.height()));
    if (!m_tooltip->show(m_band->layerSurface(), anchor, !m_band->config().bottomEdge, picture))
        BandSurface::showTooltip(position, text);
}

void WaylandBandSurface::hideTooltip()
{
    m_tooltip->hide();
    BandSurface::hideTooltip();
}

void WaylandBandSurface::openMenu(const QPointF &position)
{
    m_tooltip->hide();
    const QList<QAction *> actions = popups() ? popups()->menuActions() : QList<QAction *>();
    const QSize size = m_band->size();
    const int x = std::clamp(static_cast<int>(std::floor(position.x())), 0, std::max(0, size.width() - 1));
    // Beside the band, on the side away from the screen's edge, from the pointer on: whole,
    // where a window of the toolkit would fall under the band.
    const QRect anchor(x, 0, 1, std::max(1, size.height()));
    if (actions.isEmpty() || !m_menu->open(actions, anchor, !m_band->config().bottomEdge))
        BandSurface::openMenu(position);
}

bool WaylandBandSurface::isTooltipShown() const
{
    return m_tooltip->isMapped();
}

void WaylandBandSurface::setCursor(BandCursor cursor)
{
    // Themes name the hand differently; the first one found is used.
    if (cursor == BandCursor::pointingHand)
        m_client->setCursorShape({"pointer", "hand2", "hand1", "pointing_hand"});
    else
        m_client->setCursorShape({"default", "left_ptr"});
}

QPoint WaylandBandSurface::toGlobal(const QPointF &position) const
{
    // Qt's windows on XWayland share the compositor's logical space, where frame() stands.
    return frame().topLeft() + position.toPoint();
}

void WaylandBandSurface::paint(QImage &image, double scale, double t) const
{
    image.fill(QColor::fromRgba(Renderer::background));
    if (lines().scale() != scale)
        return; // laid out for another scale: the next layout brings a frame
    QPainter painter(&image);
    // The tiles are opaque: copying them is enough, nothing needs blending.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < BandLines::lineCount; ++i) {
        const ScrollLine &line = lines().line(i);
        if (line.isRunning() && !line.paint(painter, line.columnAt(t), image.width()))
            painter.fillRect(line.deviceRect(image.width()), QColor::fromRgba(Renderer::background));
    }
}

void WaylandBandSurface::pointer(const WaylandPointerEvent &event)
{
    // A click on the band while its menu is open only closes the menu.
    if (event.type == WaylandPointerEvent::Type::press && m_menu->isOpen()) {
        m_menu->close();
        m_swallowRelease = true;
        return;
    }
    if (event.type == WaylandPointerEvent::Type::release && m_swallowRelease) {
        m_swallowRelease = false;
        return;
    }
    BandPointerEvent out;
    switch (event.type) {
    case WaylandPointerEvent::Type::enter:
        out.type = BandPointerEvent::Type::enter;
        break;
    case WaylandPointerEvent::Type::move:
        out.type = BandPointerEvent::Type::move;
        break;
    case WaylandPointerEvent::Type::leave:
        out.type = BandPointerEvent::Type::leave;
        break;
    case WaylandPointerEvent::Type::press:
        out.type = BandPointerEvent::Type::press;
        break;
    case WaylandPointerEvent::Type::release:
        out.type = BandPointerEvent::Type::release;
        break;
    }
    out.position = event.position;
    out.button = event.button;
    out.line = lines().lineAt(event.position.y());
    deliverPointer(out);
}

QObject *WaylandBandSurface::accessibleObject() const
{
    return m_readable.get();
}
