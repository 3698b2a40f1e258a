#include "settingsui/ContentTab.h"

#include "search/SearchModel.h"
#include "settings/Settings.h"
#include "settingsui/AlertEditor.h"
#include "settingsui/BusyIndicator.h"
#include "settingsui/EnumTitles.h"
#include "settingsui/FormSection.h"
#include "settingsui/Icons.h"
#include "settingsui/KeysTab.h"
#include "settingsui/NewsSection.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/SuggestionButton.h"
#include "settingsui/UiStyle.h"
#include "settingsui/UndoBar.h"
#include "settingsui/WatchItemRow.h"
#include "settingsui/WatchItemsList.h"

#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
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
    // Below the page, so showing it moves nothing in the lists.
    m_undo = new UndoBar(this);
    outer->addWidget(m_undo);

    buildItemsSection(*page);
    buildAddSection(*page);
    buildMetalsSection(*page);
    m_news = new NewsSection(settings, environment);
    m_news->setUndoBar(m_undo);
    page->addSection(m_news);

    connectUserActions();
    connectListKeys();
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
    connect(m_list, &WatchItemsList::moveRequested, this, [this](const QList<int> &rows, int destination) {
        QList<int> sources;
        for (int row : rows)
            sources.append(itemIndexOf(row));
        moveItems(sources, itemIndexOf(destination));
    });
    // The held place closes once the pointer is elsewhere, or when the undo is no longer offered.
    m_list->viewport()->installEventFilter(this);
    connect(m_undo, &UndoBar::closed, this, &ContentTab::releasePlace);
    connect(m_kindPicker, &QComboBox::currentIndexChanged, this,
            [this] { setKind(static_cast<ItemKind>(m_kindPicker->currentData().toInt())); });
    connect(m_query, &QLineEdit::textEdited, this, [this](const QString &text) { m_search->schedule(text, m_kind); });
    // Return adds the result chosen with the arrows; with none, it asks for the results at
    // once instead of after the typing pause.
    connect(m_query, &QLineEdit::returnPressed, this, [this] {
        if (m_currentSuggestion >= 0 && m_currentSuggestion < m_shownSuggestions.size())
            addSuggestion(m_shownSuggestions.at(m_currentSuggestion));
        else
            m_search->schedule(m_query->text(), m_kind, std::chrono::milliseconds(0));
    });
    m_query->installEventFilter(this);
    connect(m_currency, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setMetalCurrency(m_currency->currentData().toString()); });
    connect(m_unit, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setMetalUnit(m_unit->currentData().toString()); });
}

/** Alt+Up, Alt+Down and Delete on the items list. */
void ContentTab::connectListKeys()
{
    connect(m_list, &WatchItemsList::stepRequested, this, [this](int listRow, int step) {
        const int row = itemIndexOf(listRow);
        releasePlace();
        stepItem(row, step);
    });
    connect(m_list, &WatchItemsList::removeRequested, this, [this](int listRow) {
        const int row = itemIndexOf(listRow);
        releasePlace();
        const QList<WatchItem> items = m_settings.items();
        if (row < 0 || row >= items.size())
            return;
        removeItem(items.at(row).id, false);
        // The focus stays in the list, on the row that took the removed one's place.
        m_list->focusRow(std::min(row, static_cast<int>(m_list->count()) - 1));
    });
}

void ContentTab::stepItem(int row, int step)
{
    const int count = static_cast<int>(m_settings.items().size());
    const int target = row + step;
    if (row < 0 || row >= count || target < 0 || target >= count)
        return;
    // A move down inserts after the next row: destinations count positions before the move.
    moveItems({row}, step > 0 ? target + 1 : target);
    m_list->focusRow(target);
}

/** The search model's state: its results, its progress and what it has to say. */
void ContentTab::connectSearch()
{
    connect(m_search, &SearchModel::resultsChanged, this, &ContentTab::syncSuggestions);
    connect(m_search, &SearchModel::busyChanged, this, [this](bool busy) { m_busy->setVisible(busy); });
    connect(m_search, &SearchModel::messageChanged, this, &ContentTab::showSearchMessage);
    connect(&m_settings, &Settings::weatherKeyChanged, this, [this] { searchAgainWithKey(KeyService::weather); });
    connect(&m_settings, &Settings::stockKeyChanged, this, [this] { searchAgainWithKey(KeyService::twelveData); });
    // The link of a missing-key message leads to the key's field; the address itself is ours.
    connect(m_message, &QLabel::linkActivated, this, [this](const QString &link) {
        if (link == QLatin1String("#weather"))
            KeysTab::revealKey(window(), KeyService::weather);
        else if (link == QLatin1String("#twelveData"))
            KeysTab::revealKey(window(), KeyService::twelveData);
    });
}

/** What the search has to say; a missing key is a link to its field in the keys tab. */
void ContentTab::showSearchMessage(const std::optional<QString> &message)
{
    const QString text = message.value_or(QString());
    QString link;
    if (text == SearchModel::missingWeatherKeyMessage())
        link = QStringLiteral("#weather");
    else if (text == SearchModel::missingTwelveDataKeyMessage())
        link = QStringLiteral("#twelveData");
    m_message->setTextFormat(link.isEmpty() ? Qt::PlainText : Qt::RichText);
    m_message->setTextInteractionFlags(link.isEmpty() ? Qt::NoTextInteraction
                                                      : Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_message->setText(
        link.isEmpty() ? text
                       : QStringLiteral("<a href=\"%1\" style=\"color:%2\">%3</a>")
                             .arg(link, m_message->palette().color(QPalette::WindowText).name(), text.toHtmlEscaped()));
    m_message->setAccessibleName(text);
    m_message->setVisible(message.has_value());
}

/** The search that stopped for want of `service`'s key runs again once the key is there. */
void ContentTab::searchAgainWithKey(KeyService service)
{
    const std::optional<QString> message = m_search->message();
    const QString waiting = service == KeyService::weather ? SearchModel::missingWeatherKeyMessage()
                                                           : SearchModel::missingTwelveDataKeyMessage();
    if (message == waiting && !m_query->text().trimmed().isEmpty() && !m_settings.apiKey(service).isEmpty())
        m_search->schedule(m_query->text(), m_kind, std::chrono::milliseconds(0));
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
        // The row's widget draws the text; a screen reader reads it from the item.
        entry->setData(Qt::AccessibleTextRole, item.label);
        auto *row = new WatchItemRow(item, m_list);
        AlertEditor::attach(row, item, m_environment);
        row->setState(true); // measure with every control present
        entry->setSizeHint(QSize(0, row->sizeHint().height()));
        height += row->sizeHint().height();
        m_list->setItemWidget(entry, row);
        m_rows.append(row);

        const QUuid id = item.id;
        connect(row, &WatchItemRow::removeClicked, this, [this, id] { removeItem(id, true); });
        connect(row, &WatchItemRow::labelChanged, this, [this, id](const QString &label) { relabel(id, label); });
    }
    // Empty, inert rows where removed ones were: the rows below stay under the pointer.
    for (const auto &[at, placeHeight] : std::as_const(m_heldPlaces)) {
        auto *place = new QListWidgetItem();
        place->setFlags(Qt::NoItemFlags);
        place->setSizeHint(QSize(0, placeHeight));
        m_list->insertItem(std::min(at, static_cast<int>(m_list->count())), place);
        height += placeHeight;
    }
    m_list->setFixedHeight(qMax(minimumListHeight, height + 2 * m_list->frameWidth() + 4));
}

bool ContentTab::pointerOnList() const
{
    return m_list->isVisible() && m_list->rect().contains(m_list->mapFromGlobal(QCursor::pos()));
}

void ContentTab::holdPlace(int row, int height)
{
    m_heldPlaces.append({row, height});
    std::sort(m_heldPlaces.begin(), m_heldPlaces.end());
}

void ContentTab::releasePlace()
{
    if (m_heldPlaces.isEmpty())
        return;
    m_heldPlaces.clear();
    rebuildRows();
    syncRowStates();
}

int ContentTab::itemIndexOf(int row) const
{
    const auto before = std::count_if(m_heldPlaces.cbegin(), m_heldPlaces.cend(),
                                      [row](const std::pair<int, int> &place) { return place.first < row; });
    return row - static_cast<int>(before);
}

void ContentTab::syncRowStates()
{
    for (WatchItemRow *row : std::as_const(m_rows))
        row->setState(m_editing);
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
    m_shownSuggestions = results;
    m_currentSuggestion = -1;
    for (const Suggestion &suggestion : results) {
        auto *button = new SuggestionButton(suggestion, m_suggestionsBox);
        m_suggestionsLayout->addWidget(button);
        button->show(); // the box may already be visible: new children are not shown with it
        connect(button, &QAbstractButton::clicked, this, [this, suggestion] { addSuggestion(suggestion); });
    }
    m_suggestionsBox->setVisible(!results.isEmpty());
}

bool ContentTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Leave)
        releasePlace();
    if (watched == m_query && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier && searchKey(key->key()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

/** Down and Up in the search field go through the results; false for other keys. */
bool ContentTab::searchKey(int key)
{
    if (key != Qt::Key_Down && key != Qt::Key_Up)
        return false;
    const int count = static_cast<int>(m_shownSuggestions.size());
    if (count == 0)
        return false;
    int next = m_currentSuggestion + (key == Qt::Key_Down ? 1 : -1);
    // Up from the first result leaves the results; Down stops at the last.
    next = std::clamp(next, -1, count - 1);
    setCurrentSuggestion(next);
    return true;
}

void ContentTab::setCurrentSuggestion(int index)
{
    m_currentSuggestion = index;
    int position = 0;
    for (int i = 0; i < m_suggestionsLayout->count(); ++i) {
        auto *button = qobject_cast<SuggestionButton *>(m_suggestionsLayout->itemAt(i)->widget());
        if (!button)
            continue;
        button->setCurrent(position == index);
        if (position == index)
            m_query->setAccessibleDescription(button->text());
        ++position;
    }
    if (index < 0)
        m_query->setAccessibleDescription(QString());
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

void ContentTab::removeItem(const QUuid &id, bool clicked)
{
    QList<WatchItem> items = m_settings.items();
    const auto found =
        std::find_if(items.cbegin(), items.cend(), [&id](const WatchItem &item) { return item.id == id; });
    if (found == items.cend())
        return;
    const int at = static_cast<int>(found - items.cbegin());
    const WatchItem removed = items.takeAt(at);
    // Removed at once; a click on the button of the row below lands on an empty place.
    int listRow = -1;
    for (int i = 0; i < m_list->count(); ++i) {
        if (auto *row = qobject_cast<WatchItemRow *>(m_list->itemWidget(m_list->item(i))); row && row->id() == id)
            listRow = i;
    }
    if (clicked && pointerOnList() && listRow >= 0)
        holdPlace(listRow, m_list->visualItemRect(m_list->item(listRow)).height());
    else
        releasePlace();
    m_settings.setItems(items);
    m_undo->offer(tr("« %1 » retiré du bandeau").arg(removed.label), [this, removed, at] {
        QList<WatchItem> now = m_settings.items();
        now.insert(std::min<qsizetype>(at, now.size()), removed);
        m_heldPlaces.clear(); // the item takes its place back
        m_settings.setItems(now);
    });
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
