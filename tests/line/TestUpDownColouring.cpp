#include "line/UpDownColouring.h"
#include "types/Kind.h"

#include <QTest>

namespace {

constexpr auto raw = [](Kind kind) { return static_cast<std::uint8_t>(kind); };
constexpr auto bo = [](BlueOrangeRaw value) { return static_cast<std::uint8_t>(value); };

/** One row holding every raw value a line may carry, and one past them. */
LedBitmap everyValue()
{
    LedBitmap bitmap;
    bitmap.h = 1;
    for (int value = 0; value <= rawValueCount; ++value)
        bitmap.cells.push_back(static_cast<std::uint8_t>(value));
    bitmap.w = static_cast<std::int64_t>(bitmap.cells.size());
    return bitmap;
}

} // namespace

/** The up and down colours the user chose, given to a built line. */
class TestUpDownColouring : public QObject
{
    Q_OBJECT
private slots:
    void greenRedLeavesTheLineAsBuilt()
    {
        LedBitmap bitmap = everyValue();
        UpDownColouring::apply(bitmap, UpDownColours::greenRed);
        QCOMPARE(bitmap, everyValue());
    }

    void redUpSwapsUpAndDownInEveryVariant()
    {
        LedBitmap bitmap = everyValue();
        UpDownColouring::apply(bitmap, UpDownColours::redUp);
        LedBitmap expected = everyValue();
        for (const auto variant : {+[](std::uint8_t r) { return r; }, +[](std::uint8_t r) { return staleRaw(r); },
                                   +[](std::uint8_t r) { return brightRaw(r); }}) {
            expected.cells[variant(raw(Kind::up))] = variant(raw(Kind::down));
            expected.cells[variant(raw(Kind::down))] = variant(raw(Kind::up));
        }
        QCOMPARE(bitmap, expected);
        // Twice is the line as built.
        UpDownColouring::apply(bitmap, UpDownColours::redUp);
        QCOMPARE(bitmap, everyValue());
    }

    void blueOrangeMovesUpAndDownToTheirOwnColours()
    {
        LedBitmap bitmap = everyValue();
        UpDownColouring::apply(bitmap, UpDownColours::blueOrange);
        LedBitmap expected = everyValue();
        expected.cells[raw(Kind::up)] = bo(BlueOrangeRaw::up);
        expected.cells[raw(Kind::down)] = bo(BlueOrangeRaw::down);
        expected.cells[staleRaw(raw(Kind::up))] = bo(BlueOrangeRaw::staleUp);
        expected.cells[staleRaw(raw(Kind::down))] = bo(BlueOrangeRaw::staleDown);
        expected.cells[brightRaw(raw(Kind::up))] = bo(BlueOrangeRaw::brightUp);
        expected.cells[brightRaw(raw(Kind::down))] = bo(BlueOrangeRaw::brightDown);
        QCOMPARE(bitmap, expected);
    }
};

QTEST_GUILESS_MAIN(TestUpDownColouring)
#include "TestUpDownColouring.moc"
