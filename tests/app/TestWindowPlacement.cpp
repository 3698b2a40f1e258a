#include "app/WindowPlacement.h"

#include <QTest>

class TestWindowPlacement : public QObject
{
    Q_OBJECT
private slots:
    void areaBesideTheBand()
    {
        const QRect screen(0, 0, 1366, 768);
        // A band at the top that holds no strip: the work area starts under it.
        QCOMPARE(WindowPlacement::areaBeside(screen, QRect(0, 0, 1366, 55)), QRect(0, 55, 1366, 713));
        // At the bottom, above a panel: the area ends over it.
        const QRect overPanel(0, 0, 1366, 736);
        QCOMPARE(WindowPlacement::areaBeside(overPanel, QRect(0, 681, 1366, 55)), QRect(0, 0, 1366, 681));
        // A band that reserved its strip is outside the work area already; none, or on another
        // screen, leaves it whole.
        QCOMPARE(WindowPlacement::areaBeside(QRect(0, 55, 1366, 713), QRect(0, 0, 1366, 55)), QRect(0, 55, 1366, 713));
        QCOMPARE(WindowPlacement::areaBeside(screen, QRect()), screen);
        QCOMPARE(WindowPlacement::areaBeside(screen, QRect(1366, 0, 1920, 55)), screen);
        // A band across the middle: the larger side.
        QCOMPARE(WindowPlacement::areaBeside(screen, QRect(0, 300, 1366, 55)), QRect(0, 355, 1366, 413));
        // A band covering everything leaves nothing better than the whole area.
        QCOMPARE(WindowPlacement::areaBeside(screen, QRect(0, 0, 1366, 768)), screen);
    }

    void placeFitsAndCentres()
    {
        const QMargins frame(4, 30, 4, 4);
        const QSize minimum(520, 420);
        // 1366×768, band 55 at the top, panel 32 at the bottom: 600×680 does not fit and shrinks.
        const QRect area(0, 55, 1366, 681);
        const QRect placed = WindowPlacement::place(area, QSize(600, 680), minimum, frame);
        QCOMPARE(placed.size(), QSize(600, 681 - 34));
        QVERIFY(area.contains(placed.marginsAdded(frame)));
        QCOMPARE(placed.top() - frame.top(), area.top());
        QCOMPARE(placed.center().x(), area.center().x());

        // Room enough: the wanted size, its frame in the middle.
        const QRect large(0, 0, 1920, 1080);
        const QRect roomy = WindowPlacement::place(large, QSize(600, 680), minimum, frame);
        QCOMPARE(roomy.size(), QSize(600, 680));
        const QRect outer = roomy.marginsAdded(frame);
        QVERIFY(qAbs(outer.center().y() - large.center().y()) <= 1);
        QVERIFY(qAbs(outer.center().x() - large.center().x()) <= 1);

        // Never below the minimum, also when asked for less; too small an area keeps the top-left.
        QCOMPARE(WindowPlacement::place(large, QSize(10, 10), minimum, frame).size(), minimum);
        const QRect tiny(100, 50, 300, 200);
        const QRect squeezed = WindowPlacement::place(tiny, QSize(600, 680), minimum, frame);
        QCOMPARE(squeezed.size(), minimum);
        QCOMPARE(squeezed.topLeft(), QPoint(104, 80));
    }
};

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "TestWindowPlacement.moc"
