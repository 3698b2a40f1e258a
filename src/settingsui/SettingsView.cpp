#include "settingsui/SettingsView.h"

#include "settingsui/ContentTab.h"
#include "settingsui/DisplayTab.h"
#include "settingsui/FocusRingStyle.h"
#include "settingsui/Icons.h"
#include "settingsui/KeysTab.h"
#include "settingsui/UiStyle.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#ifndef DOTBANNER_VERSION
#define DOTBANNER_VERSION ""
#endif
#ifndef DOTBANNER_BUILD_NUMBER
#define DOTBANNER_BUILD_NUMBER ""
#endif

namespace {

std::optional<QString> nonEmpty(const char *text)
{
    const QString value = QString::fromUtf8(text);
    return value.isEmpty() ? std::nullopt : std::optional<QString>(value);
}

} // namespace

BundleInfo BundleInfo::current()
{
    // The program carries no copyright line of its own: the built-in notice stands.
    return BundleInfo{nonEmpty(DOTBANNER_VERSION), nonEmpty(DOTBANNER_BUILD_NUMBER), std::nullopt};
}

QString SettingsView::builtInNotice()
{
    return tr("Bandeau LED de cours, météo et actualités");
}

QString SettingsView::aboutLine(const BundleInfo &info)
{
    return tr("Version %1 (%2) · %3")
        .arg(info.shortVersion.value_or(QStringLiteral("dev")), info.buildVersion.value_or(QStringLiteral("0")),
             info.copyright.value_or(builtInNotice()));
}

SettingsView::SettingsView(Settings &settings, SettingsEnvironment &environment, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("settingsView"));
    setWindowTitle(tr("Dotbanner, réglages"));
    setMinimumSize(minimumViewWidth, minimumViewHeight);
    resize(viewWidth, viewHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setDocumentMode(true);
    FocusRingStyle::apply(m_tabs->tabBar());
    m_display = new DisplayTab(settings, environment);
    m_content = new ContentTab(settings, environment);
    m_keys = new KeysTab(settings, environment);
    const QColor iconColor = palette().color(QPalette::WindowText);
    m_tabs->addTab(m_display, Icons::icon(Icons::Symbol::display, iconColor), tr("Affichage"));
    m_tabs->addTab(m_content, Icons::icon(Icons::Symbol::listBullet, iconColor), tr("Contenu"));
    m_tabs->addTab(m_keys, Icons::icon(Icons::Symbol::key, iconColor), tr("Clés API"));
    layout->addWidget(m_tabs, 1);

    auto *divider = new QFrame(this);
    divider->setObjectName(QStringLiteral("divider"));
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    auto *footer = new QWidget(this);
    footer->setObjectName(QStringLiteral("footer"));
    auto *footerLayout = new QHBoxLayout(footer);
    footerLayout->setContentsMargins(20, 12, 20, 12);
    auto *version = new QLabel(aboutLine(BundleInfo::current()), footer);
    version->setObjectName(QStringLiteral("versionLine"));
    UiStyle::styleLabel(version, UiStyle::TextStyle::caption, UiStyle::secondaryText(version));
    footerLayout->addWidget(version);
    footerLayout->addStretch(1);
    m_done = new QPushButton(tr("Terminer"), footer);
    m_done->setObjectName(QStringLiteral("doneButton"));
    m_done->setDefault(true);
    m_done->setMinimumSize(96, 30);
    footerLayout->addWidget(m_done);
    layout->addWidget(footer);

    connect(m_done, &QPushButton::clicked, this, [this] { window()->close(); });
}

void SettingsView::keyPressEvent(QKeyEvent *event)
{
    // Return closes the window like a dialog's default button, except in a text field: there
    // the field has already done what Return is for (add, rename, search, store), and closing
    // would throw away what the user just typed.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!qobject_cast<QLineEdit *>(focusWidget()))
            m_done->click();
        event->accept();
        return;
    }
    // Escape closes the window from anywhere, text fields included: every edit is already kept.
    if (event->key() == Qt::Key_Escape) {
        m_done->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
