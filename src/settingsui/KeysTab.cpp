#include "settingsui/KeysTab.h"

#include "health/ItemHealth.h"
#include "health/SourceHealth.h"
#include "health/SourceHealthText.h"
#include "settings/Settings.h"
#include "settingsui/EnumTitles.h"
#include "settingsui/FormSection.h"
#include "settingsui/Icons.h"
#include "settingsui/KeyServiceInfo.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/TutorialSheet.h"
#include "settingsui/UiStyle.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString rawName(KeyService service)
{
    switch (service) {
    case KeyService::twelveData:
        return QStringLiteral("twelveData");
    case KeyService::weather:
        return QStringLiteral("weather");
    case KeyService::metals:
        return QStringLiteral("metals");
    }
    return QString();
}

const QUrl weatherApiHome(QStringLiteral("https://www.weatherapi.com/"));

SourceId sourceOfKey(KeyService service)
{
    switch (service) {
    case KeyService::twelveData:
        return SourceId::twelveData();
    case KeyService::weather:
        return SourceId::weatherApi();
    case KeyService::metals:
        break;
    }
    return SourceId::metalsDev();
}

} // namespace

KeysTab::KeysTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent)
    : KeysTab(settings, environment, SourceHealth::shared(), parent)
{}

KeysTab::KeysTab(Settings &settings, SettingsEnvironment &environment, SourceHealth &health, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_environment(environment)
    , m_health(health)
{
    setObjectName(QStringLiteral("keysTab"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *page = new FormPage(this);
    outer->addWidget(page);

    FormSection *stocks = page->addSection(tr("Actions, ETF, indices, crypto"));
    m_provider = new QComboBox();
    m_provider->setObjectName(QStringLiteral("providerPicker"));
    for (StockProvider provider : allCases<StockProvider>())
        m_provider->addItem(title(provider), static_cast<int>(provider));
    stocks->addRow(tr("Source"), m_provider);
    m_twelveDataRow = stocks->addRow(keyRow(KeyService::twelveData));
    m_yahooNote = UiStyle::note(yahooNote());
    m_yahooNote->setObjectName(QStringLiteral("yahooNote"));
    m_yahooNote->setContentsMargins(0, 6, 0, 6);
    stocks->addRow(m_yahooNote);

    FormSection *weather = page->addSection(tr("Météo"));
    weather->addRow(keyRow(KeyService::weather));
    auto *attribution = new QWidget();
    auto *attributionLayout = new QHBoxLayout(attribution);
    attributionLayout->setContentsMargins(0, 6, 0, 6);
    attributionLayout->setSpacing(4);
    auto *credit = new QLabel(tr("Données météo fournies par"), attribution);
    UiStyle::styleLabel(credit, UiStyle::TextStyle::footnote);
    attributionLayout->addWidget(credit);
    auto *link = new QLabel(attribution);
    link->setObjectName(QStringLiteral("attributionLink"));
    link->setText(QStringLiteral("<a href=\"%1\" style=\"text-decoration:none; color:%2\">WeatherAPI.com</a>")
                      .arg(weatherApiHome.toString(), UiStyle::linkText(this).name()));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    UiStyle::styleLabel(link, UiStyle::TextStyle::footnote);
    attributionLayout->addWidget(link);
    attributionLayout->addStretch(1);
    weather->addRow(attribution);
    // The address is a constant; the label's own text is not trusted as an address.
    connect(link, &QLabel::linkActivated, this, [this] { m_environment.open(weatherApiHome); });

    FormSection *metals = page->addSection(tr("Métaux"));
    metals->addRow(keyRow(KeyService::metals));

    auto *closing = new QWidget();
    closing->setObjectName(QStringLiteral("closingNote"));
    auto *closingLayout = new QHBoxLayout(closing);
    closingLayout->setContentsMargins(4, 0, 4, 0);
    closingLayout->setSpacing(6);
    auto *lock = new QLabel(closing);
    lock->setPixmap(Icons::drawn(Icons::Symbol::lockShield, UiStyle::secondaryText(this), 14));
    closingLayout->addWidget(lock, 0, Qt::AlignTop);
    m_closingText = UiStyle::note(closingNote(), closing);
    m_closingText->setObjectName(QStringLiteral("closingNoteText"));
    closingLayout->addWidget(m_closingText, 1);
    page->addTrailing(closing);

    connect(m_provider, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setStockProvider(static_cast<StockProvider>(m_provider->currentData().toInt())); });
    connect(&m_settings, &Settings::stockProviderChanged, this, [this] {
        syncProvider();
        m_environment.requestDataRefresh(true);
    });
    connect(&m_settings, &Settings::keyStorageChanged, this, [this](KeyService service, bool stored) {
        if (QLabel *warning = m_warnings.value(service))
            warning->setVisible(!stored);
        syncClosingNote();
    });
    connect(&m_health, &SourceHealth::changed, this, [this](const SourceId &source) {
        if (const std::optional<KeyService> service = ItemHealth::keyOf(source)) {
            m_awaiting.remove(*service);
            syncStatus(*service);
        }
    });
    syncProvider();
    syncClosingNote();
}

QString KeysTab::yahooNote()
{
    return tr("Yahoo Finance n'a pas d'API officielle : pratique pour essayer, mais pas garanti dans la "
              "durée. Les symboles diffèrent d'une source à l'autre : change de source, puis réajoute tes "
              "valeurs.");
}

QString KeysTab::closingNote()
{
    return tr("Tes clés sont stockées dans le trousseau de ton ordinateur et ne sont envoyées qu'au "
              "service concerné.");
}

QString KeysTab::sessionOnlyNote()
{
    return tr("Trousseau indisponible : tes clés ne sont gardées que jusqu'à la fermeture de Dotbanner, et ne "
              "sont envoyées qu'au service concerné.");
}

QString KeysTab::waitingNote()
{
    return tr("Nouvelle clé : en attente de la réponse du service");
}

void KeysTab::syncStatus(KeyService service)
{
    QLabel *status = m_statuses.value(service);
    if (!status)
        return;
    const QString text = m_awaiting.contains(service)
                             ? waitingNote()
                             : SourceHealthText::keyStatus(sourceOfKey(service), m_health.record(sourceOfKey(service)));
    status->setText(text);
    // A refused key is the user's to fix: said in the warning colour.
    const HealthRecord record = m_health.record(sourceOfKey(service));
    const bool refused = !m_awaiting.contains(service) && record.isFailing() && record.lastFailure &&
                         record.lastFailure->kind == FailureKind::keyRejected;
    UiStyle::styleLabel(status, UiStyle::TextStyle::caption,
                        refused ? UiStyle::readableText(UiStyle::orange(), this) : UiStyle::secondaryText(this));
}

void KeysTab::syncClosingNote()
{
    const QList<KeyService> services = KeyServiceInfo::all();
    const bool allStored = std::all_of(services.cbegin(), services.cend(),
                                       [this](KeyService service) { return m_settings.isKeyStored(service); });
    m_closingText->setText(allStored ? closingNote() : sessionOnlyNote());
}

QString KeysTab::unavailableNote()
{
    return tr("Trousseau indisponible : la clé ne sera pas gardée après la fermeture de Dotbanner.");
}

void KeysTab::focusKey(KeyService service)
{
    // The tab widget keeps its pages in a stack: the page is this tab or holds it.
    for (QWidget *child = this; child && child->parentWidget(); child = child->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(child->parentWidget()->parentWidget());
            tabs && qobject_cast<QStackedWidget *>(child->parentWidget())) {
            tabs->setCurrentWidget(child);
            break;
        }
    }
    QLineEdit *field = m_fields.value(service);
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

bool KeysTab::revealKey(QWidget *window, KeyService service)
{
    auto *tab = window ? window->findChild<KeysTab *>() : nullptr;
    if (!tab)
        return false;
    tab->focusKey(service);
    return true;
}

bool KeysTab::commitKey(KeyService service)
{
    QLineEdit *field = m_fields.value(service);
    QTimer *idle = m_idle.value(service);
    if (!field || !idle || !m_pending.contains(service))
        return false;
    m_pending.remove(service);
    idle->stop();
    const KeyServiceInfo &info = KeyServiceInfo::of(service);
    // Typed and then typed back: nothing to fetch again, but a key the keyring refused is
    // offered to it once more.
    const bool changed = info.key(m_settings) != field->text();
    info.setKey(m_settings, field->text());
    if (changed) {
        m_awaiting.insert(service);
        syncStatus(service);
        m_environment.requestDataRefresh(true);
    }
    return true;
}

QWidget *KeysTab::keyRow(KeyService service)
{
    const KeyServiceInfo &info = KeyServiceInfo::of(service);
    auto *box = new QWidget();
    auto *boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    boxLayout->setSpacing(0);
    auto *row = new QWidget(box);
    row->setObjectName(QStringLiteral("keyRow_") + rawName(service));
    boxLayout->addWidget(row);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 6, 0, 6);
    layout->setSpacing(10);

    auto *icon = new QLabel(row);
    icon->setFixedWidth(20);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(Icons::drawn(info.icon, info.color, 18));
    layout->addWidget(icon);
    auto *name = new QLabel(info.displayName, row);
    name->setFixedWidth(86);
    name->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(name);

    auto *field = new QLineEdit(row);
    field->setObjectName(QStringLiteral("keyField_") + rawName(service));
    field->setEchoMode(QLineEdit::Password);
    field->setPlaceholderText(info.placeholder);
    field->setText(info.key(m_settings));
    layout->addWidget(field, 1);
    m_fields.insert(service, field);

    auto *tutorial = new QPushButton(Icons::icon(Icons::Symbol::questionMarkCircle, palette().color(QPalette::ButtonText)),
                                     tr("Tutoriel"), row);
    tutorial->setObjectName(QStringLiteral("tutorialButton_") + rawName(service));
    tutorial->setAutoDefault(false);
    layout->addWidget(tutorial);

    // Said under the field while the keyring refuses the key; the key still works until the
    // program ends, and storing it is tried again.
    auto *warning = UiStyle::note(unavailableNote(), box);
    warning->setObjectName(QStringLiteral("keyringWarning_") + rawName(service));
    warning->setContentsMargins(30, 0, 0, 6);
    warning->setVisible(!m_settings.isKeyStored(service));
    boxLayout->addWidget(warning);
    m_warnings.insert(service, warning);

    // How the service last answered to the key, in the health model's words.
    auto *status = new QLabel(box);
    status->setObjectName(QStringLiteral("keyStatus_") + rawName(service));
    status->setWordWrap(true);
    status->setContentsMargins(30, 0, 0, 6);
    boxLayout->addWidget(status);
    m_statuses.insert(service, status);
    syncStatus(service);

    // Stored exactly as typed or pasted, and the values fetched again, once the user is done
    // with the field: after a pause in typing, on leaving it, or on Return. Never per
    // keystroke: each store is a keyring round trip and each refresh costs quota.
    auto *idle = new QTimer(field);
    idle->setObjectName(QStringLiteral("keyIdleTimer_") + rawName(service));
    idle->setSingleShot(true);
    idle->setInterval(typingPause);
    m_idle.insert(service, idle);
    connect(field, &QLineEdit::textEdited, this, [this, service, idle] {
        m_pending.insert(service);
        idle->start();
    });
    connect(idle, &QTimer::timeout, this, [this, service] { commitKey(service); });
    // Emitted on Return and when the field loses focus.
    connect(field, &QLineEdit::editingFinished, this, [this, service] { commitKey(service); });
    // A change from elsewhere replaces the field, unless the user is still typing in it.
    const auto follow = [this, service, field](const QString &value) {
        if (!m_pending.contains(service) && field->text() != value)
            field->setText(value);
    };
    switch (service) {
    case KeyService::twelveData:
        connect(&m_settings, &Settings::stockKeyChanged, field, follow);
        break;
    case KeyService::weather:
        connect(&m_settings, &Settings::weatherKeyChanged, field, follow);
        break;
    case KeyService::metals:
        connect(&m_settings, &Settings::metalsKeyChanged, field, follow);
        break;
    }
    connect(tutorial, &QPushButton::clicked, this, [this, service] { showTutorial(service); });
    return box;
}

void KeysTab::syncProvider()
{
    const StockProvider provider = m_settings.stockProvider();
    {
        const QSignalBlocker blocker(m_provider);
        m_provider->setCurrentIndex(m_provider->findData(static_cast<int>(provider)));
    }
    m_twelveDataRow->setVisible(provider == StockProvider::twelveData);
    m_yahooNote->setVisible(provider == StockProvider::yahoo);
}

void KeysTab::showTutorial(KeyService service)
{
    if (m_sheet) {
        if (m_sheet->service() == service)
            return;
        m_sheet->reject();
    }
    m_tutorial = service;
    auto *sheet = new TutorialSheet(service, m_environment, window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    m_sheet = sheet;
    connect(sheet, &QDialog::finished, this, [this, sheet] {
        if (m_sheet == sheet) {
            m_sheet = nullptr;
            m_tutorial.reset();
        }
    });
    sheet->open();
}
