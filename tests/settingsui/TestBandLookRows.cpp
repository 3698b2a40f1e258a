#include "UiTestSupport.h"

#include "settings/BandLook.h"
#include "settingsui/BandLookRows.h"
#include "settingsui/DisplayTab.h"
#include "settingsui/FormSection.h"
#include "settingsui/ToggleSwitch.h"

#include <QComboBox>
#include <QTest>

/** The display tab's choice of up and down colours and of the day's charts. */
class TestBandLookRows : public QObject
{
    Q_OBJECT
private slots:
    void theDisplayTabShowsTheChoicesBesideTheThemes()
    {
        UiFixture f;
        BandLook look(f.store);
        f.environment.setBandLook(&look);
        DisplayTab tab(f.settings, f.environment);
        auto *picker = tab.findChild<QComboBox *>(QStringLiteral("upDownColoursPicker"));
        auto *charts = tab.findChild<ToggleSwitch *>(QStringLiteral("sparklinesSwitch"));
        QVERIFY(picker && charts);
        auto *themes = tab.findChild<QComboBox *>(QStringLiteral("themePicker"));
        QVERIFY(themes);
        QCOMPARE(picker->parentWidget()->parentWidget(), themes->parentWidget()->parentWidget()); // same card
        QCOMPARE(picker->count(), 3);
        QCOMPARE(picker->currentData().toInt(), int(UpDownColours::greenRed));
        QVERIFY(!charts->isChecked());
    }

    void choosingStoresAndOutsideChangesShow()
    {
        UiFixture f;
        QVERIFY(f.store.set(BandLook::upDownKey, "redUp"));
        BandLook look(f.store);
        FormSection section;
        auto *rows = new BandLookRows(&section, look);
        QComboBox *picker = rows->upDownPicker();
        ToggleSwitch *charts = rows->sparklinesSwitch();
        QCOMPARE(picker->currentData().toInt(), int(UpDownColours::redUp));
        QCOMPARE(picker->currentText(), BandLookRows::title(UpDownColours::redUp));

        picker->setCurrentIndex(picker->findData(int(UpDownColours::blueOrange)));
        QCOMPARE(look.upDownColours(), UpDownColours::blueOrange);
        QCOMPARE(f.store.data(BandLook::upDownKey), std::optional<QByteArray>("blueOrange"));
        charts->click();
        QVERIFY(look.sparklines());
        QCOMPARE(f.store.data(BandLook::sparklinesKey), std::optional<QByteArray>("true"));

        // Changed elsewhere: the rows follow.
        look.setUpDownColours(UpDownColours::greenRed);
        QCOMPARE(picker->currentData().toInt(), int(UpDownColours::greenRed));
        look.setSparklines(false);
        QVERIFY(!charts->isChecked());
    }
};

QTEST_MAIN(TestBandLookRows)
#include "TestBandLookRows.moc"
