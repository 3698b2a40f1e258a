#pragma once

#include "settingsui/FormSection.h"
#include "types/NewsSource.h"

#include <QList>
#include <QUuid>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class Settings;
class SettingsEnvironment;
class UndoBar;

/**
 * The "Actualités (ligne du bas)" section of the content tab: the news feeds, each
 * with its switch, name, address and last result, a row to add one, and the way back
 * to the default feeds.
 */
class NewsSection : public FormSection
{
    Q_OBJECT
public:
    NewsSection(Settings &settings, SettingsEnvironment &environment, QWidget *parent = nullptr);

    /** Whether `url`, trimmed, is an http or https address with a host. */
    static bool urlValid(const QString &url);
    /** The name given to a feed added with `name` and `url` (both untrimmed). */
    static QString nameForNewFeed(const QString &name, const QString &url);

    /** Shown under the feeds when more are enabled than are read. */
    static QString feedLimitNote();

    /** Appends the feed typed in the add row and empties it. */
    void addFeed();

    /** Where a removed feed can be brought back; without one, removals cannot be undone. */
    void setUndoBar(UndoBar *bar);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Row;

    void connectRowKeys();
    /** The feed row holding the focus; −1 for none. */
    int focusedRow() const;
    void stepSource(int row, int step);
    /** Removes the feed at `row` at once, offering to undo it; `holdPlace` for a click. */
    void removeSource(int row, bool holdPlace = false);
    void releasePlace();
    void focusRow(int row);
    void syncSources();
    void syncStatus();
    void syncFooter();
    void updateSource(const QUuid &id, const std::function<void(NewsSource &)> &change);

    Settings &m_settings;
    SettingsEnvironment &m_environment;
    QWidget *m_rowsBox = nullptr;
    QVBoxLayout *m_rowsLayout = nullptr;
    QList<Row *> m_rows;
    UndoBar *m_undo = nullptr;
    /**
     * Where feeds removed under the pointer were, by their place in the rows' layout: kept
     * empty until the pointer leaves, so the rows below do not move up under it.
     */
    QList<std::pair<int, QWidget *>> m_heldPlaces;
    QLineEdit *m_newName = nullptr;
    QLineEdit *m_newUrl = nullptr;
    QPushButton *m_add = nullptr;
    QLabel *m_footerNote = nullptr;
    QLabel *m_limitNote = nullptr;
    QPushButton *m_defaults = nullptr;
};
