#include "settingsui/DisplayTab.h"

#include "settings/MotionChoice.h"
#include "settings/Settings.h"
#include "settingsui/Autostart.h"
#include "settingsui/BandLookRows.h"
#include "settingsui/EnumTitles.h"
#include "settingsui/FormSection.h"
#include "settingsui/ScreenPicker.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/ToggleSwitch.h"
#include "settingsui/UiStyle.h"
#include "settingsui/WindowHandlingStatus.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

/** A picker listing every case of E with its title; the case is stored as item data. */
template<typename E> QComboBox *picker(const QString &objectName)
{
    auto *combo = new QComboBox();
    combo->setObjectName(objectName);
    for (E value : allCases<E>())
        combo->addItem(title(value), static_cast<int>(value));
    return combo;
}

template<typename E> void select(QComboBox *combo, E value)
{
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(combo->findData(static_cast<int>(value)));
}

template<typename E> E selected(const QComboBox *combo)
{
    return static_cast<E>(combo->currentData().toInt());
}

/** The whole number shown for a setting: truncated, like the slider's own steps. */
QString whole(double value)
{
    return QString::number(static_cast<long long>(std::trunc(value)));
}

} // namespace

DisplayTab::DisplayTab(Settings &settings, SettingsEnvironment &environment, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("displayTab"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *page = new FormPage(this);
    layout->addWidget(page);

    FormSection *window = page->addSection(tr("Fenêtre"));
    m_showInDock = new ToggleSwitch();
    m_showInDock->setObjectName(QStringLiteral("showInDockSwitch"));
    window->addRow(tr("Afficher Dotbanner dans la barre des tâches"), m_showInDock);
    // Kept in the session's autostart folder, not in the settings record.
    m_autostart = new ToggleSwitch();
    m_autostart->setObjectName(QStringLiteral("autostartSwitch"));
    window->addRow(tr("Lancer Dotbanner à l'ouverture de session"), m_autostart);
    m_levelMode = picker<WindowLevelMode>(QStringLiteral("levelModePicker"));
    window->addRow(tr("Position"), m_levelMode);
    m_position = picker<DockPosition>(QStringLiteral("positionPicker"));
    window->addRow(tr("Emplacement"), m_position);
    window->addRow(tr("Écran"), new ScreenPicker(environment.screenChoice()));
    m_pushWindows = new ToggleSwitch();
    m_pushWindows->setObjectName(QStringLiteral("pushWindowsSwitch"));
    m_pushRow = window->addRow(tr("Repousser les fenêtres ouvertes sous le bandeau"), m_pushWindows);
    m_pushRow->setObjectName(QStringLiteral("pushWindowsRow"));
    m_windowHandling = new WindowHandlingStatus(environment);
    m_windowHandlingRow = window->addRow(m_windowHandling);

    FormSection *band = page->addSection(tr("Bandeau"));
    m_variant = picker<BarVariant>(QStringLiteral("variantPicker"));
    band->addRow(tr("Variante"), m_variant);
    m_fontStyle = picker<FontStyle>(QStringLiteral("fontStylePicker"));
    band->addRow(tr("Police"), m_fontStyle);
    m_theme = picker<ColorTheme>(QStringLiteral("themePicker"));
    band->addRow(tr("Couleurs"), m_theme);
    new BandLookRows(band, environment.bandLook());

    m_ledSize = new QSlider(Qt::Horizontal);
    m_ledSize->setObjectName(QStringLiteral("ledSizeSlider"));
    m_ledSize->setRange(3, 10);
    m_ledSizeValue = new QLabel();
    m_ledSizeValue->setObjectName(QStringLiteral("ledSizeValue"));
    addSliderRow(band, tr("Résolution des LED"), m_ledSize, m_ledSizeValue);
    m_speed = new QSlider(Qt::Horizontal);
    m_speed->setObjectName(QStringLiteral("speedSlider"));
    m_speed->setRange(1, 6);
    m_speedValue = new QLabel();
    m_speedValue->setObjectName(QStringLiteral("speedValue"));
    addSliderRow(band, tr("Vitesse"), m_speed, m_speedValue);
    addMotionRow(band, environment.motionChoice());

    // Window → settings: only what the user does; programmatic updates are blocked in sync().
    connect(m_showInDock, &ToggleSwitch::toggled, this, [this](bool on) { m_settings.setShowInDock(on); });
    connect(m_pushWindows, &ToggleSwitch::toggled, this, [this](bool on) { m_settings.setPushWindows(on); });
    connect(m_autostart, &ToggleSwitch::toggled, this, [this](bool on) {
        Autostart::setEnabled(on);
        syncAutostart(); // a refused write shows the state that holds
    });
    connect(m_levelMode, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setLevelMode(selected<WindowLevelMode>(m_levelMode)); });
    connect(m_position, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setPosition(selected<DockPosition>(m_position)); });
    connect(m_variant, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setVariant(selected<BarVariant>(m_variant)); });
    connect(m_fontStyle, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setFontStyle(selected<FontStyle>(m_fontStyle)); });
    connect(m_theme, &QComboBox::currentIndexChanged, this,
            [this] { m_settings.setTheme(selected<ColorTheme>(m_theme)); });
    connect(m_ledSize, &QSlider::valueChanged, this, [this](int value) { m_settings.setLedSize(value); });
    connect(m_speed, &QSlider::valueChanged, this, [this](int value) { m_settings.setSpeed(value); });

    // Settings → window, whoever made the change.
    for (auto signal : {&Settings::showInDockChanged, &Settings::pushWindowsChanged})
        connect(&m_settings, signal, this, &DisplayTab::sync);
    connect(&m_settings, &Settings::levelModeChanged, this, &DisplayTab::sync);
    connect(&m_settings, &Settings::positionChanged, this, &DisplayTab::sync);
    connect(&m_settings, &Settings::variantChanged, this, &DisplayTab::sync);
    connect(&m_settings, &Settings::fontStyleChanged, this, &DisplayTab::sync);
    connect(&m_settings, &Settings::themeChanged, this, &DisplayTab::sync);
    connect(&m_settings, &Settings::ledSizeChanged, this, &DisplayTab::sync);
    connect(&m_settings, &Settings::speedChanged, this, &DisplayTab::sync);
    sync();
    syncAutostart();
}

void DisplayTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    syncAutostart();
}

void DisplayTab::syncAutostart()
{
    const QSignalBlocker blocker(m_autostart);
    m_autostart->setChecked(Autostart::isEnabled());
}

void DisplayTab::addMotionRow(FormSection *section, MotionChoice &choice)
{
    // Kept under its own key, apart from the settings record.
    m_motion = new QComboBox();
    m_motion->setObjectName(QStringLiteral("motionPicker"));
    m_motion->addItem(tr("Continu"), false);
    m_motion->addItem(tr("Par étapes, sans animation"), true);
    section->addRow(tr("Défilement"), m_motion);
    const auto show = [this](bool reduced) {
        const QSignalBlocker blocker(m_motion);
        m_motion->setCurrentIndex(reduced ? 1 : 0);
    };
    show(choice.reducedMotion());
    connect(m_motion, &QComboBox::currentIndexChanged, &choice,
            [this, &choice] { choice.setReducedMotion(m_motion->currentData().toBool()); });
    connect(&choice, &MotionChoice::reducedMotionChanged, this, show);
}

QWidget *DisplayTab::addSliderRow(FormSection *section, const QString &label, QSlider *slider, QLabel *value)
{
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::NoTicks);
    value->setFixedWidth(44);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return section->addRow(label, slider, value);
}

void DisplayTab::sync()
{
    {
        const QSignalBlocker blocker(m_showInDock);
        m_showInDock->setChecked(m_settings.showInDock());
    }
    {
        const QSignalBlocker blocker(m_pushWindows);
        m_pushWindows->setChecked(m_settings.pushWindows());
    }
    select(m_levelMode, m_settings.levelMode());
    select(m_position, m_settings.position());
    select(m_variant, m_settings.variant());
    select(m_fontStyle, m_settings.fontStyle());
    select(m_theme, m_settings.theme());
    {
        const QSignalBlocker blocker(m_ledSize);
        m_ledSize->setValue(static_cast<int>(m_settings.ledSize()));
    }
    {
        const QSignalBlocker blocker(m_speed);
        m_speed->setValue(static_cast<int>(m_settings.speed()));
    }
    // The shown values come from the settings, not the slider: a stored value outside
    // the slider's range is shown as it is.
    m_ledSizeValue->setText(tr("%1 px").arg(whole(m_settings.ledSize())));
    m_speedValue->setText(whole(m_settings.speed()));

    const bool front = m_settings.levelMode() == WindowLevelMode::front;
    m_pushRow->setVisible(front);
    m_windowHandlingRow->setVisible(front && m_settings.pushWindows());
}
