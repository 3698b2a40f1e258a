#include "band/BandAccessibleNodes.h"

#include "band/BandAccessibility.h"

#include <QCoreApplication>
#include <QWindow>

namespace {

QAccessibleInterface *rootOf(const BandAccessibility &band)
{
    return band.anchor() ? QAccessible::queryAccessibleInterface(band.anchor()) : nullptr;
}

} // namespace

BandAccessibleRoot::BandAccessibleRoot(QObject *anchor)
    : QAccessibleObject(anchor)
{}

BandAccessibility *BandAccessibleRoot::band() const
{
    return object() ? BandAccessibility::of(object()) : nullptr;
}

bool BandAccessibleRoot::isValid() const
{
    return QAccessibleObject::isValid() && band();
}

QAccessibleInterface *BandAccessibleRoot::parent() const
{
    QObject *anchor = object();
    // A window stands at the top, under the application; anything else sits in its parent.
    if (anchor && !anchor->isWindowType() && anchor->parent())
        return QAccessible::queryAccessibleInterface(anchor->parent());
    return QAccessible::queryAccessibleInterface(qApp);
}

int BandAccessibleRoot::childCount() const
{
    const BandAccessibility *b = band();
    return b ? int(b->shownLines().size()) : 0;
}

QAccessibleInterface *BandAccessibleRoot::child(int index) const
{
    const BandAccessibility *b = band();
    if (!b)
        return nullptr;
    const QList<int> lines = b->shownLines();
    if (index < 0 || index >= lines.size())
        return nullptr;
    return QAccessible::accessibleInterface(b->lineId(lines.at(index)));
}

int BandAccessibleRoot::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *line = dynamic_cast<const BandAccessibleLine *>(child);
    const BandAccessibility *b = band();
    if (!line || !b)
        return -1;
    return int(b->shownLines().indexOf(line->line()));
}

QString BandAccessibleRoot::text(QAccessible::Text type) const
{
    const BandAccessibility *b = band();
    if (!b)
        return {};
    return type == QAccessible::Name ? b->name() : QString();
}

QAccessible::Role BandAccessibleRoot::role() const
{
    return object() && object()->isWindowType() ? QAccessible::Window : QAccessible::Pane;
}

QAccessible::State BandAccessibleRoot::state() const
{
    QAccessible::State state;
    const BandAccessibility *b = band();
    state.invisible = !b || !b->isShown();
    // The band takes no focus and no input but the pointer's.
    state.readOnly = true;
    return state;
}

QRect BandAccessibleRoot::rect() const
{
    const BandAccessibility *b = band();
    return b ? b->frame() : QRect();
}

QWindow *BandAccessibleRoot::window() const
{
    if (auto *own = qobject_cast<QWindow *>(object()))
        return own;
    QAccessibleInterface *up = parent();
    return up ? up->window() : nullptr;
}

BandAccessibleLine::BandAccessibleLine(const BandAccessibility &band, int line)
    : m_band(band)
    , m_line(line)
{}

bool BandAccessibleLine::isValid() const
{
    return m_band.anchor() != nullptr;
}

QAccessibleInterface *BandAccessibleLine::parent() const
{
    return rootOf(m_band);
}

int BandAccessibleLine::childCount() const
{
    return m_band.itemCount(m_line);
}

QAccessibleInterface *BandAccessibleLine::child(int index) const
{
    const QAccessible::Id id = m_band.itemId(m_line, index);
    return id ? QAccessible::accessibleInterface(id) : nullptr;
}

int BandAccessibleLine::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *item = dynamic_cast<const BandAccessibleItem *>(child);
    if (!item || item->line() != m_line || item->index() >= childCount())
        return -1;
    return item->index();
}

QAccessibleInterface *BandAccessibleLine::childAt(int, int) const
{
    // The items move under any point: none is told as being at one.
    return nullptr;
}

QString BandAccessibleLine::text(QAccessible::Text type) const
{
    return type == QAccessible::Name ? m_band.lineName(m_line) : QString();
}

QAccessible::State BandAccessibleLine::state() const
{
    QAccessible::State state;
    state.invisible = !m_band.isShown();
    state.readOnly = true;
    return state;
}

QRect BandAccessibleLine::rect() const
{
    return m_band.lineRect(m_line);
}

QWindow *BandAccessibleLine::window() const
{
    QAccessibleInterface *root = rootOf(m_band);
    return root ? root->window() : nullptr;
}

BandAccessibleItem::BandAccessibleItem(const BandAccessibility &band, int line, int index)
    : m_band(band)
    , m_line(line)
    , m_index(index)
{}

bool BandAccessibleItem::isValid() const
{
    return m_band.anchor() != nullptr && m_index < m_band.itemCount(m_line);
}

QAccessibleInterface *BandAccessibleItem::parent() const
{
    const QAccessible::Id id = m_band.lineId(m_line);
    return id ? QAccessible::accessibleInterface(id) : nullptr;
}

QString BandAccessibleItem::text(QAccessible::Text type) const
{
    const BandItems::Reading &reading = m_band.item(m_line, m_index);
    switch (type) {
    case QAccessible::Name:
        return reading.name;
    case QAccessible::Description:
        return reading.description;
    default:
        return {};
    }
}

QAccessible::State BandAccessibleItem::state() const
{
    QAccessible::State state;
    state.invisible = !m_band.isShown();
    state.readOnly = true;
    state.linked = m_band.item(m_line, m_index).opens;
    return state;
}

QRect BandAccessibleItem::rect() const
{
    return m_band.lineRect(m_line);
}

QWindow *BandAccessibleItem::window() const
{
    QAccessibleInterface *root = rootOf(m_band);
    return root ? root->window() : nullptr;
}
