#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

class QAction;

/**
 * The band's menu as the program draws it on the layer surface: its items laid out in rows in
 * the desktop's font and menu colours, separators between groups, a check mark on checked
 * items, the highlighted row in the selection colours.
 */
class MenuPicture
{
public:
    /** One row of the menu. */
    struct Entry
    {
        QString text;
        bool separator = false;
        bool checkable = false;
        bool checked = false;
        bool enabled = true;

        friend bool operator==(const Entry &, const Entry &) = default;
    };

    /** Most rows drawn, and most characters of a row. */
    static constexpr qsizetype maxEntries = 64;
    static constexpr qsizetype maxTextLength = 120;

    /** The visible items of `actions` as rows, their shortcut markers ("&") taken out. */
    static QList<Entry> entriesOf(const QList<QAction *> &actions);

    explicit MenuPicture(QList<Entry> entries);

    const QList<Entry> &entries() const { return m_entries; }
    /** Logical pixels. */
    QSize size() const { return m_size; }
    /** The row at `point` (logical pixels in the menu) that can be chosen; −1 for none. */
    int entryAt(const QPointF &point) const;
    /** Where row `index` stands in the menu, logical pixels. */
    QRect entryRect(int index) const;
    /** The next row that can be chosen after `index` going `step` (1 or −1), wrapping; −1 for none. */
    int nextChoosable(int index, int step) const;

    /** The menu with row `highlighted` (−1 for none) highlighted, at `scale` device pixels per logical one. */
    QImage paint(int highlighted, int scale) const;

private:
    bool isChoosable(int index) const;

    QList<Entry> m_entries;
    QList<QRect> m_rects;
    QSize m_size;
};
