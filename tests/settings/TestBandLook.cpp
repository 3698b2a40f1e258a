#include "SettingsFixture.h"
#include "settings/BandLook.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

/** The band's look beyond the record: each choice in a file of its own, the record untouched. */
class TestBandLook : public QObject
{
    Q_OBJECT
private slots:
    void defaultsAreTodaysBand()
    {
        SettingsFixture f;
        BandLook look(f.store);
        QCOMPARE(look.upDownColours(), UpDownColours::greenRed);
        QVERIFY(!look.sparklines());
    }

    void choicesAreStoredUnderTheirOwnKeysAndReadBack()
    {
        SettingsFixture f;
        const std::optional<QByteArray> record = f.store.data(Settings::key);
        {
            BandLook look(f.store);
            QSignalSpy colours(&look, &BandLook::upDownColoursChanged);
            QSignalSpy charts(&look, &BandLook::sparklinesChanged);
            QVERIFY(look.setUpDownColours(UpDownColours::blueOrange));
            QVERIFY(look.setUpDownColours(UpDownColours::blueOrange)); // the same: not announced again
            QVERIFY(look.setSparklines(true));
            QCOMPARE(colours.size(), 1);
            QCOMPARE(charts.size(), 1);
            QCOMPARE(f.store.data(BandLook::upDownKey), std::optional<QByteArray>("blueOrange"));
            QCOMPARE(f.store.data(BandLook::sparklinesKey), std::optional<QByteArray>("true"));
        }
        // The settings record is not written for either.
        QCOMPARE(f.store.data(Settings::key), record);
        BandLook again(f.store);
        QCOMPARE(again.upDownColours(), UpDownColours::blueOrange);
        QVERIFY(again.sparklines());
        QVERIFY(again.setUpDownColours(UpDownColours::redUp));
        QCOMPARE(f.store.data(BandLook::upDownKey), std::optional<QByteArray>("redUp"));
    }

    void storedNamesAreReadStrictly()
    {
        QCOMPARE(BandLook::parse("greenRed"), std::optional(UpDownColours::greenRed));
        QCOMPARE(BandLook::parse("blueOrange\n"), std::optional(UpDownColours::blueOrange));
        QCOMPARE(BandLook::parse("redUp"), std::optional(UpDownColours::redUp));
        for (const QByteArray &bad : {QByteArray(), QByteArray("RedUp"), QByteArray(" redUp"), QByteArray("redUp\n\n"),
                                      QByteArray("redUp\0x", 7), QByteArray(100000, 'r')})
            QVERIFY2(!BandLook::parse(bad), bad.left(20).constData());

        // Whatever else is in the files reads as the defaults.
        SettingsFixture f;
        QVERIFY(f.store.set(BandLook::upDownKey, "purple"));
        QVERIFY(f.store.set(BandLook::sparklinesKey, "yes"));
        BandLook look(f.store);
        QCOMPARE(look.upDownColours(), UpDownColours::greenRed);
        QVERIFY(!look.sparklines());
    }

    void aFailedWriteKeepsTheChoiceForTheRun()
    {
        SettingsFixture f;
        BandLook look(f.store);
        // A folder where the file should be: no write can replace it, whoever runs the test.
        QVERIFY(QDir(f.dir.path()).mkpath(BandLook::sparklinesKey + QStringLiteral("/in-the-way")));
        QSignalSpy charts(&look, &BandLook::sparklinesChanged);
        QVERIFY(!look.setSparklines(true));
        QVERIFY(look.sparklines());
        QCOMPARE(charts.size(), 1); // the band follows the choice all the same
        QVERIFY(QFileInfo(f.dir.path() + u'/' + BandLook::sparklinesKey + QStringLiteral("/in-the-way")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestBandLook)
#include "TestBandLook.moc"
