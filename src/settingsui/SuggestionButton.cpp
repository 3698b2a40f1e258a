#include "settingsui/SuggestionButton.h"

#include "settingsui/Icons.h"
#include "settingsui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

SuggestionButton::SuggestionButton(const Suggestion &suggestion, QWidget *parent)
    : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("suggestion"));
    setCursor(Qt::PointingHandCursor);
    setText(suggestion.title);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    auto *stack = new QVBoxLayout();
    stack->setSpacing(1);
    auto *title = new QLabel(suggestion.title, this);
    title->setObjectName(QStringLiteral("suggestionTitle"));
    stack->addWidget(title);
    auto *subtitle = new QLabel(suggestion.subtitle, this);
    subtitle->setObjectName(QStringLiteral("suggestionSubtitle"));
    UiStyle::styleLabel(subtitle, UiStyle::TextStyle::caption, UiStyle::secondaryText(subtitle));
    subtitle->setVisible(!suggestion.subtitle.isEmpty());
    stack->addWidget(subtitle);
    layout->addLayout(stack, 1);
    auto *plus = new QLabel(this);
    plus->setPixmap(Icons::drawn(Icons::Symbol::plusCircleFill, palette().color(QPalette::Highlight), 18));
    layout->addWidget(plus);
    for (QLabel *label : {title, subtitle, plus})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SuggestionButton::setCurrent(bool current)
{
    if (m_current == current)
        return;
    m_current = current;
    update();
}

void SuggestionButton::paintEvent(QPaintEvent *)
{
    if (!underMouse() && !isDown() && !m_current)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor highlight = palette().color(QPalette::Highlight);
    QColor tint = highlight;
    tint.setAlpha(isDown() || m_current ? 50 : 25);
    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    const QRectF area = QRectF(rect()).adjusted(-4, 0, 4, 0);
    p.drawRoundedRect(area, 6, 6);
    // The keyboard's choice is ringed as well, so it shows without relying on the tint.
    if (m_current) {
        p.setPen(QPen(highlight, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    }
}

void SuggestionButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    update();
}

void SuggestionButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    update();
}
