#pragma once

#include "search/Suggestion.h"
#include "types/KeyService.h"
#include "types/NewsSource.h"
#include "types/SettingsEnums.h"
#include "types/WatchItem.h"

#include <QList>
#include <QUuid>
#include <QWidget>

#include <optional>

class FormPage;
class FormSection;
class NewsSection;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class SearchModel;
class Settings;
class SettingsEnvironment;
class WatchItemRow;
class WatchItemsList;

/**
 * The "Contenu" tab: the watched values in band order (rename, reorder, remove), the
 * search that adds new ones, the metal currency and unit, and the news feeds. It also
 * tells the data and news services to refresh after the edits that need it.
 */
class ContentTab : public QWidget
{
    Q_OBJECT
public:
    ContentTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent = nullptr);
    ~ContentTab() override;

    bool isEditing() const { return m_editing; }
    /** Enters or leaves edit mode; either way nothing stays pending. */
    void setEditing(bool editing);
    /** The item whose removal awaits confirmation with "Supprimer". */
    std::optional<QUuid> pendingRemoval() const { return m_confirmId; }

    ItemKind kind() const { return m_kind; }
    SearchModel &search() const { return *m_search; }

    /** Moves the items at `sources` to `destination` (a position counted before the move). */
    void moveItems(const QList<int> &sources, int destination);
    /** The usual list move: `destination` counts positions before the move. */
    static QList<WatchItem> moved(const QList<WatchItem> &items, const QList<int> &sources, int destination);

    /** Shown under the list when it holds more items than the band draws. */
    static QString itemLimitNote();

    /** Appends the suggestion's item and starts a fresh search. */
    void addSuggestion(const Suggestion &suggestion);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The constructor's steps: the sections from top to bottom, then what keeps them current.
    void buildItemsSection(FormPage &page);
    void buildAddSection(FormPage &page);
    void buildMetalsSection(FormPage &page);
    void connectUserActions();
    void connectSearch();
    void showSearchMessage(const std::optional<QString> &message);
    void searchAgainWithKey(KeyService service);
    void connectSettings();
    void showMetalChoices();

    void syncItems();
    void rebuildRows();
    void syncRowStates();
    void syncMetalsSection();
    void syncSuggestions();
    void togglePending(const QUuid &id);
    void removeItem(const QUuid &id);
    void relabel(const QUuid &id, const QString &label);
    void setKind(ItemKind kind);
    void onSettingsItemsChanged();

    Settings &m_settings;
    SettingsEnvironment &m_environment;
    SearchModel *m_search = nullptr;

    ItemKind m_kind = ItemKind::quote;
    bool m_editing = false;
    std::optional<QUuid> m_confirmId;

    QPushButton *m_editButton = nullptr;
    QLabel *m_emptyHint = nullptr;
    QLabel *m_limitNote = nullptr;
    WatchItemsList *m_list = nullptr;
    QList<WatchItemRow *> m_rows;
    QComboBox *m_kindPicker = nullptr;
    QLineEdit *m_query = nullptr;
    QWidget *m_busy = nullptr;
    QLabel *m_message = nullptr;
    QWidget *m_suggestionsBox = nullptr;
    QVBoxLayout *m_suggestionsLayout = nullptr;
    FormSection *m_metals = nullptr;
    QComboBox *m_currency = nullptr;
    QComboBox *m_unit = nullptr;
    NewsSection *m_news = nullptr;
};
