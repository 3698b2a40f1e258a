// What the band tells about an item without a fresh value, and the internal address that
// leads a click to a key's field.

#include "FakeClock.h"
#include "health/ItemHealth.h"
#include "health/SourceHealth.h"

#include <QTest>

namespace {

SourceFailure failure(FailureKind kind, int status = 0)
{
    return SourceFailure{kind, status, 0, NetworkProblem::none, Clock::current().now()};
}

WatchItem itemOf(ItemKind kind, const char *symbol)
{
    return WatchItem{QUuid::createUuid(), kind, QString::fromLatin1(symbol), QString::fromLatin1(symbol), std::nullopt};
}

} // namespace

class TestItemHealth : public QObject
{
    Q_OBJECT
private:
    FakeClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(14, 2))};

private slots:
    void eachKindHasItsSource()
    {
        QCOMPARE(ItemHealth::sourceOf(ItemKind::quote, StockProvider::yahoo), SourceId::yahoo());
        QCOMPARE(ItemHealth::sourceOf(ItemKind::quote, StockProvider::twelveData), SourceId::twelveData());
        // Metals and weather keep their service whatever the stock provider.
        QCOMPARE(ItemHealth::sourceOf(ItemKind::metal, StockProvider::twelveData), SourceId::metalsDev());
        QCOMPARE(ItemHealth::sourceOf(ItemKind::weather, StockProvider::yahoo), SourceId::weatherApi());
        QCOMPARE(ItemHealth::keyOf(SourceId::yahoo()), std::nullopt);
        QCOMPARE(ItemHealth::keyOf(SourceId::feedWith(QUuid::createUuid())), std::nullopt);
        QCOMPARE(ItemHealth::keyOf(SourceId::metalsDev()), KeyService::metals);
    }

    void otherProblemsOnlyTell()
    {
        SourceHealth health;
        const WatchItem gone = itemOf(ItemKind::quote, "GONE");
        const WatchItem apple = itemOf(ItemKind::quote, "AAPL");
        health.recordFailure(SourceId::yahoo(), failure(FailureKind::notFound, 404), gone.id);
        auto why = ItemHealth::why(health, gone, StockProvider::yahoo);
        QVERIFY(why);
        QCOMPARE(why->text, QStringLiteral("Yahoo : symbole introuvable (HTTP 404)"));
        QCOMPARE(why->key, std::nullopt);
        // The unknown symbol is that item's alone; the same provider's other symbols are well.
        QCOMPARE(ItemHealth::why(health, apple, StockProvider::yahoo), std::nullopt);
        // The item's stock provider is the one chosen now: Twelve Data knows nothing of it.
        QCOMPARE(ItemHealth::why(health, gone, StockProvider::twelveData), std::nullopt);

        // A service that waits says when it is asked again.
        health.recordFailure(SourceId::twelveData(), failure(FailureKind::tooManyRequests, 429), apple.id,
                             QDateTime(QDate(2026, 3, 2), QTime(14, 10)));
        why = ItemHealth::why(health, apple, StockProvider::twelveData);
        QVERIFY(why);
        QCOMPARE(why->text, QStringLiteral("Twelve Data : trop de requêtes (HTTP 429), prochain essai à 14:10"));
        QCOMPARE(why->key, std::nullopt);

        // A success clears the reason: a fresh value needs none.
        health.recordSuccess(SourceId::twelveData(), m_clock.now(), apple.id);
        QCOMPARE(ItemHealth::why(health, apple, StockProvider::twelveData), std::nullopt);
    }

    void keyFieldLinksAreOurOwn()
    {
        for (const KeyService service : {KeyService::twelveData, KeyService::weather, KeyService::metals}) {
            const QUrl link = ItemHealth::keyFieldLink(service);
            QVERIFY(link.isValid());
            QCOMPARE(ItemHealth::keyFieldOf(link), service);
            // Never an address a browser could be handed by mistake.
            QVERIFY(link.scheme() != QStringLiteral("https") && link.scheme() != QStringLiteral("http"));
        }
        // Addresses from feeds or items never pass for one.
        for (const char *other :
             {"https://example.com/keys?field=metals", "dotbanner:keys?field=bogus", "dotbanner:keys",
              "dotbanner://evil/keys?field=metals", "dotbanner:other?field=metals", ""}) {
            QCOMPARE(ItemHealth::keyFieldOf(QUrl(QString::fromLatin1(other))), std::nullopt);
        }
    }
};

QTEST_GUILESS_MAIN(TestItemHealth)
#include "TestItemHealth.moc"
