#include "app/AboutPanel.h"

#include "app/LedIcon.h"
#include "app/LicenseText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef DOTBANNER_VERSION
#error "DOTBANNER_VERSION must come from the build system"
#endif
#ifndef DOTBANNER_BUILD_NUMBER
#error "DOTBANNER_BUILD_NUMBER must come from the build system"
#endif
#ifndef DOTBANNER_HOMEPAGE
#error "DOTBANNER_HOMEPAGE must come from the build system"
#endif

AboutPanel::AboutPanel(QWidget *parent)
    // A fixed-size panel: the window manager offers neither minimise nor maximise.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("aboutPanel"));
    setWindowTitle(tr("À propos de Dotbanner"));
    setWindowIcon(LedIcon::icon());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 18);
    layout->setSpacing(8);

    auto *icon = new QLabel(this);
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(LedIcon::image(int(96 * ratio)));
    pixmap.setDevicePixelRatio(ratio);
    icon->setPixmap(pixmap);
    icon->setAlignment(Qt::AlignHCenter);
    layout->addWidget(icon);

    auto *name = new QLabel(QStringLiteral("Dotbanner"), this);
    name->setObjectName(QStringLiteral("name"));
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignHCenter);
    layout->addWidget(name);

    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("version"));
    version->setAlignment(Qt::AlignHCenter);
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(version);

    layout->addSpacing(6);
    auto *creditsLabel = new QLabel(credits().join(QLatin1Char('\n')), this);
    creditsLabel->setObjectName(QStringLiteral("credits"));
    creditsLabel->setAlignment(Qt::AlignHCenter);
    creditsLabel->setWordWrap(true);
    // A wrapped label under a fixed-size layout would take a narrow guess of its own.
    creditsLabel->setFixedWidth(440);
    QFont small = creditsLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    creditsLabel->setFont(small);
    layout->addWidget(creditsLabel);

    layout->addSpacing(6);
    auto *licence = new QLabel(tr("Logiciel libre sous licence MIT.") + QLatin1Char('\n') + copyrightLine(), this);
    licence->setObjectName(QStringLiteral("licence"));
    licence->setAlignment(Qt::AlignHCenter);
    licence->setFont(small);
    layout->addWidget(licence);
    auto *licenceText = new QPlainTextEdit(licenseText(), this);
    licenceText->setObjectName(QStringLiteral("licenceText"));
    licenceText->setReadOnly(true);
    licenceText->setAccessibleName(tr("Texte de la licence"));
    licenceText->setFixedSize(440, 110);
    licenceText->setFont(small);
    layout->addWidget(licenceText);
    auto *address = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(homepage().toHtmlEscaped()), this);
    address->setObjectName(QStringLiteral("homepage"));
    address->setAlignment(Qt::AlignHCenter);
    address->setTextFormat(Qt::RichText);
    address->setOpenExternalLinks(true);
    address->setTextInteractionFlags(Qt::TextBrowserInteraction);
    address->setAccessibleName(tr("Site du projet"));
    layout->addWidget(address);

    // A plain button: no icon, whatever the style would give a standard one.
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutPanel::versionText()
{
    return tr("Version %1 (%2)").arg(QStringLiteral(DOTBANNER_VERSION), QStringLiteral(DOTBANNER_BUILD_NUMBER));
}

QString AboutPanel::licenseText()
{
    return QString::fromUtf8(dotbannerLicenseText).trimmed();
}

QString AboutPanel::copyrightLine()
{
    const QStringList lines = licenseText().split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("Copyright")))
            return line.trimmed();
    }
    return QString();
}

QString AboutPanel::homepage()
{
    return QStringLiteral(DOTBANNER_HOMEPAGE);
}

QStringList AboutPanel::credits()
{
    return {
        tr("Un bandeau à LED qui fait défiler vos cours, métaux, météo et actualités."),
        QString(),
        tr("Cours : Yahoo Finance et Twelve Data"),
        tr("Métaux : Metals.Dev"),
        tr("Données météo fournies par WeatherAPI.com"),
    };
}
