#pragma once

#include "util/ClockTimer.h"

#include <QFrame>

#include <chrono>
#include <functional>

class QLabel;
class QPushButton;
class QShortcut;

/**
 * The bar that follows a deletion made at once: what was removed and "Annuler", for a few
 * seconds. Ctrl+Z does the same while it shows, except in a text field, which keeps the key
 * for its own text. A new deletion replaces the offer: only the last one can be undone.
 */
class UndoBar : public QFrame
{
    Q_OBJECT
public:
    /** How long an offer stands, on the process clock. */
    static constexpr std::chrono::milliseconds shownFor{8000};

    explicit UndoBar(QWidget *parent = nullptr);

    /** Shows `text` and offers `undo` until it is used, replaced or its time is up. */
    void offer(const QString &text, std::function<void()> undo);
    bool isOffering() const { return static_cast<bool>(m_action); }
    QString text() const;

    /** Runs the offered undo, once, and closes the bar. Nothing without an offer. */
    void undo();
    /** Closes the bar; what it offered can no longer be undone. */
    void dismiss();

signals:
    /** The bar closed: undone, dismissed or its time up; not when a new offer replaced the last. */
    void closed();

private:
    QLabel *m_text = nullptr;
    QPushButton *m_undo = nullptr;
    QShortcut *m_shortcut = nullptr;
    ClockTimer m_timer;
    std::function<void()> m_action;
};
