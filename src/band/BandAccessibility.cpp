#include "band/BandAccessibility.h"

#include "band/BandAccessibleNodes.h"
#include "band/BandLines.h"
#include "band/BandSurface.h"

#include <QHash>

#include <algorithm>

namespace {

/** The bands made readable, by the object each stands on. */
QHash<const QObject *, BandAccessibility *> &registry()
{
    static QHash<const QObject *, BandAccessibility *> bands;
    return bands;
}

QAccessibleInterface *bandFactory(const QString &, QObject *object)
{
    if (object && registry().contains(object))
        return new BandAccessibleRoot(object);
    return nullptr;
}

} // namespace

BandAccessibility::BandAccessibility(const BandSurface &surface, const BandItems &items)
    : m_surface(surface)
    , m_items(items)
    , m_anchor(surface.accessibleObject())
    , m_key(m_anchor.data())
{
    static const bool installed = [] {
        QAccessible::installFactory(bandFactory);
        return true;
    }();
    Q_UNUSED(installed)
    if (!m_key)
        return;
    registry().insert(m_key, this);
    // A widget asked about before it became the band answers as a plain widget until dropped.
    QAccessibleInterface *known = QAccessible::queryAccessibleInterface(m_anchor);
    if (known && !dynamic_cast<BandAccessibleRoot *>(known))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
}

BandAccessibility::~BandAccessibility()
{
    dropInterfaces();
    if (!m_key)
        return;
    if (m_anchor) {
        if (QAccessibleInterface *root = QAccessible::queryAccessibleInterface(m_anchor))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(root));
    }
    registry().remove(m_key);
}

BandAccessibility *BandAccessibility::of(const QObject *anchor)
{
    return registry().value(anchor, nullptr);
}

void BandAccessibility::setNames(const QString &band, const QString &quotesLine, const QString &newsLine)
{
    const bool bandChanged = band != m_name;
    m_name = band;
    std::array<QString, 2> names{quotesLine, newsLine};
    for (std::size_t i = 0; i < m_line.size(); ++i) {
        const bool changed = m_line[i].name != names[i];
        m_line[i].name = names[i];
        if (changed && m_line[i].id)
            tell(m_line[i].id, QAccessible::NameChanged);
    }
    if (bandChanged && m_anchor && QAccessible::isActive()) {
        QAccessibleEvent event(m_anchor.data(), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void BandAccessibility::itemsChanged()
{
    m_stale = true;
    // Nobody listens: the items are read when somebody asks, and cost nothing until then.
    if (m_anchor && QAccessible::isActive())
        refresh(true);
}

void BandAccessibility::refreshIfStale() const
{
    if (m_stale)
        const_cast<BandAccessibility *>(this)->refresh(false);
}

void BandAccessibility::tell(QAccessible::Id id, QAccessible::Event type)
{
    if (!QAccessible::isActive())
        return;
    if (QAccessibleInterface *object = QAccessible::accessibleInterface(id)) {
        QAccessibleEvent event(object, type);
        QAccessible::updateAccessibility(&event);
    }
}

void BandAccessibility::refresh(bool notify)
{
    m_stale = false;
    if (!m_anchor)
        return;
    for (int l = 0; l < int(m_line.size()); ++l) {
        Line &line = m_line[std::size_t(l)];
        QList<BandItems::Reading> now;
        const QList<LineSpan> &spans = m_items.spans(l);
        now.reserve(spans.size());
        for (const LineSpan &span : spans)
            now.append(m_items.reading(l, span));

        // Items that went are told while they can still say where they were.
        while (line.itemIds.size() > now.size()) {
            const QAccessible::Id id = line.itemIds.takeLast();
            if (notify)
                tell(id, QAccessible::ObjectDestroyed);
            QAccessible::deleteAccessibleInterface(id);
        }
        const bool lineGoes = line.id && now.isEmpty();
        if (lineGoes) {
            if (notify)
                tell(line.id, QAccessible::ObjectDestroyed);
            QAccessible::deleteAccessibleInterface(line.id);
            line.id = 0;
        }

        const QList<BandItems::Reading> before = std::exchange(line.items, now);
        if (now.isEmpty())
            continue;
        const bool lineComes = !line.id;
        if (lineComes)
            line.id = QAccessible::registerAccessibleInterface(new BandAccessibleLine(*this, l));
        for (int i = 0; i < line.itemIds.size(); ++i) {
            if (!notify || lineComes)
                break;
            if (before.at(i).name != now.at(i).name)
                tell(line.itemIds.at(i), QAccessible::NameChanged);
            if (before.at(i).description != now.at(i).description)
                tell(line.itemIds.at(i), QAccessible::DescriptionChanged);
        }
        while (line.itemIds.size() < now.size()) {
            const int index = int(line.itemIds.size());
            line.itemIds.append(QAccessible::registerAccessibleInterface(new BandAccessibleItem(*this, l, index)));
            if (notify && !lineComes)
                tell(line.itemIds.last(), QAccessible::ObjectCreated);
        }
        if (notify && lineComes)
            tell(line.id, QAccessible::ObjectCreated);
    }
}

void BandAccessibility::dropInterfaces()
{
    for (Line &line : m_line) {
        for (QAccessible::Id id : std::as_const(line.itemIds))
            QAccessible::deleteAccessibleInterface(id);
        line.itemIds.clear();
        line.items.clear();
        if (line.id)
            QAccessible::deleteAccessibleInterface(line.id);
        line.id = 0;
    }
    m_stale = true;
}

QRect BandAccessibility::frame() const
{
    return m_surface.frame();
}

bool BandAccessibility::isShown() const
{
    return m_surface.isShown();
}

QList<int> BandAccessibility::shownLines() const
{
    refreshIfStale();
    QList<int> shown;
    for (int l = 0; l < int(m_line.size()); ++l) {
        if (m_line[std::size_t(l)].id)
            shown.append(l);
    }
    return shown;
}

QString BandAccessibility::lineName(int line) const
{
    return line >= 0 && line < int(m_line.size()) ? m_line[std::size_t(line)].name : QString();
}

QRect BandAccessibility::lineRect(int line) const
{
    const QRect band = frame();
    if (line < 0 || line >= BandLines::lineCount)
        return {};
    const ScrollLine &scroll = m_surface.lines().line(line);
    if (!scroll.placement())
        return band;
    const auto &placement = *scroll.placement();
    return QRect(band.x(), band.y() + qRound(placement.y), band.width(), qRound(scroll.height()));
}

int BandAccessibility::itemCount(int line) const
{
    refreshIfStale();
    return line >= 0 && line < int(m_line.size()) ? int(m_line[std::size_t(line)].items.size()) : 0;
}

const BandItems::Reading &BandAccessibility::item(int line, int index) const
{
    static const BandItems::Reading none;
    refreshIfStale();
    if (line < 0 || line >= int(m_line.size()))
        return none;
    const QList<BandItems::Reading> &items = m_line[std::size_t(line)].items;
    return index >= 0 && index < items.size() ? items.at(index) : none;
}

QAccessible::Id BandAccessibility::lineId(int line) const
{
    refreshIfStale();
    return line >= 0 && line < int(m_line.size()) ? m_line[std::size_t(line)].id : 0;
}

QAccessible::Id BandAccessibility::itemId(int line, int index) const
{
    refreshIfStale();
    if (line < 0 || line >= int(m_line.size()))
        return 0;
    const QList<QAccessible::Id> &ids = m_line[std::size_t(line)].itemIds;
    return index >= 0 && index < ids.size() ? ids.at(index) : 0;
}
