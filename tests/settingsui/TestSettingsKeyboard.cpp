#include "UiTestSupport.h"

#include "search/SearchModel.h"
#include "settingsui/ContentTab.h"
#include "settingsui/DisplayTab.h"
#include "settingsui/NewsSection.h"
#include "settingsui/SettingsView.h"
#include "settingsui/SuggestionButton.h"
#include "settingsui/ToggleSwitch.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>

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

QStringList names(const QList<NewsSource> &sources)
{
    QStringList list;
    for (const NewsSource &s : sources)
        list.append(s.name);
    return list;
}

/** Pixels of `image` within a few steps of `colour`. */
int pixelsOf(const QImage &image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) + qAbs(c.blue() - colour.blue()) < 24;
        }
    }
    return n;
}

} // namespace

class TestSettingsKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void searchArrowsChooseAndEnterAdds()
    {
        UiFixture f;
        f.settings.setItems({item("A")});
        ContentTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        QApplication::setActiveWindow(&tab);
        auto *kind = tab.findChild<QComboBox *>("kindPicker");
        kind->setCurrentIndex(kind->findText("Métal")); // the metals are listed without a search
        auto *query = tab.findChild<QLineEdit *>("searchField");
        query->setFocus();
        QCOMPARE(tab.currentSuggestion(), -1);

        QTest::keyClick(query, Qt::Key_Down);
        QTest::keyClick(query, Qt::Key_Down);
        QCOMPARE(tab.currentSuggestion(), 1);
        const QList<SuggestionButton *> buttons = tab.findChildren<SuggestionButton *>("suggestion");
        QCOMPARE(std::count_if(buttons.begin(), buttons.end(), [](auto *b) { return b->isCurrent(); }), 1);
        QTest::keyClick(query, Qt::Key_Up);
        QTest::keyClick(query, Qt::Key_Up);
        QTest::keyClick(query, Qt::Key_Up); // above the first: back in the field
        QCOMPARE(tab.currentSuggestion(), -1);
        QTest::keyClick(query, Qt::Key_Down);
        const QString first = tab.search().results().first().item.symbol;
        QTest::keyClick(query, Qt::Key_Return);
        QCOMPARE(symbols(f.settings.items()), (QStringList{"A", first}));
        QCOMPARE(tab.currentSuggestion(), -1);
        QVERIFY(query->hasFocus());

        // With no result chosen, Return only searches: nothing is added.
        QTest::keyClicks(query, "cuivre");
        QTest::keyClick(query, Qt::Key_Return);
        QCOMPARE(f.settings.items().size(), 2);
        // Down stops at the last result.
        QTest::keyClick(query, Qt::Key_Down);
        QTest::keyClick(query, Qt::Key_Down);
        QCOMPARE(tab.currentSuggestion(), 0);
        QTest::keyClick(query, Qt::Key_Enter);
        QCOMPARE(symbols(f.settings.items()), (QStringList{"A", first, "copper"}));
    }

    void altArrowsMoveItemsAndDeleteRemoves()
    {
        UiFixture f;
        f.settings.setItems({item("A"), item("B"), item("C")});
        ContentTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        QApplication::setActiveWindow(&tab);
        auto *list = tab.findChild<QListWidget *>("itemsList");
        list->setFocus();
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(symbols(f.settings.items()), (QStringList{"B", "A", "C"}));
        QCOMPARE(list->currentRow(), 1); // the moved row stays chosen
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(symbols(f.settings.items()), (QStringList{"B", "C", "A"}));
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier); // already last
        QCOMPARE(symbols(f.settings.items()), (QStringList{"B", "C", "A"}));
        QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(symbols(f.settings.items()), (QStringList{"B", "A", "C"}));

        // From inside a row's label field too: the keys act on that row.
        auto *label = list->itemWidget(list->item(2))->findChild<QLineEdit *>("labelField");
        label->setFocus();
        QTest::keyClick(label, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(symbols(f.settings.items()), (QStringList{"B", "C", "A"}));
        // Delete in a label field edits the text, not the list.
        label = list->itemWidget(list->item(0))->findChild<QLineEdit *>("labelField");
        label->setFocus();
        label->setCursorPosition(0);
        QTest::keyClick(label, Qt::Key_Delete);
        QCOMPARE(f.settings.items().size(), 3);

        list->setFocus();
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(symbols(f.settings.items()), (QStringList{"B", "A"}));
        QCOMPARE(list->currentRow(), 1);
        QVERIFY(list->hasFocus());
    }

    void altArrowsMoveFeedsAndDeleteRemoves()
    {
        UiFixture f;
        const QList<NewsSource> sources = NewsSource::defaults();
        QVERIFY(sources.size() >= 3);
        NewsSection section(f.settings, f.environment);
        showOffscreen(&section);
        QApplication::setActiveWindow(&section);
        const QList<ToggleSwitch *> switches = section.findChildren<ToggleSwitch *>("enabledSwitch");
        ToggleSwitch *first = switches.first();
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(names(f.settings.newsSources()).mid(0, 2), (QStringList{sources[1].name, sources[0].name}));
        // The focus follows the moved feed.
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused && focused->objectName() == "enabledSwitch");
        QCOMPARE(focused->parentWidget()->property("sourceId").toUuid(), sources[0].id);
        QTest::keyClick(focused, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(names(f.settings.newsSources()), names(sources));

        focused = QApplication::focusWidget();
        QTest::keyClick(focused, Qt::Key_Delete);
        QCOMPARE(names(f.settings.newsSources()), names(sources.mid(1)));
        focused = QApplication::focusWidget();
        QVERIFY(focused && focused->parentWidget()->property("sourceId").toUuid() == sources[1].id);
    }

    void escapeClosesAndTabReachesTheControls()
    {
        UiFixture f;
        SettingsView view(f.settings, f.environment);
        showOffscreen(&view);
        QApplication::setActiveWindow(&view);
        // Tab goes from the tabs through the display tab's controls in reading order.
        QWidget *tabBar = view.tabs()->tabBar();
        tabBar->setFocus();
        QStringList order;
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.append(QApplication::focusWidget()->objectName());
        }
        const QStringList expected{"showInDockSwitch", "autostartSwitch", "levelModePicker", "positionPicker"};
        QCOMPARE(order.mid(0, 4), expected);
        QVERIFY(order.indexOf("ledSizeSlider") >= 0);
        QVERIFY(order.indexOf("speedSlider") > order.indexOf("ledSizeSlider"));
        QVERIFY(order.indexOf("ledSizeSlider") > order.indexOf("themePicker"));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!view.isVisible());
    }

    void focusRingsShow()
    {
        UiFixture f;
        SettingsView view(f.settings, f.environment);
        showOffscreen(&view);
        QApplication::setActiveWindow(&view);
        const QColor highlight = view.palette().color(QPalette::Highlight);
        auto *toggle = view.findChild<ToggleSwitch *>("showInDockSwitch");
        toggle->setChecked(false);
        const int without = pixelsOf(toggle->grab().toImage(), highlight);
        toggle->setFocus();
        QVERIFY(toggle->hasFocus());
        const int with = pixelsOf(toggle->grab().toImage(), highlight);
        QVERIFY2(with > without + 60, qPrintable(QStringLiteral("%1 vs %2").arg(with).arg(without)));

        QTabBar *tabs = view.tabs()->tabBar();
        const int tabsWithout = pixelsOf(tabs->grab().toImage(), highlight);
        tabs->setFocus(Qt::TabFocusReason);
        const int tabsWith = pixelsOf(tabs->grab().toImage(), highlight);
        QVERIFY2(tabsWith > tabsWithout + 60, qPrintable(QStringLiteral("%1 vs %2").arg(tabsWith).arg(tabsWithout)));
    }
};

QTEST_MAIN(TestSettingsKeyboard)
#include "TestSettingsKeyboard.moc"
