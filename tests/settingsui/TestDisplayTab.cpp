#include "UiTestSupport.h"

#include "settingsui/AccessibilityStatus.h"
#include "settingsui/DisplayTab.h"
#include "settingsui/SettingsView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include "settingsui/ToggleSwitch.h"

class TestDisplayTab : public QObject
{
    Q_OBJECT
private slots:
    void levelHidesPushToggleAndStatus()
    {
        UiFixture f;
        DisplayTab tab(*f.settings, f.environment);
        showOffscreen(&tab);
        auto *pushRow = tab.findChild<QWidget *>("pushWindowsRow");
        auto *status = tab.findChild<AccessibilityStatus *>("accessibilityStatus");
        auto *level = tab.findChild<QComboBox *>("levelModePicker");
        QVERIFY(pushRow && status && level);
        QCOMPARE(level->currentText(), QString("Au premier plan"));
        QVERIFY(shown(pushRow));
        QVERIFY(shown(status));

        level->setCurrentIndex(level->findText("Normal (les fenêtres peuvent le couvrir)"));
        QCOMPARE(f.settings->levelMode(), WindowLevelMode::normal);
        QVERIFY(f.settings->pushWindows());
        QVERIFY(!shown(pushRow));
        QVERIFY(!shown(status));

        // The tray menu changes the level: the window follows at once.
        f.settings->setLevelMode(WindowLevelMode::front);
        QCOMPARE(level->currentText(), QString("Au premier plan"));
        QVERIFY(shown(pushRow));
        f.settings->setPushWindows(false);
        QVERIFY(shown(pushRow));
        QVERIFY(!shown(status));
        QVERIFY(!tab.findChild<ToggleSwitch *>("pushWindowsSwitch")->isChecked());
        tab.findChild<ToggleSwitch *>("pushWindowsSwitch")->click();
        QVERIFY(f.settings->pushWindows());
        QVERIFY(shown(status));
        f.settings->setLevelMode(WindowLevelMode::desktop);
        QCOMPARE(level->currentText(), QString("Derrière toutes les fenêtres"));
        QVERIFY(!shown(status));
    }

    void pickersListEveryCaseAndWriteAtOnce()
    {
        UiFixture f;
        DisplayTab tab(*f.settings, f.environment);
        const auto items = [](QComboBox *combo) {
            QStringList list;
            for (int i = 0; i < combo->count(); ++i)
                list.append(combo->itemText(i));
            return list;
        };
        auto *variant = tab.findChild<QComboBox *>("variantPicker");
        auto *font = tab.findChild<QComboBox *>("fontStylePicker");
        auto *theme = tab.findChild<QComboBox *>("themePicker");
        auto *position = tab.findChild<QComboBox *>("positionPicker");
        QCOMPARE(items(variant), (QStringList{"1 ligne (cours)", "2 lignes (cours + actualités)"}));
        QCOMPARE(items(font), (QStringList{"Pixel gras", "Pixel 5×7", "Haute définition"}));
        QCOMPARE(items(theme), (QStringList{"Vert / rouge", "Ambre", "Bleu"}));
        QCOMPARE(items(position), (QStringList{"Haut de l'écran", "Bas de l'écran"}));
        variant->setCurrentIndex(1);
        font->setCurrentIndex(2);
        theme->setCurrentIndex(1);
        position->setCurrentIndex(1);
        QCOMPARE(f.settings->variant(), BarVariant::thick);
        QCOMPARE(f.settings->fontStyle(), FontStyle::hd);
        QCOMPARE(f.settings->theme(), ColorTheme::amber);
        QCOMPARE(f.settings->position(), DockPosition::bottom);
        auto *dock = tab.findChild<ToggleSwitch *>("showInDockSwitch");
        dock->click();
        QVERIFY(f.settings->showInDock());
        f.settings->setShowInDock(false);
        QVERIFY(!dock->isChecked());
        f.settings->setTheme(ColorTheme::blue);
        QCOMPARE(theme->currentText(), QString("Bleu"));
    }

    void slidersShowWholeValues()
    {
        UiFixture f;
        DisplayTab tab(*f.settings, f.environment);
        auto *led = tab.findChild<QSlider *>("ledSizeSlider");
        auto *ledValue = tab.findChild<QLabel *>("ledSizeValue");
        auto *speed = tab.findChild<QSlider *>("speedSlider");
        auto *speedValue = tab.findChild<QLabel *>("speedValue");
        QCOMPARE(ledValue->text(), QString("5 px"));
        QCOMPARE(speedValue->text(), QString("3"));
        for (int v = 3; v <= 10; ++v) {
            led->setValue(v);
            QCOMPARE(f.settings->ledSize(), double(v));
            QCOMPARE(ledValue->text(), QString("%1 px").arg(v));
        }
        QCOMPARE(led->maximum(), 10);
        QCOMPARE(led->minimum(), 3);
        for (int v = 1; v <= 6; ++v) {
            speed->setValue(v);
            QCOMPARE(f.settings->speed(), double(v));
            QCOMPARE(speedValue->text(), QString::number(v));
        }
        // Stored values outside the range are shown truncated and never rewritten by the slider.
        f.settings->setLedSize(25.7);
        QCOMPARE(ledValue->text(), QString("25 px"));
        QCOMPARE(f.settings->ledSize(), 25.7);
        f.settings->setSpeed(2.9);
        QCOMPARE(speedValue->text(), QString("2"));
        QCOMPARE(f.settings->speed(), 2.9);
    }

    void accessibilityStatusSaysHowTheBandIsShown()
    {
        UiFixture f;
        {
            AccessibilityStatus status(f.environment);
            showOffscreen(&status);
            QVERIFY(!status.findChild<QLabel *>("windowModeText")->isVisible());
        }
        f.environment.windowMode = [] { return QStringLiteral("Session X11 : le bandeau est placé par le gestionnaire de fenêtres."); };
        AccessibilityStatus status(f.environment);
        showOffscreen(&status);
        auto *mode = status.findChild<QLabel *>("windowModeText");
        QVERIFY(mode->isVisible());
        QCOMPARE(mode->text(), f.environment.windowModeText());
        // The permission row itself keeps its own text.
        QCOMPARE(status.findChild<QLabel *>("accessibilityText")->text(), AccessibilityStatus::grantedText());
    }

    void accessibilityStatusFollowsThePermission()
    {
        UiFixture f;
        f.trusted = false;
        AccessibilityStatus status(f.environment);
        auto *text = status.findChild<QLabel *>("accessibilityText");
        auto *open = status.findChild<QPushButton *>("accessibilityOpenButton");
        QCOMPARE(text->text(), QString("Autorisation Accessibilité requise pour déplacer les fenêtres des autres apps."));
        QVERIFY(!status.isPolling());
        showOffscreen(&status);
        QVERIFY(status.isPolling());
        QVERIFY(open->isVisible());
        QCOMPARE(open->text(), QString("Ouvrir…"));
        open->click();
        QCOMPARE(f.accessibilityRequests, 1);

        f.trusted = true;
        QTRY_COMPARE_WITH_TIMEOUT(text->text(), QString("Autorisation Accessibilité accordée."), 2500);
        QVERIFY(!open->isVisible());
        f.trusted = false;
        QTRY_VERIFY_WITH_TIMEOUT(open->isVisible(), 2500);
        status.hide();
        QVERIFY(!status.isPolling());

        // Granted while the row was hidden: showing it again shows the new state at once.
        f.trusted = true;
        status.show();
        QCOMPARE(text->text(), QString("Autorisation Accessibilité accordée."));
        QVERIFY(open->isHidden());
    }

    void doneAndReturnCloseTheWindow()
    {
        UiFixture f;
        SettingsView view(*f.settings, f.environment);
        QCOMPARE(view.size(), QSize(600, 680));
        QCOMPARE(view.tabs()->count(), 3);
        QCOMPARE(view.tabs()->tabText(0), QString("Affichage"));
        QCOMPARE(view.tabs()->tabText(1), QString("Contenu"));
        QCOMPARE(view.tabs()->tabText(2), QString("Clés API"));
        auto *done = view.findChild<QPushButton *>("doneButton");
        QCOMPARE(done->text(), QString("Terminer"));
        QVERIFY(done->isDefault());

        showOffscreen(&view);
        done->click();
        QVERIFY(!view.isVisible());

        // Reopened, it is the same window; Return closes it, also from a text field.
        showOffscreen(&view);
        QTest::keyClick(&view, Qt::Key_Return);
        QVERIFY(!view.isVisible());
        showOffscreen(&view);
        view.tabs()->setCurrentIndex(1);
        auto *search = view.findChild<QLineEdit *>("searchField");
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Enter);
        QVERIFY(!view.isVisible());
    }

    void versionLine()
    {
        QCOMPARE(SettingsView::aboutLine({}),
                 QString("Version dev (0) · ") + SettingsView::builtInNotice());
        QCOMPARE(SettingsView::aboutLine({QString("2.1"), QString("42"), QString("© 2024 X")}),
                 QString("Version 2.1 (42) · © 2024 X"));
        UiFixture f;
        SettingsView view(*f.settings, f.environment);
        QVERIFY(view.findChild<QLabel *>("versionLine")->text().startsWith("Version 1.0.0 ("));
    }
};

QTEST_MAIN(TestDisplayTab)
#include "TestDisplayTab.moc"
