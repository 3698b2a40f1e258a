#include "wayland/MenuPicture.h"

#include <QAction>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QTest>

/** The band's menu as drawn on the layer surface: its rows, what can be chosen, its picture. */
class TestMenuPicture : public QObject
{
    Q_OBJECT
private slots:
    void rowsFromActions()
    {
        QAction about(QStringLiteral("À &propos && plus"));
        QAction separator;
        separator.setSeparator(true);
        QAction hidden(QStringLiteral("Caché"));
        hidden.setVisible(false);
        QAction level(QStringLiteral("Devant"));
        level.setCheckable(true);
        level.setChecked(true);
        QAction off(QStringLiteral("Indisponible"));
        off.setEnabled(false);
        QAction longOne(QString(500, u'x'));
        const QList<MenuPicture::Entry> entries =
            MenuPicture::entriesOf({&about, nullptr, &separator, &hidden, &level, &off, &longOne});
        QCOMPARE(entries.size(), 5);
        QCOMPARE(entries.at(0).text, QStringLiteral("À propos & plus"));
        QVERIFY(entries.at(1).separator);
        QVERIFY(entries.at(2).checkable && entries.at(2).checked);
        QVERIFY(!entries.at(3).enabled);
        QCOMPARE(entries.at(4).text.size(), MenuPicture::maxTextLength);

        QList<QAction *> many;
        std::vector<std::unique_ptr<QAction>> owned;
        for (int i = 0; i < 100; ++i) {
            owned.push_back(std::make_unique<QAction>(QString::number(i)));
            many.append(owned.back().get());
        }
        QCOMPARE(MenuPicture::entriesOf(many).size(), MenuPicture::maxEntries);
    }

    void onlyItemsThatWorkCanBeChosen()
    {
        const MenuPicture menu({{QStringLiteral("A")}, {{}, true}, {QStringLiteral("B"), false, false, false, false},
                                {QStringLiteral("C")}});
        QCOMPARE(menu.entryAt(menu.entryRect(0).center()), 0);
        QCOMPARE(menu.entryAt(menu.entryRect(1).center()), -1); // a separator
        QCOMPARE(menu.entryAt(menu.entryRect(2).center()), -1); // disabled
        QCOMPARE(menu.entryAt(menu.entryRect(3).center()), 3);
        QCOMPARE(menu.entryAt(QPointF(-5, 5)), -1);
        // The keyboard goes round, over what cannot be chosen.
        QCOMPARE(menu.nextChoosable(-1, 1), 0);
        QCOMPARE(menu.nextChoosable(0, 1), 3);
        QCOMPARE(menu.nextChoosable(3, 1), 0);
        QCOMPARE(menu.nextChoosable(-1, -1), 3);
        QCOMPARE(menu.nextChoosable(0, -1), 3);
        QCOMPARE(MenuPicture({{{}, true}}).nextChoosable(-1, 1), -1);
    }

    void pictureFitsItsTextsAndShowsTheHighlight()
    {
        const QString longest = QStringLiteral("Lancer Dotbanner à l'ouverture de session");
        const MenuPicture menu({{QStringLiteral("A")}, {longest}});
        const int advance = QFontMetrics(QGuiApplication::font()).horizontalAdvance(longest);
        QVERIFY(menu.size().width() > advance);
        QVERIFY(menu.entryRect(1).bottom() < menu.size().height());

        const QImage plain = menu.paint(-1, 2);
        QCOMPARE(plain.size(), menu.size() * 2);
        QCOMPARE(plain.devicePixelRatio(), 2.0);
        const QImage lit = menu.paint(0, 2);
        const QColor highlight = QGuiApplication::palette().color(QPalette::Highlight);
        const QPoint inRow = (menu.entryRect(0).topLeft() + QPoint(2, 2)) * 2;
        QCOMPARE(lit.pixelColor(inRow).rgb(), highlight.rgb());
        QVERIFY(plain.pixelColor(inRow).rgb() != highlight.rgb());
        // Only the highlighted row changes.
        const QPoint otherRow = (menu.entryRect(1).topLeft() + QPoint(2, 2)) * 2;
        QCOMPARE(lit.pixelColor(otherRow), plain.pixelColor(otherRow));
        QVERIFY(MenuPicture({}).paint(-1, 1).isNull());
    }
};

QTEST_MAIN(TestMenuPicture)
#include "TestMenuPicture.moc"
