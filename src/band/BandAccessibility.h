#pragma once

#include "band/BandItems.h"

#include <QAccessible>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>

#include <array>

class BandSurface;

/**
 * The band as screen readers read it: the object the surface shows it in (its window, or an
 * object standing in for one) becomes a band with one list per line and one list item per item
 * the line shows, named by what the item says (BandItems::reading).
 *
 * The owner calls itemsChanged() whenever the lines show other items; while an assistive
 * technology listens, the lists are brought up to date at once and it hears which items came,
 * went or changed. Otherwise nothing is read until something asks.
 */
class BandAccessibility
{
public:
    /**
     * Makes the object `surface` shows the band in (BandSurface::accessibleObject) read as the
     * band, showing `items`; both must outlive this. A surface without one leaves the band unread.
     */
    BandAccessibility(const BandSurface &surface, const BandItems &items);
    ~BandAccessibility();
    BandAccessibility(const BandAccessibility &) = delete;
    BandAccessibility &operator=(const BandAccessibility &) = delete;

    /** The band's accessible name and those of its two lines (BandLines::Line order). */
    void setNames(const QString &band, const QString &quotesLine, const QString &newsLine);

    /** The items shown changed. */
    void itemsChanged();

    /** The band made readable from `anchor`, or null. */
    static BandAccessibility *of(const QObject *anchor);

    // What the accessible objects read.
    QObject *anchor() const { return m_anchor; }
    const QString &name() const { return m_name; }
    /** The band's frame in logical screen coordinates. */
    QRect frame() const;
    bool isShown() const;
    /** The lines shown, in order, as BandLines::Line values. */
    QList<int> shownLines() const;
    QString lineName(int line) const;
    QRect lineRect(int line) const;
    int itemCount(int line) const;
    const BandItems::Reading &item(int line, int index) const;
    QAccessible::Id lineId(int line) const;
    QAccessible::Id itemId(int line, int index) const;

private:
    struct Line
    {
        QString name;
        QList<BandItems::Reading> items;
        QAccessible::Id id = 0;
        QList<QAccessible::Id> itemIds;
    };

    /** Reads the items again; tells what changed when `notify`. */
    void refresh(bool notify);
    void refreshIfStale() const;
    /** Tells assistive technologies of `event` on the object `id`. */
    static void tell(QAccessible::Id id, QAccessible::Event event);
    void dropInterfaces();

    const BandSurface &m_surface;
    const BandItems &m_items;
    QPointer<QObject> m_anchor;
    const QObject *m_key; // the anchor's address, which the registry knows it by
    QString m_name;
    std::array<Line, 2> m_line;
    mutable bool m_stale = true;
};
