#include "settingsui/NewsSection.h"

#include "health/SourceHealth.h"
#include "health/SourceHealthText.h"
#include "settings/Settings.h"
#include "settingsui/BusyIndicator.h"
#include "settingsui/Icons.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/ToggleSwitch.h"
#include "settingsui/UiStyle.h"
#include "settingsui/UndoBar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

/** Why the feed `id` failed, as precisely as the health model knows: "HTTP 404 — introuvable". */
QString failureWords(const QUuid &id)
{
    const QString known = SourceHealthText::feedStatus(SourceHealth::shared().record(SourceId::feedWith(id)));
    return known.isEmpty() ? NewsSection::tr("illisible") : known;
}

/** One line of text, shortened in the middle when it does not fit. */
class MiddleElidedLabel : public QLabel
{
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override { return QSize(40, QLabel::minimumSizeHint().height()); }
    QSize sizeHint() const override
    {
        return QSize(qMin(QLabel::sizeHint().width(), 320), QLabel::sizeHint().height());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.setFont(font());
        const QRect box = contentsRect();
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(text(), Qt::ElideMiddle, box.width()));
    }
};

QString trimmed(const QString &text)
{
    return text.trimmed(); // white space and line breaks
}

} // namespace

/** The row of one feed. */
class NewsSection::Row : public QWidget
{
public:
    Row(QWidget *parent, const NewsSource &source)
        : QWidget(parent)
        , id(source.id)
    {
        setObjectName(QStringLiteral("newsRow"));
        setProperty("sourceId", source.id);
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 5, 0, 5);
        layout->setSpacing(10);

        enabled = new ToggleSwitch(this);
        enabled->setObjectName(QStringLiteral("enabledSwitch"));
        layout->addWidget(enabled);

        auto *stack = new QVBoxLayout();
        stack->setSpacing(1);
        name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("nameField"));
        name->setPlaceholderText(NewsSection::tr("Nom du média"));
        name->setFont(UiStyle::font(name->font(), UiStyle::TextStyle::bodyMedium));
        name->setAttribute(Qt::WA_MacShowFocusRect, false);
        UiStyle::makeBorderless(name);
        stack->addWidget(name);
        url = new MiddleElidedLabel(this);
        url->setObjectName(QStringLiteral("urlLabel"));
        UiStyle::styleLabel(url, UiStyle::TextStyle::caption, UiStyle::secondaryText(url));
        UiStyle::alignUnder(url, name);
        stack->addWidget(url);
        layout->addLayout(stack, 1);

        progress = new BusyIndicator(14, this);
        progress->setObjectName(QStringLiteral("statusProgress"));
        layout->addWidget(progress);
        count = new QLabel(this);
        count->setObjectName(QStringLiteral("statusCount"));
        UiStyle::styleLabel(count, UiStyle::TextStyle::caption, UiStyle::secondaryText(count));
        layout->addWidget(count);
        failed = new QLabel(NewsSection::tr("illisible"), this);
        failed->setObjectName(QStringLiteral("statusFailed"));
        UiStyle::styleLabel(failed, UiStyle::TextStyle::caption, UiStyle::readableText(UiStyle::orange(), this));
        layout->addWidget(failed);

        remove = new QToolButton(this);
        remove->setObjectName(QStringLiteral("removeSourceButton"));
        remove->setAutoRaise(true);
        remove->setIcon(Icons::icon(Icons::Symbol::trash, UiStyle::secondaryText(this)));
        remove->setIconSize(QSize(16, 16));
        remove->setToolTip(NewsSection::tr("Retirer cette source"));
        layout->addWidget(remove);
        display(source);
    }

    void display(const NewsSource &source)
    {
        {
            const QSignalBlocker blocker(enabled);
            enabled->setChecked(source.enabled);
        }
        if (name->text() != source.name)
            name->setText(source.name);
        url->setText(source.url);
        url->setToolTip(source.url);
        enabled->setAccessibleName(NewsSection::tr("Lire %1").arg(source.name));
        name->setAccessibleName(NewsSection::tr("Nom du média"));
        remove->setAccessibleName(NewsSection::tr("Retirer %1").arg(source.name));
        isEnabled = source.enabled;
    }

    void showStatus(bool visible, const std::optional<FeedStatus> &status)
    {
        progress->setVisible(visible && !status);
        count->setVisible(visible && status && status->isOk());
        failed->setVisible(visible && status && !status->isOk());
        if (status && status->isOk())
            count->setText(NewsSection::tr("%n titres", nullptr, status->count));
        else if (status)
            failed->setText(failureWords(id));
    }

    QUuid id;
    bool isEnabled = true;
    ToggleSwitch *enabled = nullptr;
    QLineEdit *name = nullptr;
    QLabel *url = nullptr;
    BusyIndicator *progress = nullptr;
    QLabel *count = nullptr;
    QLabel *failed = nullptr;
    QToolButton *remove = nullptr;
};

NewsSection::NewsSection(Settings &settings, SettingsEnvironment &environment, QWidget *parent)
    : FormSection(tr("Actualités (ligne du bas)"), parent)
    , m_settings(settings)
    , m_environment(environment)
{
    setObjectName(QStringLiteral("newsSection"));

    m_rowsBox = new QWidget();
    m_rowsBox->setObjectName(QStringLiteral("newsRows"));
    m_rowsLayout = new QVBoxLayout(m_rowsBox);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(0);
    addRow(m_rowsBox);

    auto *addRowWidget = new QWidget();
    auto *addLayout = new QHBoxLayout(addRowWidget);
    addLayout->setContentsMargins(0, 6, 0, 6);
    addLayout->setSpacing(8);
    m_newName = new QLineEdit(addRowWidget);
    m_newName->setObjectName(QStringLiteral("newNameField"));
    m_newName->setPlaceholderText(tr("Nom"));
    m_newName->setMaximumWidth(130);
    addLayout->addWidget(m_newName);
    m_newUrl = new QLineEdit(addRowWidget);
    m_newUrl->setObjectName(QStringLiteral("newUrlField"));
    m_newUrl->setPlaceholderText(QStringLiteral("https://…/rss.xml"));
    addLayout->addWidget(m_newUrl, 1);
    m_add = new QPushButton(tr("Ajouter"), addRowWidget);
    m_add->setObjectName(QStringLiteral("addSourceButton"));
    m_add->setAutoDefault(false);
    m_add->setEnabled(false);
    addLayout->addWidget(m_add);
    addRow(addRowWidget);

    auto *footer = new QWidget();
    auto *footerLayout = new QHBoxLayout(footer);
    footerLayout->setContentsMargins(0, 6, 0, 6);
    footerLayout->setSpacing(8);
    m_footerNote = UiStyle::note(QString(), footer);
    m_footerNote->setObjectName(QStringLiteral("newsFooterNote"));
    auto *notes = new QVBoxLayout();
    notes->setSpacing(4);
    notes->addWidget(m_footerNote);
    m_limitNote = UiStyle::note(feedLimitNote(), footer);
    m_limitNote->setObjectName(QStringLiteral("feedLimitNote"));
    notes->addWidget(m_limitNote);
    footerLayout->addLayout(notes, 1);
    m_defaults = new QPushButton(tr("Sources par défaut"), footer);
    m_defaults->setObjectName(QStringLiteral("defaultSourcesButton"));
    m_defaults->setFont(UiStyle::font(m_defaults->font(), UiStyle::TextStyle::footnote));
    m_defaults->setAutoDefault(false);
    footerLayout->addWidget(m_defaults, 0, Qt::AlignVCenter);
    addRow(footer);

    connectRowKeys();
    connect(m_newUrl, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_add->setEnabled(urlValid(text)); });
    connect(m_add, &QPushButton::clicked, this, &NewsSection::addFeed);
    // Return in either field of the add row adds the feed (when the address is valid).
    connect(m_newUrl, &QLineEdit::returnPressed, this, &NewsSection::addFeed);
    connect(m_newName, &QLineEdit::returnPressed, this, &NewsSection::addFeed);
    connect(m_defaults, &QPushButton::clicked, this,
            [this] { m_settings.setNewsSources(NewsSource::defaultsFor(Settings::englishDefaults())); });

    connect(&m_settings, &Settings::newsSourcesChanged, this, [this] {
        syncSources();
        syncFooter();
    });
    connect(&m_settings, &Settings::variantChanged, this, [this] {
        syncStatus();
        syncFooter();
    });
    connect(&m_environment, &SettingsEnvironment::newsStatusChanged, this, &NewsSection::syncStatus);
    syncSources();
    syncFooter();
}

bool NewsSection::urlValid(const QString &url)
{
    const QUrl parsed(trimmed(url), QUrl::StrictMode);
    if (!parsed.isValid())
        return false;
    const QString scheme = parsed.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !parsed.host().isEmpty();
}

QString NewsSection::nameForNewFeed(const QString &name, const QString &url)
{
    const QString cleanName = trimmed(name);
    if (!cleanName.isEmpty())
        return cleanName;
    const QUrl parsed(trimmed(url), QUrl::StrictMode);
    if (parsed.isValid() && !parsed.host().isEmpty())
        return parsed.host();
    return tr("Source");
}

void NewsSection::addFeed()
{
    if (!urlValid(m_newUrl->text()))
        return;
    NewsSource source;
    source.id = QUuid::createUuid();
    source.name = nameForNewFeed(m_newName->text(), m_newUrl->text());
    source.url = trimmed(m_newUrl->text());
    source.enabled = true;
    QList<NewsSource> sources = m_settings.newsSources();
    sources.append(source);
    m_newName->clear();
    m_newUrl->clear();
    m_settings.setNewsSources(sources);
}

void NewsSection::updateSource(const QUuid &id, const std::function<void(NewsSource &)> &change)
{
    QList<NewsSource> sources = m_settings.newsSources();
    for (NewsSource &source : sources) {
        if (source.id == id)
            change(source);
    }
    m_settings.setNewsSources(sources);
}

/** Alt+Up and Alt+Down move the feed whose row holds the focus, Delete removes it. */
void NewsSection::connectRowKeys()
{
    // The held place closes once the pointer leaves the feeds.
    m_rowsBox->installEventFilter(this);
    const auto bind = [this](QKeyCombination keys, auto action) {
        auto *shortcut = new QShortcut(QKeySequence(keys), m_rowsBox);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    bind(Qt::ALT | Qt::Key_Up, [this] { stepSource(focusedRow(), -1); });
    bind(Qt::ALT | Qt::Key_Down, [this] { stepSource(focusedRow(), 1); });
    // The name field keeps Delete for its text: it asks for the key before any shortcut.
    bind(QKeyCombination(Qt::Key_Delete), [this] { removeSource(focusedRow()); });
}

bool NewsSection::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_rowsBox && event->type() == QEvent::Leave)
        releasePlace();
    return FormSection::eventFilter(watched, event);
}

int NewsSection::focusedRow() const
{
    for (QWidget *w = QApplication::focusWidget(); w && w != m_rowsBox; w = w->parentWidget()) {
        for (qsizetype i = 0; i < m_rows.size(); ++i) {
            if (m_rows.at(i) == w)
                return static_cast<int>(i);
        }
    }
    return -1;
}

void NewsSection::stepSource(int row, int step)
{
    QList<NewsSource> sources = m_settings.newsSources();
    const int target = row + step;
    if (row < 0 || row >= sources.size() || target < 0 || target >= sources.size())
        return;
    sources.move(row, target);
    m_settings.setNewsSources(sources);
    focusRow(target);
}

void NewsSection::setUndoBar(UndoBar *bar)
{
    m_undo = bar;
    if (m_undo)
        connect(m_undo, &UndoBar::closed, this, &NewsSection::releasePlace);
}

void NewsSection::removeSource(int row, bool holdPlace)
{
    QList<NewsSource> sources = m_settings.newsSources();
    if (row < 0 || row >= sources.size())
        return;
    const NewsSource removed = sources.takeAt(row);
    if (holdPlace) {
        // An empty place of the row's height where the row was.
        auto *place = new QWidget(m_rowsBox);
        place->setObjectName(QStringLiteral("heldPlace"));
        place->setFixedHeight(m_rows.at(row)->height());
        m_heldPlaces.append({m_rowsLayout->indexOf(m_rows.at(row)), place});
        std::sort(m_heldPlaces.begin(), m_heldPlaces.end());
    } else {
        releasePlace();
    }
    const bool hadFocus = focusedRow() == row;
    m_settings.setNewsSources(sources);
    if (hadFocus)
        focusRow(std::min(row, static_cast<int>(m_rows.size()) - 1));
    if (m_undo) {
        m_undo->offer(tr("« %1 » retiré des actualités").arg(removed.name), [this, removed, row] {
            QList<NewsSource> now = m_settings.newsSources();
            now.insert(std::min<qsizetype>(row, now.size()), removed);
            releasePlace();
            m_settings.setNewsSources(now);
        });
    }
}

void NewsSection::releasePlace()
{
    for (const auto &[index, place] : std::as_const(m_heldPlaces)) {
        m_rowsLayout->removeWidget(place);
        place->hide();
        place->deleteLater();
    }
    m_heldPlaces.clear();
}

void NewsSection::focusRow(int row)
{
    if (row >= 0 && row < m_rows.size())
        m_rows.at(row)->enabled->setFocus(Qt::OtherFocusReason);
}

void NewsSection::syncSources()
{
    const QList<NewsSource> sources = m_settings.newsSources();
    bool sameRows = sources.size() == m_rows.size();
    for (qsizetype i = 0; sameRows && i < sources.size(); ++i)
        sameRows = m_rows.at(i)->id == sources.at(i).id;

    if (sameRows) {
        // Updating in place keeps the name field being typed in (and its cursor) alive.
        for (qsizetype i = 0; i < sources.size(); ++i)
            m_rows.at(i)->display(sources.at(i));
    } else {
        // Out of the layout at once, so places counted in it are those of the new rows.
        for (Row *row : std::as_const(m_rows)) {
            m_rowsLayout->removeWidget(row);
            row->hide();
            row->deleteLater();
        }
        m_rows.clear();
        for (const NewsSource &source : sources) {
            auto *row = new Row(m_rowsBox, source);
            m_rowsLayout->addWidget(row);
            row->show(); // the box may already be visible: new children are not shown with it
            m_rows.append(row);
            const QUuid id = source.id;
            connect(row->enabled, &ToggleSwitch::toggled, this,
                    [this, id](bool on) { updateSource(id, [on](NewsSource &s) { s.enabled = on; }); });
            connect(row->name, &QLineEdit::textEdited, this,
                    [this, id](const QString &text) { updateSource(id, [&text](NewsSource &s) { s.name = text; }); });
            connect(row->remove, &QToolButton::clicked, this, [this, id] {
                const QList<NewsSource> now = m_settings.newsSources();
                for (qsizetype i = 0; i < now.size(); ++i) {
                    if (now.at(i).id == id) {
                        removeSource(static_cast<int>(i), true);
                        return;
                    }
                }
            });
        }
    }
    for (const auto &[index, place] : std::as_const(m_heldPlaces)) {
        m_rowsLayout->removeWidget(place);
        m_rowsLayout->insertWidget(std::min(index, static_cast<int>(m_rowsLayout->count())), place);
        place->show();
    }
    m_rowsBox->setVisible(!m_rows.isEmpty());
    syncStatus();
}

void NewsSection::syncStatus()
{
    const bool thick = m_settings.variant() == BarVariant::thick;
    const QHash<QUuid, FeedStatus> status = m_environment.newsStatus();
    for (Row *row : std::as_const(m_rows)) {
        const auto found = status.constFind(row->id);
        row->showStatus(thick && row->isEnabled,
                        found == status.constEnd() ? std::nullopt : std::optional<FeedStatus>(*found));
    }
}

void NewsSection::syncFooter()
{
    m_footerNote->setText(m_settings.variant() == BarVariant::thick
                              ? tr("Flux RSS ou Atom. Les titres défilent sur la ligne du bas, "
                                   "actualisés toutes les 10 minutes.")
                              : tr("Les actualités s'affichent en choisissant « 2 lignes » dans "
                                   "l'onglet Affichage."));
    const QList<NewsSource> sources = m_settings.newsSources();
    m_defaults->setEnabled(!NewsSource::areDefaults(sources, Settings::englishDefaults()));
    const auto enabled = std::count_if(sources.cbegin(), sources.cend(), [](const NewsSource &s) { return s.enabled; });
    m_limitNote->setVisible(enabled > maxActiveNewsSources);
}

QString NewsSection::feedLimitNote()
{
    return tr("Seules les %1 premières sources activées sont lues ; les suivantes sont gardées ici.")
        .arg(maxActiveNewsSources);
}
