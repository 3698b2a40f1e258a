#pragma once

#include <QFrame>
#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;

/**
 * One section of a grouped form: an optional header above a rounded card that holds
 * the rows, with hairlines between the visible rows.
 */
class FormSection : public QWidget
{
    Q_OBJECT
public:
    explicit FormSection(const QString &title = QString(), QWidget *parent = nullptr);

    /** Adds `row` as the last row of the card and returns it. */
    QWidget *addRow(QWidget *row);
    /** A row of a label on the leading edge and `control` on the trailing edge. */
    QWidget *addRow(const QString &label, QWidget *control);
    /** A widget of the header (next to the title), for a button on the trailing edge. */
    void setHeaderWidget(QWidget *widget);

    QLabel *titleLabel() const { return m_title; }

private:
    class Card;

    QLabel *m_title = nullptr;
    QWidget *m_header = nullptr;
    Card *m_card = nullptr;
    QVBoxLayout *m_rows = nullptr;
};

/** The scrolling page of a grouped form: its sections stacked on the window background. */
class FormPage : public QWidget
{
    Q_OBJECT
public:
    explicit FormPage(QWidget *parent = nullptr);

    FormSection *addSection(const QString &title = QString());
    void addSection(FormSection *section);
    /** A widget below the sections, outside any card (a closing note). */
    void addTrailing(QWidget *widget);

private:
    QVBoxLayout *m_content = nullptr;
};
