#include "settingsui/WatchItemRow.h"

#include "settingsui/ContentTab.h"
#include "settingsui/FlatControlStyle.h"
#include "settingsui/Icons.h"
#include "settingsui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

Icons::Symbol kindSymbol(ItemKind kind)
{
    switch (kind) {
    case ItemKind::quote:
        return Icons::Symbol::chartUptrend;
    case ItemKind::weather:
        return Icons::Symbol::cloudSun;
    case ItemKind::metal:
        return Icons::Symbol::diamond;
    }
    return Icons::Symbol::chartUptrend;
}

} // namespace

// The row's texts are the content tab's: they keep its translation context.
WatchItemRow::WatchItemRow(const WatchItem &item, QWidget *parent)
    : QWidget(parent)
    , m_id(item.id)
{
    setObjectName(QStringLiteral("itemRow"));
    setProperty("itemId", item.id);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 8, 4);
    layout->setSpacing(8);

    m_remove = new QToolButton(this);
    m_remove->setObjectName(QStringLiteral("removeButton"));
    m_remove->setAutoRaise(true);
    m_remove->setToolTip(ContentTab::tr("Retirer du bandeau"));
    m_remove->setIconSize(QSize(20, 20));
    FlatControlStyle::apply(m_remove);
    layout->addWidget(m_remove);

    auto *kindIcon = new QLabel(this);
    kindIcon->setObjectName(QStringLiteral("kindIcon"));
    kindIcon->setFixedWidth(18);
    kindIcon->setAlignment(Qt::AlignCenter);
    kindIcon->setPixmap(Icons::drawn(kindSymbol(item.kind), UiStyle::secondaryText(this), 16));
    layout->addWidget(kindIcon);

    auto *stack = new QVBoxLayout();
    stack->setSpacing(0);
    m_label = new QLineEdit(item.label, this);
    m_label->setObjectName(QStringLiteral("labelField"));
    m_label->setPlaceholderText(QStringLiteral("AAPL, S&P500, BTC"));
    UiStyle::makeBorderless(m_label);
    m_label->setFont(UiStyle::font(m_label->font(), UiStyle::TextStyle::bodyMedium));
    stack->addWidget(m_label);
    m_symbol = new QLabel(item.symbol, this);
    m_symbol->setObjectName(QStringLiteral("symbolLabel"));
    UiStyle::styleLabel(m_symbol, UiStyle::TextStyle::caption, UiStyle::secondaryText(m_symbol));
    UiStyle::alignUnder(m_symbol, m_label);
    stack->addWidget(m_symbol);
    layout->addLayout(stack, 1);

    m_handle = new QLabel(this);
    m_handle->setObjectName(QStringLiteral("dragHandle"));
    m_handle->setPixmap(Icons::drawn(Icons::Symbol::line3Horizontal, UiStyle::tertiaryText(this), 16));
    m_handle->setCursor(Qt::OpenHandCursor);
    layout->addWidget(m_handle);

    m_remove->setIcon(QIcon(Icons::drawn(Icons::Symbol::minusCircleFill, Qt::white, 20)));
    m_remove->setAccessibleName(ContentTab::tr("Retirer %1 du bandeau").arg(item.label));

    connect(m_remove, &QToolButton::clicked, this, &WatchItemRow::removeClicked);
    connect(m_label, &QLineEdit::textEdited, this, &WatchItemRow::labelChanged);
    // Return commits the label as it stands; the window stays open.
    connect(m_label, &QLineEdit::returnPressed, this, [this] { emit labelChanged(m_label->text()); });
}

void WatchItemRow::display(const WatchItem &item)
{
    if (m_label->text() != item.label)
        m_label->setText(item.label);
    m_symbol->setText(item.symbol);
    m_remove->setAccessibleName(ContentTab::tr("Retirer %1 du bandeau").arg(item.label));
}

void WatchItemRow::setState(bool editing)
{
    m_remove->setVisible(editing);
    m_handle->setVisible(editing);
}
