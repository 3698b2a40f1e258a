#include "SettingsFixture.h"
#include "settings/ScreenChoice.h"
#include "settingsui/ScreenPicker.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList texts(const QComboBox &picker)
{
    QStringList result;
    for (int i = 0; i < picker.count(); ++i)
        result << picker.itemText(i);
    return result;
}

} // namespace

/** The picker with the compositor's outputs, as the layer surface publishes them. */
class TestScreenPicker : public QObject
{
    Q_OBJECT

private slots:
    void listsTheCompositorsOutputsWithTheirDescriptions()
    {
        SettingsFixture f;
        ScreenChoice choice(f.store);
        choice.setScreens({{"HEADLESS-1", "Headless output 1"},
                           {"DP-2", "Dell Inc. U2720Q (DP-2)"},
                           {"eDP-1", QString()},
                           {QString(), "nameless"},    // cannot be chosen: not offered
                           {"DP-2", "listed twice"}}); // the first one stands
        ScreenPicker picker(choice);
        QCOMPARE(texts(picker), (QStringList{"Écran principal", "HEADLESS-1 — Headless output 1",
                                             "Dell Inc. U2720Q (DP-2)", "eDP-1"}));
        QCOMPARE(picker.currentIndex(), 0);

        // Choosing stores the compositor's name, not the text shown.
        picker.setCurrentIndex(2);
        QCOMPARE(choice.screenName(), QString("DP-2"));
        QCOMPARE(f.store.data(ScreenChoice::key), std::optional(QByteArray("DP-2")));
    }

    void followsOutputsThatComeAndGoAndKeepsTheChoice()
    {
        SettingsFixture f;
        ScreenChoice choice(f.store);
        choice.setScreenName("HEADLESS-2");
        choice.setScreens({{"HEADLESS-1", QString()}, {"HEADLESS-2", QString()}});
        ScreenPicker picker(choice);
        QCOMPARE(picker.currentText(), QString("HEADLESS-2"));

        // The chosen output goes: it stays chosen, marked, and nothing is written.
        QSignalSpy written(&choice, &ScreenChoice::screenNameChanged);
        choice.setScreens({{"HEADLESS-1", QString()}});
        QCOMPARE(texts(picker), (QStringList{"Écran principal", "HEADLESS-1", "HEADLESS-2 (débranché)"}));
        QCOMPARE(picker.currentText(), QString("HEADLESS-2 (débranché)"));
        QCOMPARE(written.size(), 0);
        QCOMPARE(choice.screenName(), QString("HEADLESS-2"));

        // It comes back under its name.
        choice.setScreens({{"HEADLESS-1", QString()}, {"HEADLESS-2", "back"}});
        QCOMPARE(picker.currentText(), QString("HEADLESS-2 — back"));
        QCOMPARE(written.size(), 0);

        // No outputs published any more: Qt's screens are offered again.
        choice.setScreens({});
        QVERIFY(!texts(picker).contains("HEADLESS-1"));
        QCOMPARE(picker.currentText(), QString("HEADLESS-2 (débranché)"));
    }
};

QTEST_MAIN(TestScreenPicker)
#include "TestScreenPicker.moc"
