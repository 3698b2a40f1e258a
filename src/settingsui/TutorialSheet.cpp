#include "settingsui/TutorialSheet.h"

#include "settingsui/Icons.h"
#include "settingsui/KeyServiceInfo.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

/** The 48-point rounded square filled with the service's colour, its icon in white. */
class ServiceBadge : public QWidget
{
public:
    ServiceBadge(const KeyServiceInfo &info, QWidget *parent)
        : QWidget(parent)
        , m_color(info.color)
        , m_icon(info.icon)
    {
        setObjectName(QStringLiteral("serviceBadge"));
        setFixedSize(48, 48);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient gradient(0, 0, 48, 48);
        gradient.setColorAt(0, m_color.lighter(125));
        gradient.setColorAt(1, m_color.darker(110));
        p.setPen(Qt::NoPen);
        p.setBrush(gradient);
        p.drawRoundedRect(QRectF(0, 0, 48, 48), 12, 12);
        p.drawPixmap(QPointF(13, 13), Icons::drawn(m_icon, Qt::white, 22, 0, devicePixelRatioF()));
    }

private:
    QColor m_color;
    Icons::Symbol m_icon;
};

/** One numbered step on a rounded, lightly filled card. */
class StepCard : public QWidget
{
public:
    static constexpr qreal cardTint = 0.05;

    StepCard(int number, const KeyServiceInfo::Step &step, const QColor &color, QWidget *parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("tutorialStep"));
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(12, 12, 12, 12);
        layout->setSpacing(12);
        auto *badge = new QLabel(QString::number(number), this);
        badge->setObjectName(QStringLiteral("stepNumber"));
        badge->setFixedSize(26, 26);
        badge->setAlignment(Qt::AlignCenter);
        QColor fill = color;
        fill.setAlphaF(0.15);
        // The number is in the service's hue, in a shade that reads on the tinted disc.
        QColor card = palette().color(QPalette::WindowText);
        card.setAlphaF(cardTint);
        const QColor disc = UiStyle::over(fill, UiStyle::over(card, palette().color(QPalette::Window)));
        const QColor digits = UiStyle::readable(color, {disc});
        badge->setStyleSheet(QStringLiteral("QLabel { background: rgba(%1,%2,%3,%4); color: %5; border-radius: 13px; }")
                                 .arg(fill.red())
                                 .arg(fill.green())
                                 .arg(fill.blue())
                                 .arg(fill.alphaF())
                                 .arg(digits.name()));
        badge->setFont(UiStyle::font(badge->font(), UiStyle::TextStyle::calloutBold));
        layout->addWidget(badge, 0, Qt::AlignTop);
        auto *stack = new QVBoxLayout();
        stack->setSpacing(2);
        auto *title = new QLabel(step.title, this);
        title->setObjectName(QStringLiteral("stepTitle"));
        UiStyle::styleLabel(title, UiStyle::TextStyle::headline);
        stack->addWidget(title);
        auto *text = new QLabel(step.text, this);
        text->setObjectName(QStringLiteral("stepText"));
        text->setWordWrap(true);
        UiStyle::styleLabel(text, UiStyle::TextStyle::body, UiStyle::secondaryText(text));
        stack->addWidget(text);
        layout->addLayout(stack, 1);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fill = palette().color(QPalette::WindowText);
        fill.setAlphaF(cardTint); // a quaternary fill at half strength
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(rect()), 10, 10);
    }
};

} // namespace

TutorialSheet::TutorialSheet(KeyService service, SettingsEnvironment &environment, QWidget *parent)
    // Fixed size: the window manager offers neither minimise nor maximise.
    : QDialog(parent, Qt::Sheet | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_service(service)
{
    const KeyServiceInfo &info = KeyServiceInfo::of(service);
    setObjectName(QStringLiteral("tutorialSheet"));
    setWindowTitle(tr("Obtenir une clé %1").arg(info.displayName));
    setFixedWidth(sheetWidth);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 22, 22, 22);
    layout->setSpacing(16);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto *header = new QHBoxLayout();
    header->setSpacing(14);
    header->addWidget(new ServiceBadge(info, this));
    auto *titles = new QVBoxLayout();
    titles->setSpacing(2);
    auto *title = new QLabel(tr("Obtenir une clé %1").arg(info.displayName), this);
    title->setObjectName(QStringLiteral("sheetTitle"));
    UiStyle::styleLabel(title, UiStyle::TextStyle::title3);
    titles->addWidget(title);
    auto *subtitle = new QLabel(info.subtitle, this);
    subtitle->setObjectName(QStringLiteral("sheetSubtitle"));
    UiStyle::styleLabel(subtitle, UiStyle::TextStyle::body, UiStyle::secondaryText(subtitle));
    titles->addWidget(subtitle);
    header->addLayout(titles, 1);
    layout->addLayout(header);

    auto *steps = new QVBoxLayout();
    steps->setSpacing(10);
    for (qsizetype i = 0; i < info.steps.size(); ++i) {
        auto *card = new StepCard(static_cast<int>(i + 1), info.steps.at(i), info.color, this);
        card->setFixedWidth(sheetWidth - 44);
        steps->addWidget(card);
    }
    layout->addLayout(steps);

    auto *noteRow = new QHBoxLayout();
    noteRow->setSpacing(6);
    auto *noteIcon = new QLabel(this);
    noteIcon->setPixmap(Icons::icon(Icons::Symbol::infoCircle, UiStyle::secondaryText(this)).pixmap(14, 14));
    noteRow->addWidget(noteIcon, 0, Qt::AlignTop);
    QLabel *note = UiStyle::note(info.note, this);
    note->setObjectName(QStringLiteral("sheetNote"));
    noteRow->addWidget(note, 1);
    layout->addLayout(noteRow);

    auto *buttons = new QHBoxLayout();
    auto *close = new QPushButton(tr("Fermer"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto *open = new QPushButton(Icons::icon(Icons::Symbol::arrowUpRightSquare, Qt::white),
                                 tr("Ouvrir %1").arg(info.displayName), this);
    open->setObjectName(QStringLiteral("openSiteButton"));
    open->setAutoDefault(false);
    open->setCursor(Qt::PointingHandCursor);
    const QColor fill = UiStyle::buttonFill(info.color);
    open->setStyleSheet(QStringLiteral("QPushButton { color: white; background: %1; border: none; border-radius: 6px; "
                                       "padding: 5px 12px; } QPushButton:pressed { background: %2; }")
                            .arg(fill.name(), fill.darker(115).name()));
    buttons->addWidget(open);
    layout->addLayout(buttons);

    // Escape reaches QDialog::reject(), like "Fermer".
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    const QUrl site = info.site;
    connect(open, &QPushButton::clicked, this, [&environment, site] { environment.open(site); });
}
