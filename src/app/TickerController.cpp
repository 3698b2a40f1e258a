#include "app/TickerController.h"

#include "alerts/AlertWatcher.h"
#include "app/BandGeometry.h"
#include "avoider/WindowAvoider.h"
#include "band/BandAccessibility.h"
#include "band/BandInteraction.h"
#include "data/DataService.h"
#include "data/Records.h"
#include "data/Staleness.h"
#include "desktop/WindowSystem.h"
#include "line/LedBuilder.h"
#include "news/NewsService.h"
#include "settings/BandLook.h"
#include "settings/MotionChoice.h"
#include "settings/ScreenChoice.h"
#include "settings/Settings.h"
#include "util/Clock.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

TickerController::TickerController(Settings &settings, DataService &data, NewsService &news, WindowAvoider *avoider,
                                   const BandSurfaceFactory::Make &makeSurface, std::shared_ptr<WindowSystem> system,
                                   QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_data(data)
    , m_news(news)
    , m_windowSystem(system    ? std::move(system)
                     : avoider ? avoider->windowSystem()
                               : std::make_shared<WindowSystem>())
    , m_shown(settings, data.health())
    , m_surface(makeSurface(m_lines, m_windowSystem.get()))
    , m_interaction(std::make_unique<BandInteraction>(m_lines, m_shown))
    , m_avoider(avoider)
{
    Q_ASSERT(m_surface);
    m_surface->setPopups(&m_popups);
    m_interaction->setSurface(m_surface.get());
    m_accessibility = std::make_unique<BandAccessibility>(*m_surface, m_shown);
    m_accessibility->setNames(tr("Bandeau Dotbanner"), tr("Cours"), tr("Actualités"));
    m_screenChoice = &ScreenChoice::shared();
    connect(m_screenChoice, &ScreenChoice::screenNameChanged, this, &TickerController::scheduleApply);
    m_motionChoice = &MotionChoice::shared();
    connect(m_motionChoice, &MotionChoice::reducedMotionChanged, this, &TickerController::scheduleApply);
    m_look = &BandLook::shared();
    connect(m_look, &BandLook::upDownColoursChanged, this, &TickerController::scheduleApply);
    connect(m_look, &BandLook::sparklinesChanged, this, &TickerController::scheduleApply);
    m_staleTimer.setInterval(std::chrono::seconds(20));
    connect(&m_staleTimer, &QTimer::timeout, this, &TickerController::checkStaleness);
    m_staleTimer.start();
    connect(&m_worker, &LineWorker::built, this, &TickerController::show);
    if (m_avoider && !m_avoider->parent())
        m_avoider->setParent(this);

    // Each source only asks for an apply; the apply itself runs on a later pass of the event
    // loop, when a setting announced by aboutToChange has its new value.
    connect(&m_settings, &Settings::aboutToChange, this, &TickerController::scheduleApply);
    connect(&m_data, &DataService::quotesChanged, this, &TickerController::scheduleApply);
    connect(&m_data, &DataService::quotesChanged, this, &TickerController::noteChanges);
    m_flashTimer.setSingleShot(true);
    connect(&m_flashTimer, &ClockTimer::timeout, this, &TickerController::endFlashes);
    m_interaction->noticed = [this](int line, const LineSpan &span) { onNoticed(line, span); };
    noteChanges(m_data.quotes());
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

TickerController::~TickerController() = default;

void TickerController::finishBuilding()
{
    if (std::optional<LineWorker::Result> result = m_worker.finish())
        show(*result);
}

void TickerController::show(const LineWorker::Result &result)
{
    const LineWorker::Request &request = result.request;
    m_shown.setQuotes(request.quotes, request.stale, result.quotes.spans);
    m_shown.setHeadlines(request.hasNews ? request.headlines : QList<Headline>(),
                         result.news ? result.news->spans : QList<LineSpan>(), request.message);
    m_lastNews = result.news ? std::optional<LedBitmap>(result.news->bitmap) : std::nullopt;
    m_lines.bitmap = result.quotes.bitmap;
    m_lines.newsBitmap = m_lastNews;
    m_lines.rendered = {result.quoteTiles, result.newsTiles};
    m_lines.spans = {m_shown.spans(BandLines::quotes), m_shown.spans(BandLines::news)};
    m_lines.pitch = request.pitch;
    m_lines.theme = request.theme;
    m_lines.speed = m_settings.speed();
    m_lines.steps = m_motionChoice->reducedMotion();
    m_surface->linesChanged();
    m_accessibility->itemsChanged();
}

bool TickerController::writePNG(const QString &path)
{
    finishBuilding();
    const QRect frame = m_surface->frame();
    return m_lines.writePNG(path, frame.width(), frame.height());
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

void TickerController::setMotionChoice(MotionChoice &choice)
{
    if (m_motionChoice == &choice)
        return;
    disconnect(m_motionChoice, nullptr, this, nullptr);
    m_motionChoice = &choice;
    connect(m_motionChoice, &MotionChoice::reducedMotionChanged, this, &TickerController::scheduleApply);
}

void TickerController::setBandLook(BandLook &look)
{
    if (m_look == &look)
        return;
    disconnect(m_look, nullptr, this, nullptr);
    m_look = &look;
    connect(m_look, &BandLook::upDownColoursChanged, this, &TickerController::scheduleApply);
    connect(m_look, &BandLook::sparklinesChanged, this, &TickerController::scheduleApply);
    scheduleApply();
}

QList<bool> TickerController::staleFlags(const QList<Quote> &quotes) const
{
    return Staleness::flags(quotes, m_settings.items(), m_settings.stockProvider(), Clock::current().now());
}

void TickerController::checkStaleness()
{
    if (staleFlags(m_shown.quotes()) != m_shown.stale())
        scheduleApply();
}

QString TickerController::missingKeyText()
{
    // Four LEDs wide at most, letters every font has: "CLE?" in French, "KEY?" in English.
    return tr("CLE?");
}

QList<Quote> TickerController::shownQuotesOf(QList<Quote> quotes)
{
    const QString missingKey = missingKeyText();
    for (Quote &quote : quotes) {
        if (quote.price == Records::missingKeyPrice)
            quote.price = missingKey;
    }
    return quotes;
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
    m_popups.setMenuProvider(std::move(provider));
}

void TickerController::setAlertWatcher(AlertWatcher *watcher)
{
    if (m_alertWatcher == watcher)
        return;
    disconnect(m_alertConnection);
    m_alertWatcher = watcher;
    if (m_alertWatcher)
        m_alertConnection =
            connect(m_alertWatcher, &AlertWatcher::alertingChanged, this, &TickerController::scheduleApply);
    scheduleApply();
}

void TickerController::onNoticed(int line, const LineSpan &span)
{
    if (!m_alertWatcher || line != BandLines::quotes || span.part != LineSpan::Part::quote)
        return;
    const QList<Quote> &quotes = m_shown.quotes();
    if (span.index >= 0 && span.index < quotes.size() && m_alertWatcher->isAlerting(quotes.at(span.index).id))
        m_alertWatcher->acknowledge(quotes.at(span.index).id);
}

void TickerController::noteChanges(const QList<Quote> &quotes)
{
    const qint64 now = Clock::current().monotonicMs();
    bool flashed = false;
    QHash<QUuid, QString> values;
    for (const Quote &quote : quotes) {
        // Only fetched values count (placeholders carry no fetch time), so the first value
        // of an item never flashes, only one that differs from the value fetched before it.
        if (quote.id.isNull() || !quote.at.isValid())
            continue;
        values.insert(quote.id, quote.price);
        const auto before = m_lastValues.constFind(quote.id);
        if (before != m_lastValues.cend() && *before != quote.price) {
            m_flashUntil.insert(quote.id, now + flashMs);
            flashed = true;
        }
    }
    m_lastValues = std::move(values);
    if (flashed) {
        m_flashTimer.start(std::chrono::milliseconds(flashMs));
        scheduleApply();
    }
}

void TickerController::endFlashes()
{
    const qint64 now = Clock::current().monotonicMs();
    qint64 next = 0;
    for (auto it = m_flashUntil.begin(); it != m_flashUntil.end();) {
        if (it.value() <= now) {
            it = m_flashUntil.erase(it);
        } else {
            next = next == 0 ? it.value() : std::min(next, it.value());
            ++it;
        }
    }
    if (next > 0)
        m_flashTimer.start(std::chrono::milliseconds(next - now));
    scheduleApply();
}

LineWorker::Request TickerController::request() const
{
    // The quotes and, on a two-line band, the headlines or a placeholder text until they arrive.
    LineWorker::Request request;
    request.quotes = shownQuotesOf(m_data.quotes());
    request.stale = staleFlags(request.quotes);
    request.hasNews = m_settings.variant() == BarVariant::thick;
    if (request.hasNews) {
        const QList<NewsSource> sources = m_settings.newsSources();
        const bool anyEnabled =
            std::any_of(sources.begin(), sources.end(), [](const NewsSource &s) { return s.enabled; });
        request.message =
            !anyEnabled ? noSourceMessage() : (m_news.nothingRead() ? unreadableMessage() : loadingMessage());
        request.headlines = m_news.headlines();
    }
    request.style = m_settings.fontStyle();
    request.pitch = m_settings.ledSize();
    request.theme = m_settings.theme();
    request.upDown = m_look->upDownColours();
    request.sparklines = m_look->sparklines();
    // In the order of the quotes, so the same marks make an equal request.
    for (const Quote &quote : std::as_const(request.quotes)) {
        if (m_alertWatcher && m_alertWatcher->isAlerting(quote.id))
            request.alerting.append(quote.id);
        if (m_flashUntil.contains(quote.id))
            request.flashing.append(quote.id);
    }
    return request;
}

BandPlacement TickerController::placement()
{
    // One LED size per row.
    const int rows = LedBuilder::rows(m_settings.fontStyle(), m_settings.variant());
    const double exactHeight = m_settings.ledSize() * rows;
    const int height =
        std::isfinite(exactHeight) ? static_cast<int>(std::clamp(std::lround(exactHeight), 1L, 100000L)) : 1;

    // On the chosen screen, the primary one while it is missing.
    const WindowLevelMode level = m_settings.levelMode();
    BandPlacement placement;
    placement.edge = m_settings.position();
    placement.height = height;
    placement.level = level;
    placement.exclusive = level == WindowLevelMode::front && m_settings.pushWindows();
    m_bandScreen = BandGeometry::screenNamed(m_screenChoice->screenName());
    if (QScreen *screen = m_bandScreen) {
        const QRect available = BandGeometry::availableArea(screen, *m_windowSystem, m_surface->reservesStrip());
        placement.frame = BandGeometry::bandFrame(screen->geometry(), available, placement.edge, height);
        placement.output = screen->name();
    }
    // A surface that anchors itself finds the output by the compositor's name, which Qt's
    // screens do not carry when its windows go through XWayland ("XWAYLAND0").
    if (!m_screenChoice->screenName().isEmpty())
        placement.output = m_screenChoice->screenName();
    return placement;
}

void TickerController::apply()
{
    ++m_counters.applies;

    // 1. The band moved, re-levelled and raised only when it differs or is hidden.
    const BandPlacement placement = this->placement();
    const BandSurface::PlaceResult placed = m_surface->place(placement);
    if (placed.moved)
        ++m_counters.moves;
    if (placed.levelled)
        ++m_counters.levels;

    // 2. The lines: a change of speed shows at once; new content when the worker has built
    // it. The first lines are built here, so the band never starts empty.
    LineWorker::Request request = this->request();
    request.scale = m_surface->scale(); // tiles for the pixel density of where the band now is
    if (m_lines.speed != m_settings.speed() || m_lines.steps != m_motionChoice->reducedMotion()) {
        m_lines.speed = m_settings.speed();
        m_lines.steps = m_motionChoice->reducedMotion();
        m_surface->linesChanged();
    }
    if (!m_requested || *m_requested != request) {
        m_requested = request;
        if (m_counters.applies == 1)
            show(LineWorker::build(std::move(request)));
        else
            m_worker.submit(std::move(request));
    }

    // 3. The avoider works only for a band that floats above the other windows, and is not
    // needed where the compositor itself keeps windows out of the band's strip.
    if (m_avoider)
        m_avoider->update(!m_surface->capabilities().keepsStripClear && placement.exclusive,
                          QRectF(m_surface->frame()));
}
