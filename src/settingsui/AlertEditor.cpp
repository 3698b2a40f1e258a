#include "settingsui/AlertEditor.h"

#include "settingsui/SettingsEnvironment.h"
#include "settingsui/WatchItemRow.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

#include <cmath>

namespace {

/** The button's look: checked while the item has an alert, whose thresholds its tooltip lists. */
void showState(QToolButton *button, const std::optional<AlertThresholds> &alert)
{
    button->setChecked(alert && !alert->isEmpty());
    QStringList lines;
    if (alert) {
        if (alert->above)
            lines << AlertEditor::tr("Au-dessus de %1").arg(AlertEditor::fieldText(alert->above));
        if (alert->below)
            lines << AlertEditor::tr("En dessous de %1").arg(AlertEditor::fieldText(alert->below));
        if (alert->movePercent)
            lines << AlertEditor::tr("Variation du jour de %1 %").arg(AlertEditor::fieldText(alert->movePercent));
    }
    button->setToolTip(lines.isEmpty() ? AlertEditor::tr("Aucune alerte") : lines.join(u'\n'));
}

} // namespace

AlertEditor::AlertEditor(const QString &label, const AlertThresholds &current, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("alertEditor"));
    setWindowTitle(tr("Alerte pour %1").arg(label.left(60)));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout();
    m_above = addField(QStringLiteral("aboveField"), current.above);
    form->addRow(tr("Au-dessus de"), m_above);
    m_below = addField(QStringLiteral("belowField"), current.below);
    form->addRow(tr("En dessous de"), m_below);
    m_move = addField(QStringLiteral("moveField"), current.movePercent);
    form->addRow(tr("Variation du jour (%)"), m_move);
    layout->addLayout(form);
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("alertError"));
    m_error->setWordWrap(true);
    m_error->hide();
    layout->addWidget(m_error);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AlertEditor::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AlertEditor::reject);
    layout->addWidget(buttons);
}

QLineEdit *AlertEditor::addField(const QString &objectName, const std::optional<double> &value)
{
    auto *field = new QLineEdit(fieldText(value), this);
    field->setObjectName(objectName);
    field->setMaxLength(maxFieldLength);
    field->setPlaceholderText(tr("aucune"));
    connect(field, &QLineEdit::textEdited, m_error, [this] {
        if (m_error)
            m_error->hide();
    });
    return field;
}

std::optional<std::optional<double>> AlertEditor::parseField(const QString &text)
{
    QString plain = text.trimmed();
    if (plain.isEmpty())
        return std::optional<double>();
    if (plain.size() > maxFieldLength)
        return std::nullopt;
    plain.replace(u',', u'.');
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return std::optional<double>(value);
}

QString AlertEditor::fieldText(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'g', 12) : QString();
}

std::optional<AlertThresholds> AlertEditor::thresholds() const
{
    const auto above = parseField(m_above->text());
    const auto below = parseField(m_below->text());
    const auto move = parseField(m_move->text());
    if (!above || !below || !move)
        return std::nullopt;
    return AlertThresholds{*above, *below, *move};
}

void AlertEditor::accept()
{
    if (!thresholds()) {
        m_error->setText(tr("Chaque seuil est un nombre positif, ou vide pour aucun."));
        m_error->show();
        return;
    }
    QDialog::accept();
}

void AlertEditor::attach(WatchItemRow *row, const WatchItem &item, SettingsEnvironment &environment)
{
    if (item.kind == ItemKind::weather || !environment.alertOf || !environment.setAlert)
        return;
    auto *box = qobject_cast<QBoxLayout *>(row->layout());
    if (!box)
        return;
    auto *button = new QToolButton(row);
    button->setObjectName(QStringLiteral("alertButton"));
    button->setText(tr("Alerte"));
    button->setCheckable(true);
    button->setAutoRaise(true);
    showState(button, environment.alertOf(item.id));
    // Next to the label: after the kind's icon and the label's column.
    const int afterLabel = std::min(3, box->count());
    box->insertWidget(afterLabel, button);

    QPointer<SettingsEnvironment> env(&environment);
    const QUuid id = item.id;
    const QString label = item.label;
    QObject::connect(button, &QToolButton::clicked, row, [button, env, id, label] {
        if (!env)
            return;
        const std::optional<AlertThresholds> current = env->alertOf(id);
        showState(button, current); // a click must not change the look by itself
        AlertEditor editor(label, current.value_or(AlertThresholds{}), button->window());
        if (editor.exec() != QDialog::Accepted || !env)
            return;
        if (const auto chosen = editor.thresholds())
            env->setAlert(id, *chosen);
        showState(button, env->alertOf(id));
    });
}
