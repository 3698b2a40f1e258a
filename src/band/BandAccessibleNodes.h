#pragma once

#include <QAccessible>
#include <QAccessibleObject>

class BandAccessibility;

/**
 * The accessible objects of a band (BandAccessibility): the band itself over the object that
 * shows it, then one list per line and one list item per item. The band owns its lists and
 * items and drops them before it goes; the band object itself is the toolkit's, kept with the
 * object it stands for, and looks its band up on each question.
 */
class BandAccessibleRoot : public QAccessibleObject
{
public:
    explicit BandAccessibleRoot(QObject *anchor);

    bool isValid() const override;
    QAccessibleInterface *parent() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QString text(QAccessible::Text type) const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QRect rect() const override;
    QWindow *window() const override;

private:
    BandAccessibility *band() const;
};

/** One line of the band, a list of its items. */
class BandAccessibleLine : public QAccessibleInterface
{
public:
    BandAccessibleLine(const BandAccessibility &band, int line);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::List; }
    QAccessible::State state() const override;
    QRect rect() const override;
    QWindow *window() const override;

    int line() const { return m_line; }

private:
    const BandAccessibility &m_band;
    int m_line;
};

/** One item of a line. */
class BandAccessibleItem : public QAccessibleInterface
{
public:
    BandAccessibleItem(const BandAccessibility &band, int line, int index);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;
    QRect rect() const override;
    QWindow *window() const override;

    int line() const { return m_line; }
    int index() const { return m_index; }

private:
    const BandAccessibility &m_band;
    int m_line;
    int m_index;
};
