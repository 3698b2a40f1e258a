#include "app/TickerController.h"

#include "app/BandInteraction.h"
#include "qtband/PanelSurface.h"
#include "qtband/TickerPanel.h"
#include "avoider/WindowAvoider.h"
#include "desktop/WindowSystem.h"
#include "data/DataService.h"
#include "data/Staleness.h"
#include "qtband/LedView.h"
#include "x11band/X11BandView.h"
#include "line/LedBuilder.h"
#include "news/NewsService.h"
#include "settings/ScreenChoice.h"
#include "settings/Settings.h"
#include "util/Clock.h"
#include "wayland/SessionMode.h"
#include "wayland/WaylandBandSurface.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <algorithm>
#include <cmath>

TickerController::TickerController(Settings &settings, DataService &data, NewsService &news, WindowAvoider *avoider,
                                   std::shared_ptr<WindowSystem> system, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_data(data)
    , m_news(news)
    , m_windowSystem(system ? std::move(system)
                            : avoider ? avoider->windowSystem() : std::make_shared<WindowSystem>())
    , m_avoider(avoider)
{
    m_interaction = new BandInteraction(*this, this);
    m_screenChoice = &ScreenChoice::shared();
    connect(m_screenChoice, &ScreenChoice::screenNameChanged, this, &TickerController::scheduleApply);
    m_staleTimer.setInterval(std::chrono::seconds(20));
    connect(&m_staleTimer, &QTimer::timeout, this, &TickerController::checkStaleness);
    m_staleTimer.start();
    m_surface = makeSurface(m_lines, m_windowSystem.get());
    m_surface->setPointerHandler([this](const BandPointerEvent &event) { pointerEvent(event); });
    connect(&m_worker, &LineWorker::built, this, &TickerController::show);
    if (m_avoider && !m_avoider->parent())
        m_avoider->setParent(this);

    // Each source only asks for an apply; the apply itself runs on a later pass of the event
    // loop, when a setting announced by aboutToChange has its new value.
    connect(&m_settings, &Settings::aboutToChange, this, &TickerController::scheduleApply);
    connect(&m_data, &DataService::quotesChanged, this, &TickerController::scheduleApply);
    connect(&m_news, &NewsService::headlinesChanged, this, &TickerController::scheduleApply);
    // A run that read nothing changes only the status, and the line stops saying it is loading.
    connect(&m_news, &NewsService::statusChanged, this, &TickerController::scheduleApply);
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
            watchScreen(screen);
            scheduleApply();
        });
        connect(app, &QGuiApplication::screenRemoved, this, &TickerController::scheduleApply);
        connect(app, &QGuiApplication::primaryScreenChanged, this, &TickerController::scheduleApply);
        for (QScreen *screen : QGuiApplication::screens())
            watchScreen(screen);
    }
    apply();
}

TickerController::~TickerController()
{
    // The surface goes before the interaction, a child: no pointer event may reach it then.
    m_surface->setPointerHandler({});
}

std::unique_ptr<BandSurface> TickerController::makeSurface(BandLines &lines, WindowSystem *system)
{
    // The X server moves the pixels where it can; Qt's own painting is the fallback and can be
    // chosen by name for comparison.
    const QString wanted = qEnvironmentVariable("DOTBANNER_SURFACE");
    // On a compositor with the layer shell the band is one of its layer surfaces, whatever
    // platform Qt uses for the other windows.
    if ((wanted.isEmpty() || wanted == QLatin1String("wayland")) &&
        SessionMode::current() == SessionMode::Kind::layerShell) {
        if (auto surface = WaylandBandSurface::create(lines))
            return surface;
        qWarning("The compositor's layer shell cannot be reached; the band is an ordinary window");
    }
    const bool x11 = X11BandView::isAvailable();
    if (!wanted.isEmpty() && wanted != QLatin1String("qt") && wanted != QLatin1String("wayland") &&
        !(wanted == QLatin1String("x11") && x11))
        qWarning("DOTBANNER_SURFACE=%s is not available here; the band uses the default surface", qPrintable(wanted));
    if (x11 && wanted != QLatin1String("qt")) {
        auto surface = std::make_unique<PanelSurface>(lines, new X11BandView(&lines), system);
        surface->setName(QStringLiteral("x11"));
        return surface;
    }
    auto surface = std::make_unique<PanelSurface>(lines, new LedView(&lines), system);
    surface->setName(QStringLiteral("qt"));
    return surface;
}

TickerPanel *TickerController::panel() const
{
    const auto *panelSurface = dynamic_cast<const PanelSurface *>(m_surface.get());
    return panelSurface ? panelSurface->panel() : nullptr;
}

void TickerController::finishBuilding()
{
    if (std::optional<LineWorker::Result> result = m_worker.finish())
        show(*result);
}

void TickerController::show(const LineWorker::Result &result)
{
    const LineWorker::Request &request = result.request;
    m_shownQuotes = request.quotes;
    m_shownStale = request.stale;
    m_shownHeadlines = request.hasNews ? request.headlines : QList<Headline>();
    m_quoteSpans = result.quotes.spans;
    m_newsSpans = result.news ? result.news->spans : QList<LineSpan>();
    m_lastNews = result.news ? std::optional<LedBitmap>(result.news->bitmap) : std::nullopt;
    m_lines.bitmap = result.quotes.bitmap;
    m_lines.newsBitmap = m_lastNews;
    m_lines.rendered = {result.quoteTiles, result.newsTiles};
    m_lines.pitch = request.pitch;
    m_lines.theme = request.theme;
    m_lines.speed = m_settings.speed();
    m_surface->linesChanged();
}

bool TickerController::writePNG(const QString &path)
{
    finishBuilding();
    const QRect frame = m_surface->frame();
    return m_lines.writePNG(path, frame.width(), frame.height());
}

void TickerController::pointerEvent(const BandPointerEvent &event)
{
    if (event.type == BandPointerEvent::Type::press && event.button == Qt::RightButton) {
        QMenu *menu = m_menuProvider ? m_menuProvider() : nullptr;
        if (menu)
            menu->exec(event.globalPosition.value_or(QCursor::pos()));
        return;
    }
    m_interaction->handle(event);
}

void TickerController::setScreenChoice(ScreenChoice &choice)
{
    if (m_screenChoice == &choice)
        return;
    disconnect(m_screenChoice, nullptr, this, nullptr);
    m_screenChoice = &choice;
    connect(m_screenChoice, &ScreenChoice::screenNameChanged, this, &TickerController::scheduleApply);
    scheduleApply();
}

QScreen *TickerController::screenNamed(const QString &name)
{
    // An unplugged screen is simply absent from the list: the band waits on the primary one
    // and goes back when a screen of that name is added again.
    if (!name.isEmpty()) {
        for (QScreen *screen : QGuiApplication::screens()) {
            if (screen->name() == name)
                return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

QList<bool> TickerController::staleFlags(const QList<Quote> &quotes) const
{
    return Staleness::flags(quotes, m_settings.items(), m_settings.stockProvider(), Clock::current().now());
}

void TickerController::checkStaleness()
{
    if (staleFlags(m_shownQuotes) != m_shownStale)
        scheduleApply();
}

QString TickerController::loadingMessage()
{
    return tr("Chargement des actualites...");
}

QString TickerController::unreadableMessage()
{
    return tr("Actualites indisponibles : aucun flux n'a pu etre lu");
}

QString TickerController::noSourceMessage()
{
    return tr("Aucune source d'actualites : ajoute un flux RSS dans les reglages");
}

void TickerController::watchScreen(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &TickerController::scheduleApply);
    connect(screen, &QScreen::availableGeometryChanged, this, &TickerController::scheduleApply);
}

void TickerController::scheduleApply()
{
    if (m_applyQueued)
        return;
    m_applyQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_applyQueued = false;
            apply();
        },
        Qt::QueuedConnection);
}

void TickerController::setMenuProvider(std::function<QMenu *()> provider)
{
    m_menuProvider = std::move(provider);
}

QRect TickerController::bandFrame(const QRect &screen, const QRect &available, DockPosition position, int height)
{
    const int y = position == DockPosition::bottom ? available.y() + available.height() - height : available.y();
    return QRect(screen.x(), y, screen.width(), height);
}

QRect TickerController::workArea(const QRect &geometry, const ScreenRecord &record)
{
    const double scale = record.scale > 0 ? record.scale : 1.0;
    const QPointF deviceOrigin = record.frame.topLeft();
    const QPointF topLeft = QPointF(geometry.topLeft()) + (record.available.topLeft() - deviceOrigin) / scale;
    const QRectF logical(topLeft, record.available.size() / scale);
    return logical.toAlignedRect().intersected(geometry);
}

QRect TickerController::availableArea(QScreen *screen) const
{
    // With several monitors Qt reports each screen's whole area as available; and once the band
    // reserves its own strip, Qt's work area leaves it out, which would push the band by its own
    // height at each apply. The window system's figure counts other panels only.
    const QList<QScreen *> qtScreens = QGuiApplication::screens();
    const TickerPanel *band = panel();
    if (qtScreens.size() > 1 || (band && band->reservesStrip())) {
        const QList<ScreenRecord> screens = m_windowSystem->screens();
        // The records follow Qt's order; a window system that knows fewer screens still has
        // the primary one first.
        qsizetype index = qtScreens.indexOf(screen);
        if (screens.size() != qtScreens.size())
            index = screen == QGuiApplication::primaryScreen() ? 0 : -1;
        if (index >= 0 && index < screens.size()) {
            const QRect area = workArea(screen->geometry(), screens[index]);
            if (!area.isEmpty())
                return area;
        }
    }
    return screen->availableGeometry();
}

void TickerController::apply()
{
    ++m_counters.applies;
    const BarVariant variant = m_settings.variant();
    const FontStyle style = m_settings.fontStyle();

    // 1. What the lines show: the quotes and, on a two-line band, the headlines or a
    // placeholder text until they arrive. They are built on the worker.
    LineWorker::Request request;
    request.quotes = m_data.quotes();
    request.stale = staleFlags(request.quotes);
    request.hasNews = variant == BarVariant::thick;
    if (request.hasNews) {
        const QList<NewsSource> sources = m_settings.newsSources();
        const bool anyEnabled =
            std::any_of(sources.begin(), sources.end(), [](const NewsSource &s) { return s.enabled; });
        request.message =
            !anyEnabled ? noSourceMessage() : (m_news.nothingRead() ? unreadableMessage() : loadingMessage());
        request.headlines = m_news.headlines();
    }
    request.style = style;
    request.pitch = m_settings.ledSize();
    request.theme = m_settings.theme();

    // 2. Height: one LED size per row.
    const int rows = LedBuilder::rows(style, variant);
    const double exactHeight = m_settings.ledSize() * rows;
    const int height = std::isfinite(exactHeight) ? static_cast<int>(std::clamp(std::lround(exactHeight), 1L, 100000L)) : 1;

    // 3. Placement, on the chosen screen (the primary one while it is missing); moved,
    // re-levelled and raised only when it differs or the band is hidden.
    const WindowLevelMode level = m_settings.levelMode();
    BandPlacement placement;
    placement.edge = m_settings.position();
    placement.height = height;
    placement.level = level;
    placement.exclusive = level == WindowLevelMode::front && m_settings.pushWindows();
    m_bandScreen = screenNamed(m_screenChoice->screenName());
    if (QScreen *screen = m_bandScreen) {
        placement.frame = bandFrame(screen->geometry(), availableArea(screen), placement.edge, height);
        placement.output = screen->name();
    }
    const BandSurface::PlaceResult placed = m_surface->place(placement);
    if (placed.moved)
        ++m_counters.moves;
    if (placed.levelled)
        ++m_counters.levels;

    // 4. The lines: a change of speed shows at once; new content when the worker has built
    // it. The first lines are built here, so the band never starts empty.
    request.scale = m_surface->scale(); // tiles for the pixel density of where the band now is
    if (m_lines.speed != m_settings.speed()) {
        m_lines.speed = m_settings.speed();
        m_surface->linesChanged();
    }
    if (!m_requested || *m_requested != request) {
        m_requested = request;
        if (m_counters.applies == 1)
            show(LineWorker::build(std::move(request)));
        else
            m_worker.submit(std::move(request));
    }

    // 5. The avoider works only for a band that floats above the other windows.
    // On a layer surface the compositor itself keeps windows out of the band's strip.
    const bool compositorLaysOut = m_surface->name() == QLatin1String("wayland");
    if (m_avoider)
        m_avoider->update(!compositorLaysOut && placement.exclusive, QRectF(m_surface->frame()));
}
