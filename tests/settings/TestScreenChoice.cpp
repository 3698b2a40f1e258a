#include "settings/ScreenChoice.h"
#include "settings/UserDefaults.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestScreenChoice : public QObject
{
    Q_OBJECT
private slots:
    void choiceIsKeptUnderItsOwnKey()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path());
        {
            ScreenChoice choice(store);
            QCOMPARE(choice.screenName(), QString());
            QSignalSpy spy(&choice, &ScreenChoice::screenNameChanged);
            choice.setScreenName(QStringLiteral(" HDMI-1 "));
            choice.setScreenName(QStringLiteral("HDMI-1")); // unchanged: not announced again
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.first().first().toString(), QStringLiteral("HDMI-1"));
        }
        QCOMPARE(store.data(ScreenChoice::key), std::optional(QByteArray("HDMI-1")));
        QCOMPARE(ScreenChoice(store).screenName(), QStringLiteral("HDMI-1"));

        // Back to the primary screen: the key goes away.
        ScreenChoice choice(store);
        choice.setScreenName(QString());
        QCOMPARE(store.data(ScreenChoice::key), std::nullopt);
        QCOMPARE(ScreenChoice(store).screenName(), QString());
    }

    void unusableStoredValuesMeanThePrimaryScreen()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path());
        for (const QByteArray &bytes : {QByteArray("\xff\xfe"), QByteArray(300, 'a'), QByteArray("a\nb")}) {
            QVERIFY(store.set(ScreenChoice::key, bytes));
            QCOMPARE(ScreenChoice(store).screenName(), QString());
        }
        // A choice that cannot be written still holds for the run.
        UserDefaults unwritable(dir.path() + "/file/below");
        QFile blocker(dir.path() + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ScreenChoice choice(unwritable);
        choice.setScreenName(QStringLiteral("DP-2"));
        QCOMPARE(choice.screenName(), QStringLiteral("DP-2"));
    }
};

QTEST_GUILESS_MAIN(TestScreenChoice)
#include "TestScreenChoice.moc"
