#include "MemoryKeyStore.h"
#include "settings/Settings.h"
#include "settings/SettingsRecord.h"
#include "settings/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <sys/vfs.h>

#include <memory>

namespace {

constexpr long tmpfsMagic = 0x01021994;

// Takes every free byte of the filesystem with one file; removing it frees them again.
class Filler
{
public:
    explicit Filler(const QString &path)
        : m_file(path)
    {
    }
    ~Filler() { m_file.remove(); }

    /** Fills the disk, or leaves about `spare` bytes free. False when it could not. */
    bool fill(qint64 spare = 0)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        // Big pieces first, then single bytes, until the filesystem refuses.
        for (qint64 piece : {qint64(4096), qint64(1)}) {
            const QByteArray bytes(piece, 'f');
            while (freeBytes() > spare && m_file.write(bytes) == piece) {
            }
        }
        m_file.close();
        return freeBytes() <= spare;
    }

    qint64 freeBytes() const
    {
        struct statfs info{};
        if (::statfs(QFile::encodeName(QFileInfo(m_file).absolutePath()).constData(), &info) != 0)
            return -1;
        return qint64(info.f_bavail) * qint64(info.f_bsize);
    }

    void release() { m_file.remove(); }

private:
    QFile m_file;
};

QList<WatchItem> someItems(int count)
{
    QList<WatchItem> items;
    for (int i = 0; i < count; ++i)
        items.append(WatchItem{QUuid::createUuid(), ItemKind::quote, QStringLiteral("SYM%1").arg(i),
                               QStringLiteral("LABEL %1").arg(i), std::nullopt});
    return items;
}

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Run outside its wrapper, the test has no disk to fill: that is a failure, not a skip.
        m_disk = qEnvironmentVariable("DOTBANNER_SMALL_DISK");
        if (m_disk.isEmpty())
            QFAIL("DOTBANNER_SMALL_DISK is not set: run this test through tests/support/with-small-disk.sh");
        struct statfs info{};
        QCOMPARE(::statfs(QFile::encodeName(m_disk).constData(), &info), 0);
        if (long(info.f_type) != tmpfsMagic)
            QFAIL("DOTBANNER_SMALL_DISK is not a private tmpfs; refusing to fill it");
    }

    void cleanup()
    {
        QDir(m_disk).removeRecursively();
        QDir().mkpath(m_disk);
    }

    void aRecordThatDoesNotFitLeavesTheStoredOneIntact_data()
    {
        QTest::addColumn<qint64>("spare");
        QTest::addColumn<int>("items");
        // A small record is the usual case: it fits in a write buffer, so only a check of the
        // final flush catches the full disk.
        QTest::newRow("small record, no byte free") << qint64(0) << 5;
        QTest::newRow("large record, room for part of it") << qint64(6000) << 400;
    }

    void aRecordThatDoesNotFitLeavesTheStoredOneIntact()
    {
        QFETCH(qint64, spare);
        QFETCH(int, items);
        UserDefaults store(m_disk + "/config/dotbanner");
        MemoryKeyStore keys;
        auto settings = std::make_unique<Settings>(store, keys);
        settings->setItems(someItems(3));
        const std::optional<QByteArray> before = store.data(Settings::key);
        QVERIFY(before);

        Filler filler(m_disk + "/filler");
        QVERIFY(filler.fill(spare));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("DotbannerSettings.v1 not saved"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("written with the next change"));
        settings->setItems(someItems(items));
        QCOMPARE(settings->items().size(), items); // the change stands for this session
        QCOMPARE(store.data(Settings::key), before);
        QCOMPARE(QDir(store.directory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{Settings::key});
        QCOMPARE(Settings(store, keys).items().size(), 3);

        // With room again, the next change writes everything, the failed change included.
        filler.release();
        settings->setSpeed(8);
        const auto record = SettingsRecord::decode(store.data(Settings::key).value_or(QByteArray()));
        QVERIFY(record);
        QCOMPARE(record->items.size(), items);
        QCOMPARE(record->speed, 8.0);
    }

    void aStoreWriteThatDoesNotFitKeepsTheOldBytes()
    {
        UserDefaults store(m_disk + "/stores");
        const QString key = QStringLiteral("scheduledCache.v1");
        const QByteArray old(2000, 'o');
        QVERIFY(store.set(key, old));

        Filler filler(m_disk + "/filler");
        QVERIFY(filler.fill(8192));
        const QRegularExpression warning(
            "scheduledCache.v1 not saved \\((write|flush|sync|commit) failed: .*\\); the stored");
        QTest::ignoreMessage(QtWarningMsg, warning);
        QVERIFY(!store.set(key, QByteArray(64 * 1024, 'n')));
        QCOMPARE(store.data(key), std::optional(old));

        // Completely full: even a few bytes, which a write buffer would take in, fail.
        Filler rest(m_disk + "/rest");
        QVERIFY(rest.fill());
        QTest::ignoreMessage(QtWarningMsg, warning);
        QVERIFY(!store.set(key, QByteArray(3000, 'n')));
        QCOMPARE(store.data(key), std::optional(old));

        // With a little room again, a write that fits succeeds.
        rest.release();
        QVERIFY(store.set(key, QByteArray(1000, 's')));
        QCOMPARE(store.data(key), std::optional(QByteArray(1000, 's')));
        QCOMPARE(QDir(store.directory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{key});
    }

private:
    QString m_disk;
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "TestFullDisk.moc"
