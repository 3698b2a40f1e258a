#include "band/BandInteraction.h"
#include "band/BandItems.h"
#include "band/BandLines.h"
#include "band/BandPopups.h"

#include "FakeBandSurface.h"
#include "FakeClock.h"

#include <QHash>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

constexpr double pitch = 5;
constexpr int loopColumns = 100;

/** What a test says the quotes line shows: spans and their targets, by span index. */
class FakeItems : public BandItems
{
public:
    QList<LineSpan> quoteSpans;
    QHash<int, LineTargets::Target> targets;

    const QList<LineSpan> &spans(int line) const override
    {
        static const QList<LineSpan> none;
        return line == BandLines::quotes ? quoteSpans : none;
    }
    std::optional<LineTargets::Target> target(int line, const LineSpan &span) const override
    {
        if (line != BandLines::quotes || !targets.contains(span.index))
            return std::nullopt;
        return targets.value(span.index);
    }
    Reading reading(int, const LineSpan &span) const override { return {QString::number(span.index), {}, false}; }
};

/** Pop-ups that write down where they were asked to show. */
class RecordingPopups : public BandPopups
{
public:
    QStringList calls;
    void showTooltip(const QPoint &global, const QString &text) override
    {
        calls.append(QStringLiteral("tip %1 %2 %3").arg(global.x()).arg(global.y()).arg(text));
    }
    void hideTooltip() override { calls.append(QStringLiteral("hide")); }
    void openMenu(const QPoint &global) override
    {
        calls.append(QStringLiteral("menu %1 %2").arg(global.x()).arg(global.y()));
    }
    QList<QAction *> menuActions() override { return {}; }
};

/**
 * One line of 100 columns, 5 points each: columns [0, 40) show a stock (opens a page, has a
 * tooltip), [40, 70) a metal (a tooltip only), [70, 100) nothing.
 */
struct Fixture
{
    FakeClock clock;
    BandLines lines;
    FakeItems items;
    FakeBandSurface surface{lines};
    BandInteraction interaction{lines, items};
    QList<QUrl> opened;

    const LineTargets::Target stock{QUrl(QStringLiteral("https://finance.yahoo.com/quote/AAPL")),
                                    QStringLiteral("Apple (AAPL)")};
    const LineTargets::Target metal{QUrl(), QStringLiteral("Or")};

    Fixture()
    {
        LedBitmap bitmap;
        bitmap.w = loopColumns;
        bitmap.h = 7;
        bitmap.cells.assign(static_cast<std::size_t>(bitmap.w * bitmap.h), 1);
        lines.bitmap = bitmap;
        lines.pitch = pitch;
        items.quoteSpans = {LineSpan{0, 40, LineSpan::Part::quote, 0}, LineSpan{40, 70, LineSpan::Part::quote, 1}};
        items.targets = {{0, stock}, {1, metal}};
        BandPlacement placement;
        placement.frame = QRect(100, 200, 600, 35);
        placement.height = 35;
        surface.place(placement);
        interaction.setSurface(&surface);
        interaction.openUrl = [this](const QUrl &url) { opened.append(url); };
    }

    /** The band-local point over loop column `column` of the line as it stands now. */
    QPointF over(double column) const
    {
        const double left = lines.quotesLine().columnAt(BandLines::now());
        return QPointF(std::fmod(std::fmod(column - left, loopColumns) + loopColumns, loopColumns) * pitch, 10);
    }
    void move(const QPointF &at) const { surface.pointer(BandPointerEvent::Type::move, at); }
    void press(const QPointF &at, Qt::MouseButton button) const
    {
        surface.pointer(BandPointerEvent::Type::press, at, button);
        surface.pointer(BandPointerEvent::Type::release, at, button);
    }
    void leave() const { surface.pointer(BandPointerEvent::Type::leave, QPointF(0, 50)); }
    static QString shown(const QPointF &at, const QString &text)
    {
        return QStringLiteral("show %1 %2 %3").arg(at.x()).arg(at.y()).arg(text);
    }
};

} // namespace

/** What the pointer does on the band, on a surface in memory and a clock moved by hand. */
class TestBandInteraction : public QObject
{
    Q_OBJECT
private slots:
    void restingHoldsTheLineUntilThePointerLeaves();
    void tooltipsAfterARestWhereThePointerIs();
    void pointingHandOnlyWhereAClickOpensSomething();
    void leftClickOpensRightPressAsksForTheMenu();
    void firstTooltipOnceWhereverThePointerRests();
    void popupsGetScreenPoints();
    void anotherSurfaceTakesThePointerOver();
};

void TestBandInteraction::restingHoldsTheLineUntilThePointerLeaves()
{
    Fixture f;
    const int changes = f.surface.changes;
    const QPointF at = f.over(10);
    f.surface.pointer(BandPointerEvent::Type::enter, at);
    QCOMPARE(f.interaction.pausedLine(), int(BandLines::quotes));
    QVERIFY(f.lines.quotesLine().isPaused());
    QCOMPARE(f.surface.changes, changes + 1); // the surface is told to show the stop
    const double stopped = f.lines.quotesLine().columnAt(BandLines::now());
    f.clock.advanceMs(2000);
    QCOMPARE(f.lines.quotesLine().columnAt(BandLines::now()), stopped);
    f.move(at + QPointF(3, 0));
    QCOMPARE(f.surface.changes, changes + 1); // still the same line: nothing to tell

    // Leaving lets the line go on from where it stood.
    f.leave();
    QCOMPARE(f.interaction.pausedLine(), -1);
    QVERIFY(!f.lines.quotesLine().isPaused());
    QCOMPARE(f.surface.changes, changes + 2);
    QCOMPARE(f.lines.quotesLine().columnAt(BandLines::now()), stopped);
    f.clock.advanceMs(1000);
    QVERIFY(f.lines.quotesLine().columnAt(BandLines::now()) != stopped);
}

void TestBandInteraction::tooltipsAfterARestWhereThePointerIs()
{
    Fixture f;
    const QPointF onStock = f.over(10);
    f.move(onStock);
    f.clock.advanceMs(BandInteraction::tooltipDelayMs - 1);
    QVERIFY(f.surface.tooltips.isEmpty());
    f.clock.advanceMs(1);
    QCOMPARE(f.surface.tooltips, QStringList{Fixture::shown(onStock, f.stock.tooltip)});
    QVERIFY(f.interaction.isTooltipShown());
    QCOMPARE(f.interaction.hovered(), std::optional<LineTargets::Target>(f.stock));

    // Moving within the item leaves its tooltip alone.
    f.move(f.over(30));
    f.clock.advanceMs(2000);
    QCOMPARE(f.surface.tooltips.size(), 1);

    // Another item: the tooltip goes, and the next one comes after a rest of its own.
    const QPointF onMetal = f.over(50);
    f.move(onMetal);
    QCOMPARE(f.surface.tooltips.last(), QStringLiteral("hide"));
    QVERIFY(!f.interaction.isTooltipShown());
    f.clock.advanceMs(BandInteraction::tooltipDelayMs);
    QCOMPARE(f.surface.tooltips.last(), Fixture::shown(onMetal, f.metal.tooltip));

    // Over nothing no tooltip comes; leaving with none up takes nothing down.
    f.move(f.over(80));
    QCOMPARE(f.surface.tooltips.last(), QStringLiteral("hide"));
    f.clock.advanceMs(2000);
    f.leave();
    QCOMPARE(f.surface.tooltips.size(), 4);

    // A pointer that leaves before the rest is over gets no tooltip.
    f.move(f.over(10));
    f.clock.advanceMs(BandInteraction::tooltipDelayMs / 2);
    f.leave();
    f.clock.advanceMs(2000);
    QCOMPARE(f.surface.tooltips.size(), 4);
    // One up when the pointer leaves is taken down.
    const QPointF again = f.over(10); // the line moved on meanwhile
    f.move(again);
    f.clock.advanceMs(BandInteraction::tooltipDelayMs);
    f.leave();
    QCOMPARE(f.surface.tooltips.mid(4), (QStringList{Fixture::shown(again, f.stock.tooltip), "hide"}));
}

void TestBandInteraction::pointingHandOnlyWhereAClickOpensSomething()
{
    for (const bool canShape : {true, false}) {
        Fixture f;
        f.surface.caps.cursorShapes = canShape;
        f.move(f.over(10));
        f.move(f.over(20));
        f.move(f.over(50)); // a tooltip, but nothing to open
        f.move(f.over(80));
        f.move(f.over(5));
        f.leave();
        if (!canShape) {
            QVERIFY(f.surface.cursors.isEmpty()); // a surface without shapes is never asked
            continue;
        }
        // Set only when it changes.
        QCOMPARE(f.surface.cursors, (QList<BandCursor>{BandCursor::pointingHand, BandCursor::normal,
                                                       BandCursor::pointingHand, BandCursor::normal}));
    }
}

void TestBandInteraction::leftClickOpensRightPressAsksForTheMenu()
{
    Fixture f;
    f.press(f.over(10), Qt::LeftButton);
    QCOMPARE(f.opened, QList<QUrl>{f.stock.url});
    f.press(f.over(50), Qt::LeftButton); // a metal opens nothing
    f.press(f.over(80), Qt::LeftButton); // nor does a gap
    f.press(f.over(10), Qt::MiddleButton);
    QCOMPARE(f.opened.size(), 1);
    f.leave();

    // The right button opens the menu where it went down, over an item or not, and nothing else.
    const QPointF at = f.over(10);
    f.surface.pointer(BandPointerEvent::Type::press, at, Qt::RightButton);
    QCOMPARE(f.surface.menus, QList<QPointF>{at});
    QCOMPARE(f.opened.size(), 1);
    QCOMPARE(f.interaction.pausedLine(), -1);
}

void TestBandInteraction::firstTooltipOnceWhereverThePointerRests()
{
    Fixture f;
    f.interaction.setFirstTooltip(QStringLiteral("Astuce"));
    QVERIFY(f.interaction.hasFirstTooltip());
    // Over nothing it still shows, once the pointer stops moving.
    f.surface.pointer(BandPointerEvent::Type::enter, f.over(80));
    for (int i = 0; i < 4; ++i) {
        f.clock.advanceMs(BandInteraction::tooltipDelayMs - 100);
        f.move(f.over(80 + i));
    }
    QVERIFY(f.surface.tooltips.isEmpty());
    const QPointF rest = f.over(83);
    f.clock.advanceMs(BandInteraction::tooltipDelayMs);
    QCOMPARE(f.surface.tooltips, QStringList{Fixture::shown(rest, QStringLiteral("Astuce"))});
    QVERIFY(!f.interaction.hasFirstTooltip());

    // Then item tooltips as usual, and the hint never again.
    const QPointF onStock = f.over(10);
    f.move(onStock);
    f.clock.advanceMs(BandInteraction::tooltipDelayMs);
    QCOMPARE(f.surface.tooltips.mid(1), (QStringList{"hide", Fixture::shown(onStock, f.stock.tooltip)}));
    f.leave();
    f.move(rest);
    f.clock.advanceMs(2000);
    QCOMPARE(f.surface.tooltips.size(), 4);

    // Over an item the hint comes first.
    Fixture g;
    g.interaction.setFirstTooltip(QStringLiteral("Astuce"));
    g.move(g.over(10));
    g.clock.advanceMs(BandInteraction::tooltipDelayMs);
    QCOMPARE(g.surface.tooltips, QStringList{Fixture::shown(g.over(10), QStringLiteral("Astuce"))});
    // Withdrawn before it showed, it never shows.
    Fixture h;
    h.interaction.setFirstTooltip(QStringLiteral("Astuce"));
    h.interaction.setFirstTooltip(QString());
    h.move(h.over(80));
    h.clock.advanceMs(2000);
    QVERIFY(h.surface.tooltips.isEmpty());
}

void TestBandInteraction::popupsGetScreenPoints()
{
    Fixture f;
    RecordingPopups popups;
    // Without pop-ups a surface that draws none shows nothing, and nothing breaks.
    f.surface.showTooltip(QPointF(1, 2), QStringLiteral("rien"));
    f.surface.openMenu(QPointF(1, 2));
    f.surface.setPopups(&popups);
    // The band stands at (100, 200): band-local points become screen points there.
    f.move(f.over(10));
    f.clock.advanceMs(BandInteraction::tooltipDelayMs);
    const QPoint local = f.over(10).toPoint();
    f.surface.pointer(BandPointerEvent::Type::press, QPointF(3.4, 4.6), Qt::RightButton);
    f.leave();
    QCOMPARE(popups.calls,
             (QStringList{QStringLiteral("tip %1 %2 %3").arg(100 + local.x()).arg(200 + local.y()).arg(f.stock.tooltip),
                          "menu 103 205", "hide"}));
}

void TestBandInteraction::anotherSurfaceTakesThePointerOver()
{
    Fixture f;
    FakeBandSurface other(f.lines);
    BandPlacement placement;
    placement.frame = QRect(0, 0, 600, 35);
    other.place(placement);
    f.interaction.setSurface(&other);
    // The first surface's events reach nobody now; the second's are heard and acted on through it.
    f.surface.pointer(BandPointerEvent::Type::press, f.over(10), Qt::RightButton);
    QVERIFY(f.surface.menus.isEmpty());
    other.pointer(BandPointerEvent::Type::press, f.over(10), Qt::RightButton);
    QCOMPARE(other.menus.size(), 1);
    f.interaction.setSurface(nullptr); // `other` goes first
    other.pointer(BandPointerEvent::Type::press, f.over(10), Qt::RightButton);
    QCOMPARE(other.menus.size(), 1);

    // Once the interaction is gone, the surface's events go nowhere.
    auto interaction = std::make_unique<BandInteraction>(f.lines, f.items);
    FakeBandSurface third(f.lines);
    interaction->setSurface(&third);
    interaction.reset();
    third.pointer(BandPointerEvent::Type::enter, QPointF(5, 5));
    QVERIFY(!f.lines.quotesLine().isPaused());
}

QTEST_MAIN(TestBandInteraction)
#include "TestBandInteraction.moc"
