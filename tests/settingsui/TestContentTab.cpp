#include "UiTestSupport.h"

#include "FakeClock.h"
#include "settingsui/UndoBar.h"

#include "search/SearchModel.h"
#include "settingsui/ContentTab.h"
#include "settingsui/WatchItemsList.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCursor>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

namespace {

WatchItem item(const QString &symbol, ItemKind kind = ItemKind::quote)
{
    return WatchItem{QUuid::createUuid(), kind, symbol, symbol, std::nullopt};
}

QStringList symbols(const QList<WatchItem> &items)
{
    QStringList list;
    for (const WatchItem &i : items)
        list.append(i.symbol);
    return list;
}

} // namespace

class TestContentTab : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<UiFixture> f;
    std::unique_ptr<ContentTab> tab;

    QListWidget *list() const { return tab->findChild<QListWidget *>("itemsList"); }
    QWidget *row(int i) const { return list()->itemWidget(list()->item(i)); }
    template<typename T> T *inRow(int i, const char *name) const { return row(i)->findChild<T *>(name); }
    QList<QAbstractButton *> suggestions() const
    {
        QList<QAbstractButton *> buttons;
        for (QAbstractButton *b : tab->findChildren<QAbstractButton *>("suggestion")) {
            if (b->isVisibleTo(tab.get()))
                buttons.append(b);
        }
        return buttons;
    }

private slots:
    void init()
    {
        f = std::make_unique<UiFixture>();
        f->settings.setItems({item("A"), item("B"), item("C"), item("gold", ItemKind::metal)});
        tab = std::make_unique<ContentTab>(f->settings, f->environment);
        showOffscreen(tab.get());
        f->resetCounts();
    }

    void cleanup()
    {
        tab.reset();
        f.reset();
    }

    void emptyListShowsTheHintAndEditStillToggles()
    {
        auto *hint = tab->findChild<QLabel *>("emptyHint");
        auto *edit = tab->findChild<QPushButton *>("editButton");
        QVERIFY(!shown(hint));
        f->settings.setItems({});
        QVERIFY(shown(hint));
        QCOMPARE(hint->text(), QString("Rien à afficher. Ajoute une valeur ci-dessous."));
        QVERIFY(!shown(list()));
        QCOMPARE(edit->text(), QString("Modifier"));
        edit->click();
        QVERIFY(tab->isEditing());
        QCOMPARE(edit->text(), QString("OK"));
        QVERIFY(edit->font().weight() > QFont::Normal);
        edit->click();
        QVERIFY(!tab->isEditing());
        QCOMPARE(edit->text(), QString("Modifier"));
    }

    void removalIsAtOnceWithUndo()
    {
        QVERIFY(!shown(inRow<QToolButton>(0, "removeButton")));
        QVERIFY(!shown(inRow<QLabel>(0, "dragHandle")));
        tab->findChild<QPushButton *>("editButton")->click();
        QVERIFY(shown(inRow<QToolButton>(0, "removeButton")));
        QCOMPARE(inRow<QToolButton>(0, "removeButton")->toolTip(), QString("Retirer du bandeau"));
        QCOMPARE(inRow<QToolButton>(0, "removeButton")->accessibleName(), QString("Retirer A du bandeau"));
        QVERIFY(shown(inRow<QLabel>(0, "dragHandle")));

        // Away from the pointer: the item goes at once and the rows close up.
        QCursor::setPos(tab->mapToGlobal(QPoint(-50, -50)));
        inRow<QToolButton>(1, "removeButton")->click();
        QCOMPARE(symbols(f->settings.items()), (QStringList{"A", "C", "gold"}));
        QCOMPARE(list()->count(), 3);
        QCOMPARE(f->plainRefreshes, 1);
        QCOMPARE(f->forcedRefreshes, 0);
        UndoBar *bar = tab->undoBar();
        QVERIFY(shown(bar));
        QCOMPARE(bar->text(), QString("« B » retiré du bandeau"));
        bar->findChild<QPushButton *>("undoButton")->click();
        QCOMPARE(symbols(f->settings.items()), (QStringList{"A", "B", "C", "gold"}));
        QVERIFY(!shown(bar));
    }

    void theListDoesNotMoveUnderThePointer()
    {
        FakeClock clock;
        tab->setEditing(true);
        QApplication::setActiveWindow(tab.get());
        // The pointer on the second row's button: it goes, the rows below stay where they were.
        const QRect third = list()->visualItemRect(list()->item(2));
        const QRect fourth = list()->visualItemRect(list()->item(3));
        QToolButton *button = inRow<QToolButton>(1, "removeButton");
        QCursor::setPos(button->mapToGlobal(button->rect().center()));
        button->click();
        QCOMPARE(symbols(f->settings.items()), (QStringList{"A", "C", "gold"}));
        QCOMPARE(list()->count(), 4);
        QCOMPARE(list()->itemWidget(list()->item(1)), nullptr);
        QCOMPARE(list()->visualItemRect(list()->item(2)), third);
        // A second click where the pointer now is removes the row that is there, and again
        // nothing moves up.
        button = inRow<QToolButton>(2, "removeButton");
        QCursor::setPos(button->mapToGlobal(button->rect().center()));
        button->click();
        QCOMPARE(symbols(f->settings.items()), (QStringList{"A", "gold"}));
        QCOMPARE(list()->count(), 4);
        QCOMPARE(list()->visualItemRect(list()->item(3)), fourth);

        // Keys count items, not places, and close the places.
        list()->setFocus();
        list()->setCurrentRow(3);
        QTest::keyClick(list(), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(symbols(f->settings.items()), (QStringList{"gold", "A"}));
        QCOMPARE(list()->count(), 2);

        // Ctrl+Z brings the last removed item back into its place, within the bar's time.
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(symbols(f->settings.items()), (QStringList{"gold", "C", "A"}));
        QCOMPARE(list()->count(), 3);

        // Once the bar's time is up the removal stands and the place closes.
        button = inRow<QToolButton>(0, "removeButton");
        QCursor::setPos(button->mapToGlobal(button->rect().center()));
        button->click();
        QVERIFY(shown(tab->undoBar()));
        QCOMPARE(list()->count(), 3);
        clock.advanceMs(UndoBar::shownFor.count() + 1);
        QVERIFY(!shown(tab->undoBar()));
        QCOMPARE(list()->count(), 2);
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(symbols(f->settings.items()), (QStringList{"C", "A"}));
    }

    void listMoveSemantics()
    {
        const QList<WatchItem> items{item("A"), item("B"), item("C"), item("D")};
        QCOMPARE(symbols(ContentTab::moved(items, {0}, 3)), (QStringList{"B", "C", "A", "D"}));
        QCOMPARE(symbols(ContentTab::moved(items, {0}, 4)), (QStringList{"B", "C", "D", "A"}));
        QCOMPARE(symbols(ContentTab::moved(items, {3}, 0)), (QStringList{"D", "A", "B", "C"}));
        QCOMPARE(symbols(ContentTab::moved(items, {2, 0}, 4)), (QStringList{"B", "D", "A", "C"}));
        QCOMPARE(symbols(ContentTab::moved(items, {1}, 1)), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(symbols(ContentTab::moved(items, {1}, 2)), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(symbols(ContentTab::moved(items, {9, -1}, 99)), (QStringList{"A", "B", "C", "D"}));
    }

    void droppingARowReordersTheItems()
    {
        list()->setCurrentRow(0);
        const QRect target = list()->visualItemRect(list()->item(2));
        const QPoint lowerHalf(target.center().x(), target.bottom() - 2);
        QMimeData mime;
        mime.setData("application/x-qabstractitemmodeldatalist", QByteArray());
        // A drop reaches only the widget that accepted the drag's entry.
        QDragEnterEvent enter(lowerHalf, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list()->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(lowerHalf, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list()->viewport(), &drop);
        QTRY_COMPARE(symbols(f->settings.items()), (QStringList{"B", "C", "A", "gold"}));
        QCOMPARE(f->plainRefreshes, 1);
        QCOMPARE(list()->count(), 4);
        QCOMPARE(inRow<QLabel>(2, "symbolLabel")->text(), QString("A"));
    }

    void aDropAsksForItsMoveOnceItIsOver()
    {
        auto *items = qobject_cast<WatchItemsList *>(list());
        QVERIFY(items);
        QSignalSpy asked(items, &WatchItemsList::moveRequested);
        QMimeData mime;
        mime.setData("application/x-qabstractitemmodeldatalist", QByteArray());
        const auto dropAt = [&](const QPoint &point) {
            QDragEnterEvent enter(point, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(items->viewport(), &enter);
            QDropEvent drop(point, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(items->viewport(), &drop);
            return drop.dropAction();
        };
        const QRect third = items->visualItemRect(items->item(2));

        // Nothing selected: nothing to move.
        items->clearSelection();
        dropAt(third.center());
        QCoreApplication::processEvents();
        QCOMPARE(asked.count(), 0);

        // The upper half of a row inserts before it, the lower half after it; Qt itself moves
        // no row, and the request comes once the drop has been delivered.
        items->setCurrentRow(0);
        QCOMPARE(dropAt(QPoint(third.center().x(), third.top() + 2)), Qt::IgnoreAction);
        QCOMPARE(asked.count(), 0);
        QCOMPARE(items->count(), 4);
        QTRY_COMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0).at(0).value<QList<int>>(), QList<int>{0});
        QCOMPARE(asked.at(0).at(1).toInt(), 2);
        QTRY_COMPARE(symbols(f->settings.items()), (QStringList{"B", "A", "C", "gold"}));

        items->setCurrentRow(3);
        const QRect last = items->visualItemRect(items->item(3));
        dropAt(QPoint(last.center().x(), last.bottom() - 1));
        QTRY_COMPARE(asked.count(), 2);
        QCOMPARE(asked.at(1).at(1).toInt(), 4);
        QCOMPARE(symbols(f->settings.items()), (QStringList{"B", "A", "C", "gold"})); // already last
    }

    void renameEditsOnlyTheLabelAndRefreshesUnforced()
    {
        auto *label = inRow<QLineEdit>(0, "labelField");
        QCOMPARE(label->placeholderText(), QString("AAPL, S&P500, BTC"));
        label->setFocus();
        label->selectAll();
        QTest::keyClicks(label, "XY");
        QCOMPARE(f->settings.items().at(0).label, QString("XY"));
        QCOMPARE(f->settings.items().at(0).symbol, QString("A"));
        QCOMPARE(inRow<QLabel>(0, "symbolLabel")->text(), QString("A"));
        // One unforced refresh per edit, and the field survived the edits.
        QCOMPARE(f->plainRefreshes, 2);
        QCOMPARE(f->forcedRefreshes, 0);
        QCOMPARE(inRow<QLineEdit>(0, "labelField"), label);
        // A change made elsewhere shows at once.
        auto items = f->settings.items();
        items[1].label = "ZZ";
        f->settings.setItems(items);
        QCOMPARE(inRow<QLineEdit>(1, "labelField")->text(), QString("ZZ"));

        // Return commits the label and leaves the field alone otherwise.
        label->setFocus();
        QTest::keyClick(label, Qt::Key_Return);
        QCOMPARE(f->settings.items().at(0).label, QString("XY"));
        QCOMPARE(inRow<QLineEdit>(0, "labelField"), label);
    }

    void itemsPastTheLimitAreSaidToBeKept()
    {
        auto *note = tab->findChild<QLabel *>("itemLimitNote");
        QVERIFY(note);
        QVERIFY(!shown(note));
        QList<WatchItem> items;
        for (int i = 0; i <= maxActiveWatchItems; ++i)
            items.append(item(QStringLiteral("S%1").arg(i)));
        f->settings.setItems(items);
        QVERIFY(shown(note));
        QCOMPARE(note->text(), QString("Seules les 200 premières valeurs s'affichent dans le bandeau ; "
                                       "les suivantes sont gardées ici."));
        QCOMPARE(list()->count(), maxActiveWatchItems + 1);
        items.removeLast();
        f->settings.setItems(items);
        QVERIFY(!shown(note));
    }

    void metalCurrencyAndUnitForceARefresh()
    {
        auto *currency = tab->findChild<QComboBox *>("currencyPicker");
        auto *unit = tab->findChild<QComboBox *>("unitPicker");
        QCOMPARE(currency->currentText(), QString("EUR"));
        QCOMPARE(unit->currentText(), QString("Once troy (toz)"));
        currency->setCurrentIndex(currency->findText("USD"));
        QCOMPARE(f->settings.metalCurrency(), QString("USD"));
        QCOMPARE(f->forcedRefreshes, 1);
        QCOMPARE(f->plainRefreshes, 0);
        unit->setCurrentIndex(unit->findData("g"));
        QCOMPARE(f->settings.metalUnit(), QString("g"));
        QCOMPARE(f->forcedRefreshes, 2);
        // Assigning the same value again is no change.
        f->settings.setMetalUnit("g");
        QCOMPARE(f->forcedRefreshes, 2);
        f->settings.setMetalCurrency("CHF");
        QCOMPARE(currency->currentText(), QString("CHF"));
        QCOMPARE(f->forcedRefreshes, 3);
    }

    void metalsSectionFollowsItemsAndKind()
    {
        auto *metals = tab->findChild<QWidget *>("metalsSection");
        auto *kind = tab->findChild<QComboBox *>("kindPicker");
        QVERIFY(shown(metals));
        f->settings.setItems({item("A")});
        QVERIFY(!shown(metals));
        kind->setCurrentIndex(kind->findText("Métal"));
        QVERIFY(shown(metals));
        kind->setCurrentIndex(kind->findText("Ville (météo)"));
        QVERIFY(!shown(metals));
    }

    void choosingMetalListsMetalsAndAddsDuplicates()
    {
        auto *kind = tab->findChild<QComboBox *>("kindPicker");
        auto *query = tab->findChild<QLineEdit *>("searchField");
        QCOMPARE(query->placeholderText(), QString("AAPL, S&P500, BTC"));
        query->setText("zz");
        kind->setCurrentIndex(kind->findText("Métal"));
        QCOMPARE(tab->kind(), ItemKind::metal);
        QVERIFY(query->text().isEmpty());
        QCOMPARE(query->placeholderText(), QString("Or, Argent, Cuivre"));
        QCOMPARE(suggestions().size(), 10);

        QTest::keyClicks(query, "cuivre");
        QCOMPARE(suggestions().size(), 1);
        suggestions().first()->click();
        QVERIFY(query->text().isEmpty());
        QCOMPARE(suggestions().size(), 10); // the metals are listed again
        QTest::keyClicks(query, "cuivre");
        suggestions().first()->click();

        const auto items = f->settings.items();
        QCOMPARE(symbols(items), (QStringList{"A", "B", "C", "gold", "copper", "copper"}));
        QCOMPARE(items.at(4).label, QString("CUIVRE"));
        QVERIFY(items.at(4).id != items.at(5).id);
        QCOMPARE(f->plainRefreshes, 2);
        QCOMPARE(list()->count(), 6);

        // The same suggestion pressed twice still gives two removable items.
        const Suggestion silver = tab->search().metalResults("silver").first();
        tab->addSuggestion(silver);
        tab->addSuggestion(silver);
        const auto after = f->settings.items();
        QCOMPARE(symbols(after).count("silver"), 2);
        QVERIFY(after.at(6).id != after.at(7).id);
    }

    void searchStateIsShown()
    {
        auto *query = tab->findChild<QLineEdit *>("searchField");
        auto *busy = tab->findChild<QWidget *>("searchBusy");
        auto *message = tab->findChild<QLabel *>("searchMessage");
        f->settings.setStockProvider(StockProvider::twelveData);
        QTest::keyClicks(query, "ai");
        QVERIFY(shown(busy));
        QTRY_VERIFY(!shown(busy));
        QVERIFY(shown(message));
        QCOMPARE(message->accessibleName(), QString("Ajoute ta clé Twelve Data dans l'onglet Clés API."));
        QVERIFY(message->text().contains("href=\"#twelveData\""));
        // Changing the kind clears the message and the query.
        auto *kind = tab->findChild<QComboBox *>("kindPicker");
        kind->setCurrentIndex(kind->findText("Ville (météo)"));
        QVERIFY(!shown(message));
        QVERIFY(query->text().isEmpty());
        QCOMPARE(query->placeholderText(), QString("Paris, Lyon, Tokyo"));
    }

    void newsSourceChangesRefreshTheNews()
    {
        auto sources = f->settings.newsSources();
        sources.removeFirst();
        f->settings.setNewsSources(sources);
        QCOMPARE(f->newsRefreshes, 1);
        f->settings.setNewsSources(sources);
        QCOMPARE(f->newsRefreshes, 1);
        QCOMPARE(f->plainRefreshes + f->forcedRefreshes, 0);
    }
};

QTEST_MAIN(TestContentTab)
#include "TestContentTab.moc"
