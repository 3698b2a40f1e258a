#include "band/BandAccessibility.h"
#include "band/BandAccessibleNodes.h"
#include "band/BandItems.h"
#include "band/BandLines.h"

#include "FakeBandSurface.h"

#include <QAccessible>
#include <QTest>

#include <memory>

namespace {

/** Items a test sets line by line: one reading per span, counted as they are read. */
class ScriptedItems : public BandItems
{
public:
    std::array<QList<LineSpan>, BandLines::lineCount> lineSpans;
    std::array<QList<Reading>, BandLines::lineCount> readings;
    mutable int reads = 0;

    void set(int line, QList<Reading> items)
    {
        QList<LineSpan> spans;
        for (int i = 0; i < items.size(); ++i)
            spans.append(LineSpan{i * 10, i * 10 + 10, line == BandLines::quotes ? LineSpan::Part::quote : LineSpan::Part::title, i});
        lineSpans[std::size_t(line)] = spans;
        readings[std::size_t(line)] = std::move(items);
    }

    const QList<LineSpan> &spans(int line) const override
    {
        static const QList<LineSpan> none;
        return line >= 0 && line < BandLines::lineCount ? lineSpans[std::size_t(line)] : none;
    }
    std::optional<LineTargets::Target> target(int, const LineSpan &) const override { return std::nullopt; }
    Reading reading(int line, const LineSpan &span) const override
    {
        ++reads;
        return readings[std::size_t(line)].value(span.index);
    }
};

/** What assistive technologies were told, as "<event> <name>". */
QStringList &told()
{
    static QStringList events;
    return events;
}

void record(QAccessibleEvent *event)
{
    QAccessibleInterface *object = event->accessibleInterface();
    const QString name = object ? object->text(QAccessible::Name) : QStringLiteral("?");
    switch (event->type()) {
    case QAccessible::NameChanged:
        told().append(QStringLiteral("name ") + name);
        break;
    case QAccessible::DescriptionChanged:
        told().append(QStringLiteral("description ") + name);
        break;
    case QAccessible::ObjectCreated:
        told().append(QStringLiteral("created ") + name);
        break;
    case QAccessible::ObjectDestroyed:
        told().append(QStringLiteral("destroyed ") + name);
        break;
    default:
        break;
    }
}

struct Band
{
    BandLines lines;
    FakeBandSurface surface{lines};
    ScriptedItems items;
    std::unique_ptr<BandAccessibility> readable;

    Band()
    {
        BandPlacement placement;
        placement.frame = QRect(0, 0, 800, 40);
        placement.height = 40;
        surface.place(placement);
        items.set(BandLines::quotes, {{"AAPL 189.32 +1.20 %", "Apple (AAPL)\n189.32  +1.20 %", true},
                                      {"OR 2 410.50", "Or\n2 410.50", false}});
        readable = std::make_unique<BandAccessibility>(surface, items);
        readable->setNames(QStringLiteral("Band"), QStringLiteral("Values"), QStringLiteral("News"));
    }

    QAccessibleInterface *root() const { return QAccessible::queryAccessibleInterface(surface.readable.get()); }
};

QStringList namesOf(QAccessibleInterface *parent)
{
    QStringList names;
    for (int i = 0; i < parent->childCount(); ++i)
        names.append(parent->child(i)->text(QAccessible::Name));
    return names;
}

} // namespace

class TestBandAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        told().clear();
        QAccessible::installUpdateHandler(nullptr);
    }

    /** While nobody listens, new items cost nothing until somebody asks; then they are current. */
    void readsNothingUntilAsked()
    {
        // Accessibility turns on only once the event loop has run: this test comes first.
        QVERIFY2(!QAccessible::isActive(), "accessibility is on already: this test must run before any event loop");
        Band band;
        band.items.reads = 0;
        for (int round = 0; round < 5; ++round) {
            band.items.set(BandLines::quotes, {{QStringLiteral("AAPL %1").arg(round), {}, false}});
            band.readable->itemsChanged();
        }
        QCOMPARE(band.items.reads, 0);
        QCOMPARE(namesOf(band.root()->child(0)), QStringList{"AAPL 4"});
        QCOMPARE(band.items.reads, 1);
    }

    /** The band reads as lists of items, each with its name, description and whether it opens. */
    void readsTheItemsLineByLine()
    {
        Band band;
        QAccessibleInterface *root = band.root();
        QVERIFY(root);
        QVERIFY(root->isValid());
        QCOMPARE(root->text(QAccessible::Name), QStringLiteral("Band"));
        QCOMPARE(root->rect(), QRect(0, 0, 800, 40));
        QCOMPARE(root->childCount(), 1); // no news line

        QAccessibleInterface *values = root->child(0);
        QCOMPARE(values->role(), QAccessible::List);
        QCOMPARE(values->text(QAccessible::Name), QStringLiteral("Values"));
        QCOMPARE(values->parent(), root);
        QCOMPARE(root->indexOfChild(values), 0);
        QCOMPARE(namesOf(values), (QStringList{"AAPL 189.32 +1.20 %", "OR 2 410.50"}));

        QAccessibleInterface *apple = values->child(0);
        QCOMPARE(apple->role(), QAccessible::ListItem);
        QCOMPARE(apple->text(QAccessible::Description), QStringLiteral("Apple (AAPL)\n189.32  +1.20 %"));
        QVERIFY(apple->state().linked);
        QVERIFY(!values->child(1)->state().linked);
        QCOMPARE(apple->parent(), values);
        QCOMPARE(values->indexOfChild(values->child(1)), 1);
        QCOMPARE(values->child(2), nullptr);

        // The news line comes second, after the values, once it shows something.
        band.items.set(BandLines::news, {{"Rates held", "Le Monde\nRates held", true}});
        band.readable->itemsChanged();
        QCOMPARE(namesOf(root), (QStringList{"Values", "News"}));
        QCOMPARE(namesOf(root->child(1)), QStringList{"Rates held"});
        QCOMPARE(root->child(1)->child(0)->text(QAccessible::Description), QStringLiteral("Le Monde\nRates held"));
    }

    /** A listener hears exactly what changed: a value, an item gone, an item come, a line come and gone. */
    void tellsWhatChanged()
    {
        Band band;
        QAccessibleInterface *root = band.root();
        QCOMPARE(root->childCount(), 1);
        // The platform turns accessibility on once it reaches the accessibility bus.
        QTRY_VERIFY2(QAccessible::isActive(), "no accessibility bus: run under tests/support/with-atspi.sh");
        QAccessible::installUpdateHandler(record);

        band.items.set(BandLines::quotes, {{"AAPL 190.01 +1.56 %", "Apple (AAPL)\n190.01  +1.56 %", true},
                                           {"OR 2 410.50", "Or\n2 410.50", false}});
        band.readable->itemsChanged();
        QCOMPARE(told(), (QStringList{"name AAPL 190.01 +1.56 %", "description AAPL 190.01 +1.56 %"}));

        told().clear();
        band.items.set(BandLines::quotes, {{"AAPL 190.01 +1.56 %", "Apple (AAPL)\n190.01  +1.56 %", true}});
        band.readable->itemsChanged();
        QCOMPARE(told(), QStringList{"destroyed OR 2 410.50"});
        QCOMPARE(root->child(0)->childCount(), 1);

        told().clear();
        band.items.set(BandLines::quotes, {{"AAPL 190.01 +1.56 %", "Apple (AAPL)\n190.01  +1.56 %", true},
                                           {"BTC 97 000", {}, false}});
        band.items.set(BandLines::news, {{"Rates held", {}, true}});
        band.readable->itemsChanged();
        QCOMPARE(told(), (QStringList{"created BTC 97 000", "created News"}));

        told().clear();
        band.items.set(BandLines::news, {});
        band.readable->itemsChanged();
        QCOMPARE(told(), (QStringList{"destroyed Rates held", "destroyed News"}));
        QCOMPARE(root->childCount(), 1);

        told().clear();
        band.readable->setNames(QStringLiteral("Band"), QStringLiteral("Cours"), QStringLiteral("Actualités"));
        QCOMPARE(told(), QStringList{"name Cours"});
    }

    /** Whichever goes first, the band or the object it stands on, nothing reads freed data. */
    void outlivesEitherSide()
    {
        {
            Band band;
            QAccessibleInterface *root = band.root();
            QCOMPARE(root->child(0)->childCount(), 2);
            band.readable.reset();
            // The object is asked about again as itself: no band stands on it any more.
            QAccessibleInterface *again = QAccessible::queryAccessibleInterface(band.surface.readable.get());
            QVERIFY(!again || !dynamic_cast<BandAccessibleRoot *>(again));
        }
        {
            Band band;
            QCOMPARE(band.root()->child(0)->childCount(), 2);
            QAccessibleInterface *item = band.root()->child(0)->child(0);
            band.surface.readable.reset();
            QVERIFY(!item->isValid());
            band.items.set(BandLines::quotes, {});
            band.readable->itemsChanged();
            QCOMPARE(BandAccessibility::of(nullptr), nullptr);
        }
    }

    /** A surface with nothing to read the band from leaves it unread, without fault. */
    void surfaceWithoutObject()
    {
        BandLines lines;
        FakeBandSurface surface(lines);
        surface.readable.reset();
        ScriptedItems items;
        items.set(BandLines::quotes, {{"AAPL", {}, false}});
        BandAccessibility readable(surface, items);
        readable.itemsChanged();
        QVERIFY(readable.shownLines().isEmpty());
    }
};

QTEST_MAIN(TestBandAccessibility)
#include "TestBandAccessibility.moc"
