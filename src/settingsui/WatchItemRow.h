#pragma once

#include "types/WatchItem.h"

#include <QUuid>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

/**
 * One watched item in the content tab's list: in edit mode a remove button, then the item's
 * kind, its label (editable in place) over its symbol, and in edit mode the drag handle.
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
    /** Shows the controls of edit mode. */
    void setState(bool editing);

signals:
    /** The remove button was clicked: the item goes at once, with a way to undo it. */
    void removeClicked();
    /** The label was edited, or committed with Return, and now reads `label`. */
    void labelChanged(const QString &label);

private:
    QUuid m_id;
    QToolButton *m_remove = nullptr;
    QLineEdit *m_label = nullptr;
    QLabel *m_symbol = nullptr;
    QLabel *m_handle = nullptr;
};
