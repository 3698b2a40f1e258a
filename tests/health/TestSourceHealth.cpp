// The health model alone: what each outcome changes, what the log is told, what a reader gets.

#include "health/SourceHealth.h"

#include <QSignalSpy>
#include <QTest>

namespace {

using Transition = SourceHealth::Transition;
using Outcome = SourceHealth::Outcome;

const QDateTime t0(QDate(2026, 3, 2), QTime(14, 0));

SourceFailure failure(FailureKind kind, int status = 0, int minutes = 0)
{
    return SourceFailure{kind, status, 0, NetworkProblem::none, t0.addSecs(60 * minutes)};
}

} // namespace

class TestSourceHealth : public QObject
{
    Q_OBJECT
private slots:
    void unknownUntilTheFirstOutcome()
    {
        SourceHealth health;
        QCOMPARE(health.record(SourceId::metalsDev()).state, HealthRecord::State::unknown);
        QVERIFY(!health.failureFor(SourceId::metalsDev(), QUuid::createUuid()));
        QVERIFY(!health.nextTryFor(SourceId::metalsDev(), QUuid::createUuid()).isValid());
        QVERIFY(health.sources().isEmpty());
    }

    void aRetryFailingTheSameWayIsNoNewState()
    {
        SourceHealth health;
        QSignalSpy changed(&health, &SourceHealth::changed);
        QSignalSpy stateChanged(&health, &SourceHealth::stateChanged);
        const SourceId metals = SourceId::metalsDev();

        QCOMPARE(health.recordFailure(metals, failure(FailureKind::keyRejected, 401), {}, t0.addSecs(300)),
                 (Outcome{Transition::failing, Transition::same}));
        QCOMPARE(health.recordFailure(metals, failure(FailureKind::keyRejected, 401, 5), {}, t0.addSecs(900)),
                 (Outcome{Transition::same, Transition::same}));
        // The same kind with another status is another reason.
        QCOMPARE(health.recordFailure(metals, failure(FailureKind::keyRejected, 403, 15)).source, Transition::failing);
        QCOMPARE(changed.size(), 3);
        QCOMPARE(stateChanged.size(), 2);
        QCOMPARE(stateChanged.first().first().value<SourceId>(), metals);

        HealthRecord record = health.record(metals);
        QVERIFY(record.isFailing());
        QCOMPARE(record.failuresInRow, 3);
        QCOMPARE(record.lastFailure->httpStatus, 403);
        QCOMPARE(record.lastFailure->at, t0.addSecs(900));
        QVERIFY(!record.nextTry.isValid()); // the last failure named no wait

        QCOMPARE(health.recordSuccess(metals, t0.addSecs(3600)).source, Transition::recovered);
        record = health.record(metals);
        QCOMPARE(record.state, HealthRecord::State::ok);
        QCOMPARE(record.lastSuccess, t0.addSecs(3600));
        QCOMPARE(record.failuresInRow, 0);
        QCOMPARE(record.lastFailure->httpStatus, 403); // kept for the record
        QCOMPARE(health.recordSuccess(metals, t0.addSecs(7200)).source, Transition::same);
        QCOMPARE(stateChanged.size(), 3);
        QCOMPARE(changed.size(), 5);

        const SourceId weather = SourceId::weatherApi();
        QCOMPARE(health.recordSuccess(weather, t0).source, Transition::firstOk);
    }

    void anItemTheServiceDoesNotKnowLeavesTheServiceWell()
    {
        SourceHealth health;
        const SourceId yahoo = SourceId::yahoo();
        const QUuid apple = QUuid::createUuid();
        const QUuid gone = QUuid::createUuid();

        QCOMPARE(health.recordSuccess(yahoo, t0, apple), (Outcome{Transition::firstOk, Transition::firstOk}));
        QCOMPARE(health.recordFailure(yahoo, failure(FailureKind::notFound, 404), gone, t0.addSecs(300)),
                 (Outcome{Transition::same, Transition::failing}));
        QCOMPARE(health.record(yahoo).state, HealthRecord::State::ok);
        QCOMPARE(health.failureFor(yahoo, gone)->kind, FailureKind::notFound);
        QCOMPARE(health.nextTryFor(yahoo, gone), t0.addSecs(300));
        QVERIFY(!health.failureFor(yahoo, apple));
        QCOMPARE(health.itemRecord(yahoo, gone).failuresInRow, 1);

        // The service goes down: every item, the unknown symbol's included, hears it from the service.
        QCOMPARE(health.recordFailure(yahoo, failure(FailureKind::serverError, 503, 1), apple, t0.addSecs(600)),
                 (Outcome{Transition::failing, Transition::same}));
        QCOMPARE(health.failureFor(yahoo, apple)->httpStatus, 503);
        QCOMPARE(health.failureFor(yahoo, gone)->httpStatus, 404); // its own reason comes first
        QCOMPARE(health.nextTryFor(yahoo, apple), t0.addSecs(600));
        QCOMPARE(health.failureFor(yahoo, QUuid::createUuid())->httpStatus, 503);
        // Another item failing the same way adds nothing to tell.
        QCOMPARE(health.recordFailure(yahoo, failure(FailureKind::serverError, 503, 2), QUuid::createUuid()),
                 (Outcome{Transition::same, Transition::same}));

        // One item answering again brings the service back; the others recover with it, untold.
        QCOMPARE(health.recordSuccess(yahoo, t0.addSecs(900), apple),
                 (Outcome{Transition::recovered, Transition::same}));
        QVERIFY(!health.failureFor(yahoo, QUuid::createUuid()));
        QCOMPARE(health.recordSuccess(yahoo, t0.addSecs(960), gone),
                 (Outcome{Transition::same, Transition::recovered}));
        QVERIFY(!health.failureFor(yahoo, gone));
        QVERIFY(!health.nextTryFor(yahoo, gone).isValid());
    }

    void anAnswerAboutAnItemShowsTheServiceAnswers()
    {
        SourceHealth health;
        const QUuid item = QUuid::createUuid();
        health.recordFailure(SourceId::twelveData(), failure(FailureKind::notFound), item);
        QCOMPARE(health.record(SourceId::twelveData()).state, HealthRecord::State::ok);
        QVERIFY(!health.record(SourceId::twelveData()).lastSuccess.isValid());
        // Nothing was sent for a symbol that cannot be asked: the service is as unknown as before.
        health.recordFailure(SourceId::yahoo(), failure(FailureKind::badAddress), item);
        QCOMPARE(health.record(SourceId::yahoo()).state, HealthRecord::State::unknown);
        QCOMPARE(health.failureFor(SourceId::yahoo(), item)->kind, FailureKind::badAddress);
        // Without an item, even an item's kind of failure is the source's.
        QCOMPARE(health.recordFailure(SourceId::metalsDev(), failure(FailureKind::unreadable)).source,
                 Transition::failing);
    }

    void removedItemsAreForgotten()
    {
        SourceHealth health;
        const QUuid kept = QUuid::createUuid();
        const QUuid removed = QUuid::createUuid();
        health.recordFailure(SourceId::yahoo(), failure(FailureKind::notFound, 404), removed);
        health.recordSuccess(SourceId::yahoo(), t0, kept);
        health.recordFailure(SourceId::weatherApi(), failure(FailureKind::notFound, 400), removed);
        QSignalSpy changed(&health, &SourceHealth::changed);
        health.keepItems({kept});
        QCOMPARE(changed.size(), 2);
        QCOMPARE(health.itemRecord(SourceId::yahoo(), removed).state, HealthRecord::State::unknown);
        QCOMPARE(health.itemRecord(SourceId::yahoo(), kept).state, HealthRecord::State::ok);
        health.keepItems({kept});
        QCOMPARE(changed.size(), 2); // nothing more to forget, nothing said
    }
};

QTEST_GUILESS_MAIN(TestSourceHealth)
#include "TestSourceHealth.moc"
