#pragma once

#include "search/Suggestion.h"

#include <QAbstractButton>

/** A search suggestion: title above subtitle, a plus sign at the end, clickable over its whole width. */
class SuggestionButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit SuggestionButton(const Suggestion &suggestion, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
