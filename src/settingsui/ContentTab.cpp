#include "settingsui/ContentTab.h"

#include "search/SearchModel.h"
#include "settings/Settings.h"
#include "settingsui/AlertEditor.h"
#include "settingsui/BusyIndicator.h"
#include "settingsui/EnumTitles.h"
#include "settingsui/FormSection.h"
#include "settingsui/Icons.h"
#include "settingsui/NewsSection.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/SuggestionButton.h"
#include "settingsui/UiStyle.h"
#include "settingsui/WatchItemRow.h"
#include "settingsui/WatchItemsList.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int minimumListHeight = 170;

QString queryPlaceholder(ItemKind kind)
{
    switch (kind) {
    case ItemKind::quote:
        return QStringLiteral("AAPL, S&P500, BTC");
    case ItemKind::weather:
        return ContentTab::tr("Paris, Lyon, Tokyo");
    case ItemKind::metal:
        return ContentTab::tr("Or, Argent, Cuivre");
    }
    return QString();
}

} // namespace

ContentTab::ContentTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_environment(environment)
    , m_search(new SearchModel(settings, environment.http(), this))
{
    setObjectName(QStringLiteral("contentTab"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *page = new FormPage(this);
    outer->addWidget(page);

    buildItemsSection(*page);
    buildAddSection(*page);
    buildMetalsSection(*page);
    m_news = new NewsSection(settings, environment);
    page->addSection(m_news);

    connectUserActions();
    connectSearch();
    connectSettings();
    showMetalChoices();
    syncItems();
}

/** The watched items, with the button that enters edit mode. */
void ContentTab::buildItemsSection(FormPage &page)
{
    FormSection *watched = page.addSection(tr("Affiché dans le bandeau"));
    m_editButton = new QPushButton(tr("Modifier"));
    m_editButton->setObjectName(QStringLiteral("editButton"));
    m_editButton->setFlat(true);
    m_editButton->setAutoDefault(false);
    m_editButton->setCursor(Qt::PointingHandCursor);
    m_editButton->setStyleSheet(
        QStringLiteral("QPushButton { border: none; padding: 0 2px; color: %1; }").arg(UiStyle::linkText(this).name()));
    watched->setHeaderWidget(m_editButton);
    auto *itemsBox = new QWidget();
    auto *itemsLayout = new QVBoxLayout(itemsBox);
    itemsLayout->setContentsMargins(0, 4, 0, 4);
    m_emptyHint = new QLabel(tr("Rien à afficher. Ajoute une valeur ci-dessous."), itemsBox);
    m_emptyHint->setObjectName(QStringLiteral("emptyHint"));
    UiStyle::styleLabel(m_emptyHint, UiStyle::TextStyle::body, UiStyle::secondaryText(m_emptyHint));
    itemsLayout->addWidget(m_emptyHint);
    m_list = new WatchItemsList(itemsBox);
    itemsLayout->addWidget(m_list);
    m_limitNote = UiStyle::note(itemLimitNote(), itemsBox);
    m_limitNote->setObjectName(QStringLiteral("itemLimitNote"));
    itemsLayout->addWidget(m_limitNote);
    watched->addRow(itemsBox);
}

/** The kind picker, the search field and what the search found. */
void ContentTab::buildAddSection(FormPage &page)
{
    FormSection *add = page.addSection(tr("Ajouter"));
    m_kindPicker = new QComboBox();
    m_kindPicker->setObjectName(QStringLiteral("kindPicker"));
    for (ItemKind kind : allCases<ItemKind>())
        m_kindPicker->addItem(title(kind), static_cast<int>(kind));
    add->addRow(tr("Type"), m_kindPicker);
    auto *searchRow = new QWidget();
    auto *searchLayout = new QHBoxLayout(searchRow);
    searchLayout->setContentsMargins(0, 6, 0, 6);
    searchLayout->setSpacing(8);
    auto *glass = new QLabel(searchRow);
    glass->setPixmap(Icons::icon(Icons::Symbol::magnifyingGlass, UiStyle::secondaryText(this)).pixmap(16, 16));
    searchLayout->addWidget(glass);
    m_query = new QLineEdit(searchRow);
    m_query->setObjectName(QStringLiteral("searchField"));
    UiStyle::makeBorderless(m_query);
    m_query->setPlaceholderText(queryPlaceholder(m_kind));
    searchLayout->addWidget(m_query, 1);
    m_busy = new BusyIndicator(14, searchRow);
    m_busy->setObjectName(QStringLiteral("searchBusy"));
    m_busy->hide();
    searchLayout->addWidget(m_busy);
    add->addRow(searchRow);
    m_message = new QLabel();
    m_message->setObjectName(QStringLiteral("searchMessage"));
    m_message->setWordWrap(true);
    UiStyle::styleLabel(m_message, UiStyle::TextStyle::footnote, UiStyle::readableText(UiStyle::orange(), m_message));
    m_message->setContentsMargins(0, 4, 0, 4);
    m_message->hide();
    add->addRow(m_message);
    m_suggestionsBox = new QWidget();
    m_suggestionsBox->setObjectName(QStringLiteral("suggestions"));
    m_suggestionsLayout = new QVBoxLayout(m_suggestionsBox);
    m_suggestionsLayout->setContentsMargins(0, 2, 0, 2);
    m_suggestionsLayout->setSpacing(2);
    m_suggestionsBox->hide();
    add->addRow(m_suggestionsBox);
}

/** The currency and unit of metal prices, shown while a metal is watched or being searched. */
void ContentTab::buildMetalsSection(FormPage &page)
{
    m_metals = page.addSection(tr("Métaux"));
    m_metals->setObjectName(QStringLiteral("metalsSection"));
    m_currency = new QComboBox();
    m_currency->setObjectName(QStringLiteral("currencyPicker"));
    for (const char *code : {"EUR", "USD", "GBP", "CHF"})
        m_currency->addItem(QLatin1String(code), QLatin1String(code));
    m_metals->addRow(tr("Devise"), m_currency);
    m_unit = new QComboBox();
    m_unit->setObjectName(QStringLiteral("unitPicker"));
    m_unit->addItem(tr("Once troy (toz)"), QStringLiteral("toz"));
    m_unit->addItem(tr("Gramme (g)"), QStringLiteral("g"));
    m_metals->addRow(tr("Unité"), m_unit);
    QLabel *schedule =
        UiStyle::note(tr("Les métaux et la météo sont actualisés 3 fois par jour : 9h00, 12h30 et 17h00."));
    schedule->setContentsMargins(0, 6, 0, 6);
    m_metals->addRow(schedule);
}

void ContentTab::connectUserActions()
{
    connect(m_editButton, &QPushButton::clicked, this, [this] { setEditing(!m_editing); });
    connect(m_list, &WatchItemsList::moveRequested, this, &ContentTab::moveItems);
    connect(m_kindPicker, &QComboBox::currentIndexChanged, this,
            [this] { setKind(static_cast<ItemKind>(m_kindPicker->currentData().toInt())); });
    connect(m_query, &QLineEdit::textEdited, this, [this](const QString &text) { m_search->schedule(text, m_kind); });
    // Return asks for the results at once instead of after the typing pause.
    connect(m_query, &QLineEdit::returnPressed, this,
            [this] { m_search->schedule(m_query->text(), m_kind, std::chrono::milliseconds(0)); });
    connect(m_currency, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setMetalCurrency(m_currency->currentData().toString()); });
    connect(m_unit, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setMetalUnit(m_unit->currentData().toString()); });
}

/** The search model's state: its results, its progress and what it has to say. */
void ContentTab::connectSearch()
{
    connect(m_search, &SearchModel::resultsChanged, this, &ContentTab::syncSuggestions);
    connect(m_search, &SearchModel::busyChanged, this, [this](bool busy) { m_busy->setVisible(busy); });
    connect(m_search, &SearchModel::messageChanged, this, [this](const std::optional<QString> &message) {
        m_message->setText(message.value_or(QString()));
        m_message->setVisible(message.has_value());
    });
}

/** Settings changes, from here or elsewhere, and the refreshes they call for. */
void ContentTab::connectSettings()
{
    connect(&m_settings, &Settings::itemsChanged, this, &ContentTab::onSettingsItemsChanged);
    // The settings announce only real changes, so each one calls for its refresh.
    connect(&m_settings, &Settings::newsSourcesChanged, this, [this] { m_environment.requestNewsRefresh(); });
    connect(&m_settings, &Settings::metalCurrencyChanged, this, [this](const QString &currency) {
        const QSignalBlocker blocker(m_currency);
        m_currency->setCurrentIndex(m_currency->findData(currency));
        m_environment.requestDataRefresh(true);
    });
    connect(&m_settings, &Settings::metalUnitChanged, this, [this](const QString &unit) {
        const QSignalBlocker blocker(m_unit);
        m_unit->setCurrentIndex(m_unit->findData(unit));
        m_environment.requestDataRefresh(true);
    });
}

/** The stored currency and unit, shown without counting as the user's choice. */
void ContentTab::showMetalChoices()
{
    const QSignalBlocker currencyBlocker(m_currency);
    m_currency->setCurrentIndex(m_currency->findData(m_settings.metalCurrency()));
    const QSignalBlocker unitBlocker(m_unit);
    m_unit->setCurrentIndex(m_unit->findData(m_settings.metalUnit()));
}

ContentTab::~ContentTab() = default;

QString ContentTab::itemLimitNote()
{
    return tr("Seules les %1 premières valeurs s'affichent dans le bandeau ; les suivantes sont gardées ici.")
        .arg(maxActiveWatchItems);
}

void ContentTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_kind == ItemKind::metal)
        m_search->schedule(QString(), ItemKind::metal);
}

void ContentTab::setEditing(bool editing)
{
    m_editing = editing;
    m_confirmId.reset();
    m_editButton->setText(editing ? tr("OK") : tr("Modifier"));
    QFont font = m_editButton->font();
    font.setWeight(editing ? QFont::DemiBold : QFont::Normal);
    m_editButton->setFont(font);
    syncRowStates();
}

void ContentTab::setKind(ItemKind kind)
{
    m_kind = kind;
    m_query->clear();
    m_query->setPlaceholderText(queryPlaceholder(kind));
    m_search->clear();
    if (kind == ItemKind::metal)
        m_search->schedule(QString(), ItemKind::metal);
    syncMetalsSection();
}

void ContentTab::onSettingsItemsChanged()
{
    syncItems();
    m_environment.requestDataRefresh(false);
}

void ContentTab::syncItems()
{
    const QList<WatchItem> items = m_settings.items();
    bool sameRows = items.size() == m_rows.size();
    for (qsizetype i = 0; sameRows && i < items.size(); ++i)
        sameRows = m_rows.at(i)->id() == items.at(i).id;
    if (sameRows) {
        // In place, so a label being typed keeps its field and cursor.
        for (qsizetype i = 0; i < items.size(); ++i)
            m_rows.at(i)->display(items.at(i));
    } else {
        rebuildRows();
    }
    if (m_confirmId) {
        const bool stillThere = std::any_of(items.cbegin(), items.cend(),
                                            [this](const WatchItem &item) { return item.id == *m_confirmId; });
        if (!stillThere)
            m_confirmId.reset();
    }
    m_emptyHint->setVisible(items.isEmpty());
    m_list->setVisible(!items.isEmpty());
    m_limitNote->setVisible(items.size() > maxActiveWatchItems);
    syncRowStates();
    syncMetalsSection();
}

void ContentTab::rebuildRows()
{
    const QList<WatchItem> items = m_settings.items();
    m_list->clear(); // deletes the row widgets with their items
    m_rows.clear();
    int height = 0;
    for (const WatchItem &item : items) {
        auto *entry = new QListWidgetItem(m_list);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        auto *row = new WatchItemRow(item, m_list);
        AlertEditor::attach(row, item, m_environment);
        row->setState(true, false); // measure with every control present
        entry->setSizeHint(QSize(0, row->sizeHint().height()));
        height += row->sizeHint().height();
        m_list->setItemWidget(entry, row);
        m_rows.append(row);

        const QUuid id = item.id;
        connect(row, &WatchItemRow::removeClicked, this, [this, id] { togglePending(id); });
        connect(row, &WatchItemRow::deleteClicked, this, [this, id] { removeItem(id); });
        connect(row, &WatchItemRow::labelChanged, this, [this, id](const QString &label) { relabel(id, label); });
    }
    m_list->setFixedHeight(qMax(minimumListHeight, height + 2 * m_list->frameWidth() + 4));
}

void ContentTab::syncRowStates()
{
    for (WatchItemRow *row : std::as_const(m_rows))
        row->setState(m_editing, m_confirmId && *m_confirmId == row->id());
}

void ContentTab::syncMetalsSection()
{
    const QList<WatchItem> items = m_settings.items();
    const bool watchesMetal =
        std::any_of(items.cbegin(), items.cend(), [](const WatchItem &item) { return item.kind == ItemKind::metal; });
    m_metals->setVisible(watchesMetal || m_kind == ItemKind::metal);
}

void ContentTab::syncSuggestions()
{
    while (QLayoutItem *child = m_suggestionsLayout->takeAt(0)) {
        if (QWidget *widget = child->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete child;
    }
    const QList<Suggestion> results = m_search->results();
    for (const Suggestion &suggestion : results) {
        auto *button = new SuggestionButton(suggestion, m_suggestionsBox);
        m_suggestionsLayout->addWidget(button);
        button->show(); // the box may already be visible: new children are not shown with it
        connect(button, &QAbstractButton::clicked, this, [this, suggestion] { addSuggestion(suggestion); });
    }
    m_suggestionsBox->setVisible(!results.isEmpty());
}

void ContentTab::addSuggestion(const Suggestion &suggestion)
{
    QList<WatchItem> items = m_settings.items();
    WatchItem item = suggestion.item;
    // Removal works by identity: a second copy of the same suggestion gets its own.
    if (std::any_of(items.cbegin(), items.cend(), [&item](const WatchItem &other) { return other.id == item.id; }))
        item.id = QUuid::createUuid();
    items.append(item);
    m_query->clear();
    m_search->clear();
    if (m_kind == ItemKind::metal)
        m_search->schedule(QString(), ItemKind::metal);
    m_settings.setItems(items);
}

void ContentTab::togglePending(const QUuid &id)
{
    if (m_confirmId && *m_confirmId == id)
        m_confirmId.reset();
    else
        m_confirmId = id;
    syncRowStates();
}

void ContentTab::removeItem(const QUuid &id)
{
    QList<WatchItem> items = m_settings.items();
    items.removeIf([&id](const WatchItem &item) { return item.id == id; });
    m_confirmId.reset();
    m_settings.setItems(items);
}

void ContentTab::relabel(const QUuid &id, const QString &label)
{
    QList<WatchItem> items = m_settings.items();
    for (WatchItem &item : items) {
        if (item.id == id)
            item.label = label;
    }
    m_settings.setItems(items);
}

QList<WatchItem> ContentTab::moved(const QList<WatchItem> &items, const QList<int> &sources, int destination)
{
    QList<bool> picked(items.size(), false);
    for (int source : sources) {
        if (source >= 0 && source < items.size())
            picked[source] = true;
    }
    destination = std::clamp(destination, 0, static_cast<int>(items.size()));
    QList<WatchItem> moving;
    QList<WatchItem> staying;
    int pickedBefore = 0;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (picked.at(i)) {
            moving.append(items.at(i));
            if (i < destination)
                ++pickedBefore;
        } else {
            staying.append(items.at(i));
        }
    }
    const qsizetype insertAt = destination - pickedBefore;
    for (qsizetype i = 0; i < moving.size(); ++i)
        staying.insert(insertAt + i, moving.at(i));
    return staying;
}

void ContentTab::moveItems(const QList<int> &sources, int destination)
{
    const QList<WatchItem> items = m_settings.items();
    const QList<WatchItem> reordered = moved(items, sources, destination);
    if (reordered != items)
        m_settings.setItems(reordered);
}
