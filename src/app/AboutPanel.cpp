#include "app/AboutPanel.h"

#include "app/LedIcon.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef DOTBANNER_VERSION
#error "DOTBANNER_VERSION must come from the build system"
#endif
#ifndef DOTBANNER_BUILD_NUMBER
#error "DOTBANNER_BUILD_NUMBER must come from the build system"
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

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutPanel::versionText()
{
    return tr("Version %1 (%2)")
        .arg(QStringLiteral(DOTBANNER_VERSION), QStringLiteral(DOTBANNER_BUILD_NUMBER));
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
