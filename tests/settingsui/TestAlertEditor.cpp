#include "UiTestSupport.h"

#include "settingsui/AlertEditor.h"
#include "settingsui/ContentTab.h"
#include "settingsui/WatchItemRow.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <limits>

namespace {

/** Alerts kept in memory, as the program's store would keep them. */
struct MemoryAlerts
{
    QHash<QUuid, AlertThresholds> alerts;
    QList<QUuid> written;

    void connect(SettingsEnvironment &environment)
    {
        environment.alertOf = [this](const QUuid &item) -> std::optional<AlertThresholds> {
            const auto found = alerts.constFind(item);
            return found == alerts.cend() ? std::nullopt : std::optional(*found);
        };
        environment.setAlert = [this](const QUuid &item, const AlertThresholds &thresholds) {
            written.append(item);
            if (thresholds.isEmpty())
                alerts.remove(item);
            else
                alerts.insert(item, thresholds);
            return true;
        };
    }
};

/** Answers the next editor that opens: fills its fields as given and presses OK. */
void answerNextEditor(const QString &above, const QString &below, const QString &move)
{
    QTimer::singleShot(0, [=] {
        auto *editor = qobject_cast<AlertEditor *>(QApplication::activeModalWidget());
        QVERIFY(editor);
        editor->findChild<QLineEdit *>(QStringLiteral("aboveField"))->setText(above);
        editor->findChild<QLineEdit *>(QStringLiteral("belowField"))->setText(below);
        editor->findChild<QLineEdit *>(QStringLiteral("moveField"))->setText(move);
        editor->accept();
        if (editor->isVisible())
            editor->reject(); // refused: the test sees that nothing was written
    });
}

} // namespace

/** The price alerts edited in the content tab, next to each item's label. */
class TestAlertEditor : public QObject
{
    Q_OBJECT
private slots:
    void fieldsTakeNumbersOfZeroOrMore()
    {
        using Field = std::optional<std::optional<double>>;
        QCOMPARE(AlertEditor::parseField(QString()), Field(std::optional<double>()));
        QCOMPARE(AlertEditor::parseField(QStringLiteral("   ")), Field(std::optional<double>()));
        QCOMPARE(AlertEditor::parseField(QStringLiteral("600")), Field(600.0));
        QCOMPARE(AlertEditor::parseField(QStringLiteral(" 687,30 ")), Field(687.30));
        QCOMPARE(AlertEditor::parseField(QStringLiteral("0")), Field(0.0));
        for (const char *bad : {"-1", "abc", "1.2.3", "inf", "nan", "1e400", "6OO", "12 %"})
            QVERIFY2(!AlertEditor::parseField(QString::fromLatin1(bad)), bad);
        QVERIFY(!AlertEditor::parseField(QString(AlertEditor::maxFieldLength + 1, u'1')));
        QCOMPARE(AlertEditor::fieldText(std::nullopt), QString());
        QCOMPARE(AlertEditor::fieldText(687.3), QStringLiteral("687.3"));
    }

    void theEditorRefusesWhatIsNotANumber()
    {
        AlertEditor editor(QStringLiteral("AAPL"), AlertThresholds{600.0, std::nullopt, 1.5});
        QCOMPARE(editor.findChild<QLineEdit *>(QStringLiteral("aboveField"))->text(), QStringLiteral("600"));
        QCOMPARE(editor.findChild<QLineEdit *>(QStringLiteral("moveField"))->text(), QStringLiteral("1.5"));
        QCOMPARE(editor.thresholds(), std::optional(AlertThresholds{600.0, std::nullopt, 1.5}));
        editor.findChild<QLineEdit *>(QStringLiteral("belowField"))->setText(QStringLiteral("beaucoup"));
        QVERIFY(!editor.thresholds());
        editor.open();
        editor.accept();
        QVERIFY(editor.isVisible()); // stays open, and says why
        QVERIFY(!editor.findChild<QLabel *>(QStringLiteral("alertError"))->isHidden());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        editor.findChild<QLineEdit *>(QStringLiteral("belowField"))->setText(QStringLiteral("550,5"));
        editor.accept();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(editor.thresholds(), std::optional(AlertThresholds{600.0, 550.5, 1.5}));
    }

    void quoteAndMetalRowsGetTheButtonNextToTheLabel()
    {
        UiFixture f;
        MemoryAlerts memory;
        const WatchItem stock{QUuid::createUuid(), ItemKind::quote, "AAPL", "AAPL", std::nullopt};
        const WatchItem weather{QUuid::createUuid(), ItemKind::weather, "Paris", "Paris", std::nullopt};
        // Without alert editing in the environment: no button.
        {
            WatchItemRow row(stock);
            AlertEditor::attach(&row, stock, f.environment);
            QVERIFY(!row.findChild<QToolButton *>(QStringLiteral("alertButton")));
        }
        memory.connect(f.environment);
        memory.alerts.insert(stock.id, AlertThresholds{600.0, std::nullopt, std::nullopt});
        WatchItemRow row(stock);
        AlertEditor::attach(&row, stock, f.environment);
        auto *button = row.findChild<QToolButton *>(QStringLiteral("alertButton"));
        QVERIFY(button);
        QVERIFY(button->isChecked());
        QVERIFY(button->toolTip().contains(QStringLiteral("600")));
        // Right after the label's column.
        const auto *layout = row.layout();
        const int at = layout->indexOf(button);
        QVERIFY(at > 0);
        QVERIFY(layout->itemAt(at - 1)->layout() && layout->itemAt(at - 1)->layout()->indexOf(
                                                        row.findChild<QLineEdit *>(QStringLiteral("labelField"))) >= 0);
        WatchItemRow rain(weather);
        AlertEditor::attach(&rain, weather, f.environment);
        QVERIFY(!rain.findChild<QToolButton *>(QStringLiteral("alertButton")));
    }

    void theContentTabEditsAndRemovesAlerts()
    {
        UiFixture f;
        MemoryAlerts memory;
        memory.connect(f.environment);
        const WatchItem stock{QUuid::createUuid(), ItemKind::quote, "AAPL", "AAPL", std::nullopt};
        const WatchItem gold{QUuid::createUuid(), ItemKind::quote, "XAU", "OR", std::nullopt};
        f.settings.setItems({stock, gold});
        ContentTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        QList<QToolButton *> buttons = tab.findChildren<QToolButton *>(QStringLiteral("alertButton"));
        QCOMPARE(buttons.size(), 2);
        QToolButton *first = nullptr;
        for (QToolButton *button : buttons) {
            if (auto *row = qobject_cast<WatchItemRow *>(button->parentWidget()); row && row->id() == stock.id)
                first = button;
        }
        QVERIFY(first);
        QVERIFY(!first->isChecked());

        answerNextEditor(QStringLiteral("600"), QString(), QStringLiteral("1"));
        first->click();
        QCOMPARE(memory.written, QList<QUuid>{stock.id});
        QCOMPARE(memory.alerts.value(stock.id), (AlertThresholds{600.0, std::nullopt, 1.0}));
        QVERIFY(first->isChecked());

        // A refused entry writes nothing; emptied fields remove the alert.
        answerNextEditor(QStringLiteral("-3"), QString(), QString());
        first->click();
        QCOMPARE(memory.written.size(), 1);
        answerNextEditor(QString(), QString(), QString());
        first->click();
        QCOMPARE(memory.written.size(), 2);
        QVERIFY(!memory.alerts.contains(stock.id));
        QVERIFY(!first->isChecked());
    }
};

QTEST_MAIN(TestAlertEditor)
#include "TestAlertEditor.moc"
