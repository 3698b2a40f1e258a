// The content tab over long lists: 150 watched items and 120 feeds still reorder, delete and
// undo as short ones do, and their rows share what they show instead of each holding a copy.
#include "UiTestSupport.h"

#include "settingsui/ContentTab.h"
#include "settingsui/Icons.h"
#include "settingsui/UndoBar.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr int itemCount = 150;
constexpr int feedCount = 120;

QList<WatchItem> manyItems()
{
    QList<WatchItem> items;
    for (int i = 0; i < itemCount; ++i) {
        const ItemKind kind = i % 10 == 9 ? ItemKind::weather : ItemKind::quote;
        const QString symbol = QStringLiteral("S%1").arg(i);
        items.append(WatchItem{QUuid::createUuid(), kind, symbol, symbol, std::nullopt});
    }
    return items;
}

QList<NewsSource> manyFeeds()
{
    QList<NewsSource> sources;
    for (int i = 0; i < feedCount; ++i) {
        NewsSource source;
        source.id = QUuid::createUuid();
        source.name = QStringLiteral("F%1").arg(i);
        source.url = QStringLiteral("https://example.org/%1.xml").arg(i);
        sources.append(source);
    }
    return sources;
}

QStringList symbols(const QList<WatchItem> &items)
{
    QStringList list;
    for (const WatchItem &i : items)
        list.append(i.symbol);
    return list;
}

/** The distinct pictures behind the labels called `name` under `root`. */
QSet<qint64> pictures(const QWidget *root, const char *name)
{
    QSet<qint64> keys;
    for (const QLabel *label : root->findChildren<QLabel *>(name))
        keys.insert(label->pixmap().cacheKey());
    return keys;
}

} // namespace

class TestLongLists : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<UiFixture> f;
    std::unique_ptr<ContentTab> tab;
    QList<WatchItem> items;

    QListWidget *list() const { return tab->findChild<QListWidget *>("itemsList"); }
    QWidget *row(int i) const { return list()->itemWidget(list()->item(i)); }

private slots:
    void init()
    {
        f = std::make_unique<UiFixture>();
        f->environment.alertOf = [](const QUuid &) { return std::optional<AlertThresholds>(); };
        f->environment.setAlert = [](const QUuid &, const AlertThresholds &) { return true; };
        items = manyItems();
        f->settings.setItems(items);
        f->settings.setNewsSources(manyFeeds());
        tab = std::make_unique<ContentTab>(f->settings, f->environment);
        showOffscreen(tab.get());
        QApplication::setActiveWindow(tab.get());
    }

    void cleanup()
    {
        tab.reset();
        f.reset();
    }

    void everyItemHasItsRowInOrder()
    {
        QCOMPARE(list()->count(), itemCount);
        for (int i = 0; i < itemCount; i += 37) {
            QCOMPARE(row(i)->findChild<QLineEdit *>("labelField")->text(), items.at(i).label);
            QCOMPARE(list()->item(i)->data(Qt::AccessibleTextRole).toString(), items.at(i).label);
        }
        QCOMPARE(tab->findChildren<QWidget *>("newsRow").size(), feedCount);
    }

    void theKeysMoveAndDeleteFarDownTheList()
    {
        QListWidget *items = list();
        items->setFocus();
        items->setCurrentRow(itemCount - 1);
        QTest::keyClick(items, Qt::Key_Up, Qt::AltModifier);
        QStringList expected = symbols(this->items);
        expected.swapItemsAt(itemCount - 2, itemCount - 1);
        QCOMPARE(symbols(f->settings.items()), expected);
        QCOMPARE(items->currentRow(), itemCount - 2);
        QCOMPARE(row(itemCount - 2)->findChild<QLineEdit *>("labelField")->text(), expected.at(itemCount - 2));

        // From the label field of a row in the middle.
        auto *label = row(100)->findChild<QLineEdit *>("labelField");
        label->setFocus();
        QTest::keyClick(label, Qt::Key_Down, Qt::AltModifier);
        expected.swapItemsAt(100, 101);
        QCOMPARE(symbols(f->settings.items()), expected);

        items->setFocus();
        items->setCurrentRow(120);
        QTest::keyClick(items, Qt::Key_Delete);
        const QString removed = expected.takeAt(120);
        QCOMPARE(symbols(f->settings.items()), expected);
        QCOMPARE(items->count(), itemCount - 1);
        QCOMPARE(items->currentRow(), 120);
        UndoBar *bar = tab->undoBar();
        QVERIFY(shown(bar));
        QCOMPARE(bar->text(), QString("« %1 » retiré du bandeau").arg(removed));
        bar->findChild<QPushButton *>("undoButton")->click();
        expected.insert(120, removed);
        QCOMPARE(symbols(f->settings.items()), expected);
        QCOMPARE(items->count(), itemCount);
        QCOMPARE(row(120)->findChild<QLineEdit *>("labelField")->text(), removed);
    }

    void rowsShareTheirPictures()
    {
        // One picture per kind of item, one drag handle and one remove icon for all the rows.
        QCOMPARE(pictures(list(), "kindIcon").size(), 2);
        QCOMPARE(pictures(list(), "dragHandle").size(), 1);
        QSet<qint64> removeIcons;
        for (const QToolButton *button : list()->findChildren<QToolButton *>("removeButton"))
            removeIcons.insert(button->icon().pixmap(QSize(20, 20), 2.0).cacheKey());
        QCOMPARE(removeIcons.size(), 1);
        QSet<qint64> trashIcons;
        for (const QToolButton *button : tab->findChildren<QToolButton *>("removeSourceButton"))
            trashIcons.insert(button->icon().cacheKey());
        QCOMPARE(trashIcons.size(), 1);

        // The same symbol in the same colour is the same picture; another colour is another.
        const QPixmap red = Icons::drawn(Icons::Symbol::diamond, Qt::red, 16);
        QCOMPARE(Icons::drawn(Icons::Symbol::diamond, Qt::red, 16).cacheKey(), red.cacheKey());
        QVERIFY(Icons::drawn(Icons::Symbol::diamond, Qt::blue, 16).cacheKey() != red.cacheKey());
        QVERIFY(Icons::drawn(Icons::Symbol::diamond, Qt::red, 20).cacheKey() != red.cacheKey());
        QCOMPARE(red.deviceIndependentSize(), QSizeF(16, 16));
    }

    void noRowCarriesAStyleSheet()
    {
        // A sheet on a row's widget, or on the list around them, costs every row its own
        // parsed copy and caches: the rows are drawn by shared styles instead.
        QList<QWidget *> widgets = list()->findChildren<QWidget *>();
        widgets += tab->findChildren<QWidget *>("newsRow");
        for (QWidget *row : tab->findChildren<QWidget *>("newsRow"))
            widgets += row->findChildren<QWidget *>();
        widgets.append(list());
        QVERIFY(widgets.size() > itemCount * 5);
        for (const QWidget *widget : std::as_const(widgets)) {
            QVERIFY2(widget->styleSheet().isEmpty(), qPrintable(widget->objectName()));
            QVERIFY2(!widget->style()->inherits("QStyleSheetStyle"), qPrintable(widget->objectName()));
        }
    }
};

QTEST_MAIN(TestLongLists)
#include "TestLongLists.moc"
