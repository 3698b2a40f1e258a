#include "UiTestSupport.h"

#include "settingsui/ContentTab.h"
#include "settingsui/DisplayTab.h"
#include "settingsui/NewsSection.h"
#include "settingsui/ToggleSwitch.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QToolButton>

namespace {

QAccessibleInterface *describe(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

/** The text of the row label next to `control`. */
QString rowLabelOf(QWidget *control)
{
    auto *label = control->parentWidget()->findChild<QLabel *>("rowLabel");
    return label ? label->text() : QString();
}

} // namespace

/** What a screen reader learns of the settings: each control's role, name and value. */
class TestSettingsAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void switchesAreNamedCheckBoxes()
    {
        UiFixture f;
        DisplayTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        const QList<ToggleSwitch *> switches = tab.findChildren<ToggleSwitch *>();
        QCOMPARE(switches.size(), 4); // taskbar, login, push windows, day charts
        for (ToggleSwitch *toggle : switches) {
            QAccessibleInterface *iface = describe(toggle);
            QVERIFY(iface);
            QCOMPARE(iface->role(), QAccessible::CheckBox);
            QVERIFY(!rowLabelOf(toggle).isEmpty());
            QCOMPARE(iface->text(QAccessible::Name), rowLabelOf(toggle));
            QVERIFY(iface->state().checkable);
            QCOMPARE(bool(iface->state().checked), toggle->isChecked());
        }
        // The reader's toggle action works the switch, and the setting follows.
        auto *push = tab.findChild<ToggleSwitch *>("pushWindowsSwitch");
        const bool before = f.settings.pushWindows();
        QAccessibleInterface *iface = describe(push);
        QVERIFY(iface->actionInterface());
        QVERIFY(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(f.settings.pushWindows(), !before);
        QCOMPARE(bool(iface->state().checked), !before);
    }

    void slidersAndPickersHaveNameAndValue()
    {
        UiFixture f;
        f.settings.setSpeed(4);
        DisplayTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        for (const char *name : {"ledSizeSlider", "speedSlider"}) {
            auto *slider = tab.findChild<QSlider *>(name);
            QAccessibleInterface *iface = describe(slider);
            QCOMPARE(iface->role(), QAccessible::Slider);
            QCOMPARE(iface->text(QAccessible::Name), rowLabelOf(slider));
            QVERIFY(iface->valueInterface());
            QCOMPARE(iface->valueInterface()->currentValue().toInt(), slider->value());
        }
        QCOMPARE(describe(tab.findChild<QSlider *>("speedSlider"))->text(QAccessible::Name), QString("Vitesse"));
        QCOMPARE(describe(tab.findChild<QSlider *>("speedSlider"))->valueInterface()->currentValue().toInt(), 4);
        for (QComboBox *picker : tab.findChildren<QComboBox *>()) {
            QAccessibleInterface *iface = describe(picker);
            QCOMPARE(iface->role(), QAccessible::ComboBox);
            QVERIFY2(!iface->text(QAccessible::Name).isEmpty(), qPrintable(picker->objectName()));
        }
    }

    void listRowsAndIconButtonsAreNamed()
    {
        UiFixture f;
        f.settings.setItems({WatchItem{QUuid::createUuid(), ItemKind::quote, "AAPL", "Apple", std::nullopt},
                             WatchItem{QUuid::createUuid(), ItemKind::weather, "Paris", "Paris", std::nullopt}});
        ContentTab tab(f.settings, f.environment);
        tab.setEditing(true);
        showOffscreen(&tab);
        auto *list = tab.findChild<QListWidget *>("itemsList");
        QAccessibleInterface *listFace = describe(list);
        QVERIFY(listFace);
        QStringList names;
        for (int i = 0; i < listFace->childCount(); ++i)
            names.append(listFace->child(i)->text(QAccessible::Name));
        QVERIFY2(names.contains("Apple") && names.contains("Paris"), qPrintable(names.join(',')));
        for (QToolButton *button : tab.findChildren<QToolButton *>()) {
            if (!button->isVisibleTo(&tab))
                continue;
            QVERIFY2(!describe(button)->text(QAccessible::Name).isEmpty(), qPrintable(button->objectName()));
        }
        auto *remove = list->itemWidget(list->item(0))->findChild<QToolButton *>("removeButton");
        QCOMPARE(describe(remove)->text(QAccessible::Name), QString("Retirer Apple du bandeau"));
        auto *trash = tab.findChild<NewsSection *>()->findChild<QToolButton *>("removeSourceButton");
        QVERIFY(describe(trash)->text(QAccessible::Name).startsWith("Retirer "));
    }
};

QTEST_MAIN(TestSettingsAccessibility)
#include "TestSettingsAccessibility.moc"
