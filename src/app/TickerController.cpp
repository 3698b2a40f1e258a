#include "app/TickerController.h"

#include "app/TickerPanel.h"
#include "avoider/WindowAvoider.h"
#include "avoider/WindowSystem.h"
#include "data/DataService.h"
#include "ledview/LedView.h"
#include "line/LedBuilder.h"
#include "news/NewsService.h"
#include "settings/Settings.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

TickerController::TickerController(Settings &settings, DataService &data, NewsService &news, WindowAvoider *avoider,
                                   QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_data(data)
    , m_news(news)
    , m_avoider(avoider)
{
    m_view = new LedView;
    m_panel = std::make_unique<TickerPanel>(m_view);
    if (m_avoider && !m_avoider->parent())
        m_avoider->setParent(this);
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        m_windowSystem = WindowSystem::forPlatform();

    // Each source only asks for an apply; the apply itself runs on a later pass of the event
    // loop, when a setting announced by objectWillChange has its new value.
    connect(&m_settings, &Settings::objectWillChange, this, &TickerController::scheduleApply);
    connect(&m_data, &DataService::quotesChanged, this, &TickerController::scheduleApply);
    connect(&m_news, &NewsService::headlinesChanged, this, &TickerController::scheduleApply);
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

TickerController::~TickerController() = default;

QString TickerController::loadingMessage()
{
    return tr("Chargement des actualites...");
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
    m_menuProvider = provider;
    m_view->menuProvider = std::move(provider);
}

QRect TickerController::bandFrame(const QRect &screen, const QRect &available, DockPosition position, int height)
{
    const int y = position == DockPosition::bottom ? available.y() + available.height() - height : available.y();
    return QRect(screen.x(), y, screen.width(), height);
}

QRect TickerController::availableArea(QScreen *screen) const
{
    // With several monitors Qt reports each screen's whole area as available, so the panels'
    // reserved strips are read from the window system instead.
    if (m_windowSystem && QGuiApplication::screens().size() > 1 && screen == QGuiApplication::primaryScreen()) {
        const QList<ScreenRecord> screens = m_windowSystem->screens();
        if (!screens.isEmpty()) {
            const ScreenRecord &record = screens.first();
            const double scale = record.scale > 0 ? record.scale : 1.0;
            const QPointF origin = screen->geometry().topLeft();
            const QPointF deviceOrigin = record.frame.topLeft();
            const QPointF topLeft = origin + (record.available.topLeft() - deviceOrigin) / scale;
            const QRectF logical(topLeft, record.available.size() / scale);
            const QRect area = logical.toAlignedRect().intersected(screen->geometry());
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

    // 1. The news line, with a placeholder text until headlines arrive.
    if (variant == BarVariant::thick) {
        const QList<NewsSource> sources = m_settings.newsSources();
        const bool anyEnabled =
            std::any_of(sources.begin(), sources.end(), [](const NewsSource &s) { return s.enabled; });
        m_lastNews = LedBuilder::buildNews(m_news.headlines(), anyEnabled ? loadingMessage() : noSourceMessage(), style);
    } else {
        m_lastNews.reset();
    }

    // 2. Height: one LED size per row.
    const int rows = LedBuilder::rows(style, variant);
    const double exactHeight = m_settings.ledSize() * rows;
    const int height = std::isfinite(exactHeight) ? static_cast<int>(std::clamp(std::lround(exactHeight), 1L, 100000L)) : 1;

    // 3. Frame, on the primary screen; moved only when it differs.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect frame = bandFrame(screen->geometry(), availableArea(screen), m_settings.position(), height);
        if (m_panel->geometry() != frame) {
            m_panel->setGeometry(frame);
            ++m_counters.moves;
        }
    }

    // 4. Level; re-levelled and raised only when it differs or the band is hidden.
    const WindowLevelMode level = m_settings.levelMode();
    if (m_panel->level() != level || !m_panel->isVisible()) {
        if (m_panel->level() != level)
            m_panel->setLevel(level);
        m_panel->show();
        m_panel->raise();
        ++m_counters.levels;
    }

    // 5. The view's content.
    m_view->bitmap = LedBuilder::build(m_data.quotes(), style, variant);
    m_view->newsBitmap = m_lastNews;
    m_view->pitch = m_settings.ledSize();
    m_view->theme = m_settings.theme();
    m_view->speed = m_settings.speed();
    m_view->refresh();

    // 6. The avoider works only for a band that floats above the other windows.
    if (m_avoider)
        m_avoider->update(level == WindowLevelMode::front && m_settings.pushWindows(), QRectF(m_panel->geometry()));
}
