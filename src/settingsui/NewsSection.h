#pragma once

#include "types/NewsSource.h"
#include "settingsui/FormSection.h"

#include <QList>
#include <QUuid>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class Settings;
class SettingsEnvironment;

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

private:
    class Row;

    void syncSources();
    void syncStatus();
    void syncFooter();
    void updateSource(const QUuid &id, const std::function<void(NewsSource &)> &change);

    Settings &m_settings;
    SettingsEnvironment &m_environment;
    QWidget *m_rowsBox = nullptr;
    QVBoxLayout *m_rowsLayout = nullptr;
    QList<Row *> m_rows;
    QLineEdit *m_newName = nullptr;
    QLineEdit *m_newUrl = nullptr;
    QPushButton *m_add = nullptr;
    QLabel *m_footerNote = nullptr;
    QLabel *m_limitNote = nullptr;
    QPushButton *m_defaults = nullptr;
};
