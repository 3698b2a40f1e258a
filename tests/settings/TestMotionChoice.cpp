#include "settings/MotionChoice.h"
#include "settings/UserDefaults.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestMotionChoice : public QObject
{
    Q_OBJECT
private slots:
    void choiceIsKeptUnderItsOwnKey()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path());
        {
            MotionChoice choice(store);
            QVERIFY(!choice.reducedMotion());
            QSignalSpy spy(&choice, &MotionChoice::reducedMotionChanged);
            choice.setReducedMotion(true);
            choice.setReducedMotion(true); // unchanged: not announced again
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.first().first().toBool(), true);
        }
        QCOMPARE(store.data(MotionChoice::key), std::optional(QByteArray("true")));
        QVERIFY(MotionChoice(store).reducedMotion());

        // Back to scrolling: the key goes away.
        MotionChoice choice(store);
        choice.setReducedMotion(false);
        QCOMPARE(store.data(MotionChoice::key), std::nullopt);
        QVERIFY(!MotionChoice(store).reducedMotion());
    }

    void anythingButTrueMeansScrolling()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path());
        QVERIFY(store.set(MotionChoice::key, "true\n"));
        QVERIFY(MotionChoice(store).reducedMotion());
        for (const QByteArray &bytes : {QByteArray("false"), QByteArray("1"), QByteArray("TRUE"), QByteArray(),
                                        QByteArray("true") + QByteArray(100, ' '), QByteArray("\xff\xfe")}) {
            QVERIFY(store.set(MotionChoice::key, bytes));
            QVERIFY2(!MotionChoice(store).reducedMotion(), bytes.constData());
        }
        // A choice that cannot be written still holds for the run.
        UserDefaults unwritable(dir.path() + "/file/below");
        QFile blocker(dir.path() + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        MotionChoice choice(unwritable);
        choice.setReducedMotion(true);
        QVERIFY(choice.reducedMotion());
    }
};

QTEST_GUILESS_MAIN(TestMotionChoice)
#include "TestMotionChoice.moc"
