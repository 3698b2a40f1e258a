#include "settings/SavedWindowSize.h"
#include "settings/UserDefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSavedWindowSize : public QObject
{
    Q_OBJECT
private slots:
    void sizeIsKeptUnderItsOwnKey()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path());
        SavedWindowSize saved(store, SavedWindowSize::settingsWindowKey);
        QCOMPARE(saved.size(), std::nullopt);
        QVERIFY(saved.setSize(QSize(700, 540)));
        QCOMPARE(store.data(SavedWindowSize::settingsWindowKey), std::optional(QByteArray("700x540")));
        QCOMPARE(SavedWindowSize(store, SavedWindowSize::settingsWindowKey).size(), std::optional(QSize(700, 540)));
        // Sizes no window has are refused and leave the kept one.
        QVERIFY(!saved.setSize(QSize()));
        QVERIFY(!saved.setSize(QSize(0, 500)));
        QVERIFY(!saved.setSize(QSize(700, SavedWindowSize::maxSide + 1)));
        QCOMPARE(saved.size(), std::optional(QSize(700, 540)));
    }

    void unusableStoredValuesAreNoSize()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path());
        SavedWindowSize saved(store, QStringLiteral("someWindow.v1"));
        for (const QByteArray &bytes :
             {QByteArray("700"), QByteArray("700x"), QByteArray("x540"), QByteArray("axb"), QByteArray("-5x540"),
              QByteArray("700x540x3"), QByteArray("99999x540"), QByteArray(64, '7') + "x540", QByteArray("\xff\xfe")}) {
            QVERIFY(store.set(QStringLiteral("someWindow.v1"), bytes));
            QVERIFY2(!saved.size(), bytes.constData());
        }
        QVERIFY(store.set(QStringLiteral("someWindow.v1"), " 640x480\n"));
        QCOMPARE(saved.size(), std::optional(QSize(640, 480)));
        // A store that cannot be written says so.
        QFile blocker(dir.path() + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        UserDefaults unwritable(dir.path() + "/file/below");
        QVERIFY(!SavedWindowSize(unwritable, QStringLiteral("w.v1")).setSize(QSize(10, 10)));
    }
};

QTEST_GUILESS_MAIN(TestSavedWindowSize)
#include "TestSavedWindowSize.moc"
