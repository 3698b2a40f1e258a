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
class UndoBar;
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
    /** The bar that offers to undo the last removal, of an item or of a feed. */
    UndoBar *undoBar() const { return m_undo; }

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

    /** The result the search field's Up and Down keys are on; −1 for none. */
    int currentSuggestion() const { return m_currentSuggestion; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The constructor's steps: the sections from top to bottom, then what keeps them current.
    void buildItemsSection(FormPage &page);
    void buildAddSection(FormPage &page);
    void buildMetalsSection(FormPage &page);
    void connectUserActions();
    void connectListKeys();
    void stepItem(int row, int step);
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
    bool searchKey(int key);
    void setCurrentSuggestion(int index);
    /** Removes the item at once, offering to undo it; `clicked` when the pointer did it. */
    void removeItem(const QUuid &id, bool clicked);
    /** Keeps list row `row` empty, `height` high, while the pointer is on the list. */
    void holdPlace(int row, int height);
    void releasePlace();
    bool pointerOnList() const;
    /** The item shown by list row `row`, the held place not counted. */
    int itemIndexOf(int row) const;
    void relabel(const QUuid &id, const QString &label);
    void setKind(ItemKind kind);
    void onSettingsItemsChanged();

    Settings &m_settings;
    SettingsEnvironment &m_environment;
    SearchModel *m_search = nullptr;

    ItemKind m_kind = ItemKind::quote;
    bool m_editing = false;
    /** The list rows kept empty after removals, ascending, with their heights. */
    QList<std::pair<int, int>> m_heldPlaces;
    UndoBar *m_undo = nullptr;

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
    QList<Suggestion> m_shownSuggestions;
    int m_currentSuggestion = -1;
    FormSection *m_metals = nullptr;
    QComboBox *m_currency = nullptr;
    QComboBox *m_unit = nullptr;
    NewsSection *m_news = nullptr;
};
