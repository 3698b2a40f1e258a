#include "settingsui/KeysTab.h"

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
#include <QVBoxLayout>

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

} // namespace

KeysTab::KeysTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_environment(environment)
    , m_lastProvider(settings.stockProvider())
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
    QLabel *closingText = UiStyle::note(closingNote(), closing);
    closingText->setObjectName(QStringLiteral("closingNoteText"));
    closingLayout->addWidget(closingText, 1);
    page->addTrailing(closing);

    connect(m_provider, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setStockProvider(static_cast<StockProvider>(m_provider->currentData().toInt())); });
    connect(&m_settings, &Settings::stockProviderChanged, this, [this](StockProvider provider) {
        syncProvider();
        if (provider == m_lastProvider)
            return;
        m_lastProvider = provider;
        m_environment.requestDataRefresh(true);
    });
    syncProvider();
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

QWidget *KeysTab::keyRow(KeyService service)
{
    const KeyServiceInfo &info = KeyServiceInfo::of(service);
    auto *row = new QWidget();
    row->setObjectName(QStringLiteral("keyRow_") + rawName(service));
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

    // Stored exactly as typed or pasted, once per edit, then the values are fetched again.
    connect(field, &QLineEdit::textEdited, this, [this, service](const QString &text) {
        KeyServiceInfo::of(service).setKey(m_settings, text);
        m_environment.requestDataRefresh(true);
    });
    const auto follow = [field](const QString &value) {
        if (field->text() != value)
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
    return row;
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
