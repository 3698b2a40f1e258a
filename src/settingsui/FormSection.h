#pragma once

#include <QFrame>
#include <QString>
#include <QWidget>

class QComboBox;
class QScrollArea;
class QLabel;
class QVBoxLayout;

/**
 * One section of a grouped form: an optional header above a rounded card that holds
 * the rows, with hairlines between the visible rows. Labelled rows share one height; the
 * pickers of a card share one width, and the controls that fill their row start in one column.
 */
class FormSection : public QWidget
{
    Q_OBJECT
public:
    /** The least height of a labelled row, whatever its control. */
    static constexpr int rowHeight = 36;

    explicit FormSection(const QString &title = QString(), QWidget *parent = nullptr);

    /** Adds `row` as the last row of the card and returns it. */
    QWidget *addRow(QWidget *row);
    /** A row of a label on the leading edge and `control` on the trailing edge. */
    QWidget *addRow(const QString &label, QWidget *control);
    /**
     * A row of a label, then `control` filling the row (a slider), then `trailing` (its value).
     * The labels of these rows share one width, so their controls start in one column.
     */
    QWidget *addRow(const QString &label, QWidget *control, QWidget *trailing);
    /** A widget of the header (next to the title), for a button on the trailing edge. */
    void setHeaderWidget(QWidget *widget);

    QLabel *titleLabel() const { return m_title; }

private:
    class Card;

    QWidget *labelledRow(const QString &label, QLabel **text);
    static void nameByLabel(QWidget *control, QLabel *text);
    void equalise();

    QLabel *m_title = nullptr;
    QWidget *m_header = nullptr;
    Card *m_card = nullptr;
    QVBoxLayout *m_rows = nullptr;
    QList<QComboBox *> m_pickers;
    QList<QLabel *> m_columnLabels;
};

/** The scrolling page of a grouped form: its sections stacked on the window background. */
class FormPage : public QWidget
{
    Q_OBJECT
public:
    /** The page's margin on either side of its cards. */
    static constexpr int margin = 20;

    explicit FormPage(QWidget *parent = nullptr);

    FormSection *addSection(const QString &title = QString());
    void addSection(FormSection *section);
    /** A widget below the sections, outside any card (a closing note). */
    void addTrailing(QWidget *widget);

private:
    void fitScrollBar(bool shown);

    QVBoxLayout *m_content = nullptr;
    QScrollArea *m_scroll = nullptr;
};
