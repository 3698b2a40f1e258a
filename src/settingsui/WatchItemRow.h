#pragma once

#include "types/WatchItem.h"

#include <QUuid>
#include <QVariantAnimation>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

/**
 * One watched item in the content tab's list: a remove button and the item's kind, its label
 * (editable in place) over its symbol, and, in edit mode, either the drag handle or the
 * "Supprimer" button that confirms a removal.
 */
class WatchItemRow : public QWidget
{
    Q_OBJECT
public:
    explicit WatchItemRow(const WatchItem &item, QWidget *parent = nullptr);

    /** The item this row stands for; rows are matched to items by it. */
    QUuid id() const { return m_id; }

    /** Shows the item's label and symbol; a label being typed keeps its field and cursor. */
    void display(const WatchItem &item);
    /** Shows the controls of edit mode; `pending` while the item's removal awaits confirmation. */
    void setState(bool editing, bool pending);

signals:
    /** The remove button was clicked: the removal is asked for, or asked for no more. */
    void removeClicked();
    /** "Supprimer" confirmed the removal. */
    void deleteClicked();
    /** The label was edited, or committed with Return, and now reads `label`. */
    void labelChanged(const QString &label);

private:
    void setAngle(qreal degrees);

    QUuid m_id;
    qreal m_angle = 0;
    QVariantAnimation m_turn;
    QToolButton *m_remove = nullptr;
    QLineEdit *m_label = nullptr;
    QLabel *m_symbol = nullptr;
    QPushButton *m_confirm = nullptr;
    QLabel *m_handle = nullptr;
};
