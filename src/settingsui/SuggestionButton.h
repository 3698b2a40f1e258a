#pragma once

#include "search/Suggestion.h"

#include <QAbstractButton>

/** A search suggestion: title above subtitle, a plus sign at the end, clickable over its whole width. */
class SuggestionButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit SuggestionButton(const Suggestion &suggestion, QWidget *parent = nullptr);

    /** Marks the suggestion the search field's Up and Down keys are on: Enter adds it. */
    void setCurrent(bool current);
    bool isCurrent() const { return m_current; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool m_current = false;
};
