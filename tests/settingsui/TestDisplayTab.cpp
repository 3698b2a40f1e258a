#include "UiTestSupport.h"

#include "settingsui/Autostart.h"
#include "settingsui/DisplayTab.h"
#include "settingsui/FormSection.h"
#include "settingsui/SettingsView.h"
#include "settingsui/WindowHandlingStatus.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QSet>
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
        DisplayTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        auto *pushRow = tab.findChild<QWidget *>("pushWindowsRow");
        auto *status = tab.findChild<WindowHandlingStatus *>("windowHandlingStatus");
        auto *level = tab.findChild<QComboBox *>("levelModePicker");
        QVERIFY(pushRow && status && level);
        QCOMPARE(level->currentText(), QString("Au premier plan"));
        QVERIFY(shown(pushRow));
        QVERIFY(shown(status));

        level->setCurrentIndex(level->findText("Normal (les fenêtres peuvent le couvrir)"));
        QCOMPARE(f.settings.levelMode(), WindowLevelMode::normal);
        QVERIFY(f.settings.pushWindows());
        QVERIFY(!shown(pushRow));
        QVERIFY(!shown(status));

        // The tray menu changes the level: the window follows at once.
        f.settings.setLevelMode(WindowLevelMode::front);
        QCOMPARE(level->currentText(), QString("Au premier plan"));
        QVERIFY(shown(pushRow));
        f.settings.setPushWindows(false);
        QVERIFY(shown(pushRow));
        QVERIFY(!shown(status));
        QVERIFY(!tab.findChild<ToggleSwitch *>("pushWindowsSwitch")->isChecked());
        tab.findChild<ToggleSwitch *>("pushWindowsSwitch")->click();
        QVERIFY(f.settings.pushWindows());
        QVERIFY(shown(status));
        f.settings.setLevelMode(WindowLevelMode::desktop);
        QCOMPARE(level->currentText(), QString("Derrière toutes les fenêtres"));
        QVERIFY(!shown(status));
    }

    void motionPickerKeepsItsOwnKey()
    {
        UiFixture f;
        DisplayTab tab(f.settings, f.environment);
        auto *motion = tab.findChild<QComboBox *>("motionPicker");
        QVERIFY(motion);
        QCOMPARE(motion->currentIndex(), 0);
        const QByteArray record = f.store.data(Settings::key).value_or(QByteArray());
        motion->setCurrentIndex(1);
        QVERIFY(f.motionChoice.reducedMotion());
        QCOMPARE(f.store.data(MotionChoice::key), std::optional(QByteArray("true")));
        QCOMPARE(f.store.data(Settings::key).value_or(QByteArray()), record);
        // A change made elsewhere shows at once.
        f.motionChoice.setReducedMotion(false);
        QCOMPARE(motion->currentIndex(), 0);
        QCOMPARE(f.store.data(MotionChoice::key), std::nullopt);
    }

    void pickersListEveryCaseAndWriteAtOnce()
    {
        UiFixture f;
        DisplayTab tab(f.settings, f.environment);
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
        QCOMPARE(f.settings.variant(), BarVariant::thick);
        QCOMPARE(f.settings.fontStyle(), FontStyle::hd);
        QCOMPARE(f.settings.theme(), ColorTheme::amber);
        QCOMPARE(f.settings.position(), DockPosition::bottom);
        auto *dock = tab.findChild<ToggleSwitch *>("showInDockSwitch");
        dock->click();
        QVERIFY(f.settings.showInDock());
        f.settings.setShowInDock(false);
        QVERIFY(!dock->isChecked());
        f.settings.setTheme(ColorTheme::blue);
        QCOMPARE(theme->currentText(), QString("Bleu"));
    }

    void slidersShowWholeValues()
    {
        UiFixture f;
        DisplayTab tab(f.settings, f.environment);
        auto *led = tab.findChild<QSlider *>("ledSizeSlider");
        auto *ledValue = tab.findChild<QLabel *>("ledSizeValue");
        auto *speed = tab.findChild<QSlider *>("speedSlider");
        auto *speedValue = tab.findChild<QLabel *>("speedValue");
        QCOMPARE(ledValue->text(), QString("5 px"));
        QCOMPARE(speedValue->text(), QString("3"));
        for (int v = 3; v <= 10; ++v) {
            led->setValue(v);
            QCOMPARE(f.settings.ledSize(), double(v));
            QCOMPARE(ledValue->text(), QString("%1 px").arg(v));
        }
        QCOMPARE(led->maximum(), 10);
        QCOMPARE(led->minimum(), 3);
        for (int v = 1; v <= 6; ++v) {
            speed->setValue(v);
            QCOMPARE(f.settings.speed(), double(v));
            QCOMPARE(speedValue->text(), QString::number(v));
        }
        // Stored values outside the range are shown truncated and never rewritten by the slider.
        f.settings.setLedSize(25.7);
        QCOMPARE(ledValue->text(), QString("25 px"));
        QCOMPARE(f.settings.ledSize(), 25.7);
        f.settings.setSpeed(2.9);
        QCOMPARE(speedValue->text(), QString("2"));
        QCOMPARE(f.settings.speed(), 2.9);
    }

    // The row tells what is true on this desktop, offers no button, and follows a change of
    // window manager within a poll.
    void windowHandlingStatusTellsWhatIsTrue()
    {
        UiFixture f;
        f.bandMode = BandMode::x11WithoutEwmh;
        WindowHandlingStatus status(f.environment);
        auto *text = status.findChild<QLabel *>("windowHandlingText");
        QVERIFY(text);
        QVERIFY(status.findChildren<QAbstractButton *>().isEmpty());
        QCOMPARE(text->text(), QString("Session X11 : les fenêtres ne peuvent pas être repoussées, le gestionnaire "
                                       "de fenêtres ne dit pas où elles sont (norme EWMH)."));
        QVERIFY(!status.isPolling());
        showOffscreen(&status);
        QVERIFY(status.isPolling());

        f.bandMode = BandMode::x11Ewmh;
        QTRY_COMPARE_WITH_TIMEOUT(text->text(),
                                  QString("Session X11 : les fenêtres ouvertes sous le bandeau sont "
                                          "repoussées en dessous."),
                                  2500);
        status.hide();
        QVERIFY(!status.isPolling());

        // Changed while the row was hidden: showing it again shows the new state at once.
        f.bandMode = BandMode::layerShell;
        status.show();
        QCOMPARE(status.mode(), BandMode::layerShell);
        QCOMPARE(text->text(), QString("Session Wayland (layer-shell) : le compositeur dispose les fenêtres hors "
                                       "du bandeau."));

        // Every mode has its own sentence; only the three that keep windows clear say so.
        QSet<QString> sentences;
        for (BandMode mode : {BandMode::x11Ewmh, BandMode::x11WithoutEwmh, BandMode::layerShell,
                              BandMode::xwaylandStrut, BandMode::unsupported})
            sentences.insert(WindowHandlingStatus::text(mode));
        QCOMPARE(sentences.size(), 5);
        QVERIFY(!WindowHandlingStatus::keepsWindowsClear(BandMode::x11WithoutEwmh));
        QVERIFY(!WindowHandlingStatus::keepsWindowsClear(BandMode::unsupported));
        QVERIFY(WindowHandlingStatus::keepsWindowsClear(BandMode::xwaylandStrut));

        // No environment behind it: nothing is claimed.
        SettingsEnvironment bare;
        QCOMPARE(WindowHandlingStatus(bare).mode(), BandMode::unsupported);
    }

    void doneAndReturnCloseTheWindow()
    {
        UiFixture f;
        SettingsView view(f.settings, f.environment);
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

        // Reopened, it is the same window; Return closes it, but not from a text field, where
        // it does what the field is for.
        showOffscreen(&view);
        QTest::keyClick(&view, Qt::Key_Return);
        QVERIFY(!view.isVisible());
        showOffscreen(&view);
        view.tabs()->setCurrentIndex(1);
        auto *search = view.findChild<QLineEdit *>("searchField");
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Enter);
        QTest::keyClick(search, Qt::Key_Return);
        QVERIFY(view.isVisible());
        auto *url = view.findChild<QLineEdit *>("newUrlField");
        url->setFocus();
        QTest::keyClicks(url, "https://feeds.example.org/a.xml");
        QTest::keyClick(url, Qt::Key_Return);
        QVERIFY(view.isVisible());
        QCOMPARE(f.settings.newsSources().last().url, QString("https://feeds.example.org/a.xml"));
        auto *label = view.findChild<QLineEdit *>("labelField");
        label->setFocus();
        QTest::keyClick(label, Qt::Key_Return);
        QVERIFY(view.isVisible());

        // Escape closes it from anywhere, text fields included.
        url->setFocus();
        QTest::keyClick(url, Qt::Key_Escape);
        QVERIFY(!view.isVisible());
    }

    void screenPickerListsScreensAndKeepsAnUnpluggedChoice()
    {
        UiFixture f;
        f.screenChoice.setScreenName("HDMI-9"); // chosen earlier, not connected now
        DisplayTab tab(f.settings, f.environment);
        auto *picker = tab.findChild<QComboBox *>("screenPicker");
        QVERIFY(picker);
        QStringList expected{"Écran principal"};
        for (const QScreen *screen : QGuiApplication::screens()) {
            if (!screen->name().isEmpty()) // the offscreen platform's screen has no name
                expected << screen->name();
        }
        expected << "HDMI-9 (débranché)";
        QStringList texts;
        for (int i = 0; i < picker->count(); ++i)
            texts << picker->itemText(i);
        QCOMPARE(texts, expected);
        QCOMPARE(picker->currentText(), QString("HDMI-9 (débranché)"));

        picker->setCurrentIndex(0);
        QCOMPARE(f.screenChoice.screenName(), QString());
        QCOMPARE(f.store.data(ScreenChoice::key), std::nullopt);
        QCOMPARE(picker->count(), expected.size() - 1); // the unplugged choice is no longer listed

        // A change made elsewhere shows at once, and is stored apart from the settings record.
        f.screenChoice.setScreenName("DP-3");
        QCOMPARE(picker->currentText(), QString("DP-3 (débranché)"));
        QCOMPARE(f.store.data(ScreenChoice::key), std::optional(QByteArray("DP-3")));
        const auto record = f.store.data(Settings::key);
        QVERIFY(!record || !record->contains("DP-3"));
    }

    // The switch is the autostart entry's presence: it writes and removes the file, never
    // the settings record, and reads the file again whenever the tab comes back.
    void autostartSwitchFollowsTheEntry()
    {
        QTemporaryDir config;
        const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const auto restore = qScopeGuard([&previous] { qputenv("XDG_CONFIG_HOME", previous); });
        const QString entry = config.filePath(QStringLiteral("autostart/dotbanner.desktop"));
        QCOMPARE(Autostart::path(), entry);

        UiFixture f;
        DisplayTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        auto *toggle = tab.findChild<ToggleSwitch *>("autostartSwitch");
        QVERIFY(toggle);
        QVERIFY(!toggle->isChecked());

        toggle->click();
        QVERIFY(toggle->isChecked());
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        file.close();
        QVERIFY(text.startsWith("[Desktop Entry]\nType=Application\n"));
        QVERIFY(text.contains("\nExec=" + QCoreApplication::applicationFilePath().toUtf8() + "\n"));
        QCOMPARE(f.store.data(Settings::key), std::nullopt);

        toggle->click();
        QVERIFY(!toggle->isChecked());
        QVERIFY(!QFile::exists(entry));

        // Changed behind the window's back: seen when the tab is shown again.
        QVERIFY(QFile(entry).open(QIODevice::WriteOnly));
        QVERIFY(!toggle->isChecked());
        tab.hide();
        showOffscreen(&tab);
        QVERIFY(toggle->isChecked());
        QVERIFY(QFile::remove(entry));
        tab.hide();
        showOffscreen(&tab);
        QVERIFY(!toggle->isChecked());

        // A folder that cannot be made: the switch shows the state that holds.
        QVERIFY(QDir(config.filePath(QStringLiteral("autostart"))).removeRecursively());
        QVERIFY(QFile(config.filePath(QStringLiteral("autostart"))).open(QIODevice::WriteOnly));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^autostart: cannot create the folder"));
        toggle->click();
        QVERIFY(!toggle->isChecked());
        QVERIFY(!Autostart::isEnabled());
    }

    void autostartExecIsQuoted()
    {
        QVERIFY(Autostart::desktopEntry("/usr/bin/dotbanner").contains("\nExec=/usr/bin/dotbanner\n"));
        // Quoted for the Exec rules, then each backslash doubled for the file's string rules.
        QVERIFY(Autostart::desktopEntry("/home/a b/100%/$x\\\"dotbanner")
                    .contains("Exec=\"/home/a b/100%%/\\\\$x\\\\\\\\\\\\\"dotbanner\"\n"));
    }

    void versionLine()
    {
        QCOMPARE(SettingsView::aboutLine({}), QString("Version dev (0) · ") + SettingsView::builtInNotice());
        QCOMPARE(SettingsView::aboutLine({QString("2.1"), QString("42"), QString("© 2024 X")}),
                 QString("Version 2.1 (42) · © 2024 X"));
        UiFixture f;
        SettingsView view(f.settings, f.environment);
        QVERIFY(view.findChild<QLabel *>("versionLine")->text().startsWith("Version 1.0.0 ("));
    }

    // The grid of the form: one row height, pickers of a card one width, sliders in one
    // column, cards as wide on every tab (a scrolling one too), captions under their labels.
    void formLinesUp()
    {
        UiFixture f;
        SettingsView view(f.settings, f.environment);
        showOffscreen(&view);
        QSet<int> cardWidths;
        for (int tab = 0; tab < view.tabs()->count(); ++tab) {
            view.tabs()->setCurrentIndex(tab);
            QApplication::processEvents();
            for (FormSection *section : view.tabs()->widget(tab)->findChildren<FormSection *>()) {
                if (!shown(section))
                    continue;
                cardWidths.insert(section->width());
                QSet<int> pickerWidths;
                QSet<int> sliderLefts;
                for (QWidget *row : section->findChildren<QWidget *>()) {
                    if (!row->findChild<QLabel *>("rowLabel", Qt::FindDirectChildrenOnly) || !shown(row))
                        continue;
                    QVERIFY2(row->height() == FormSection::rowHeight, qPrintable(row->findChild<QLabel *>()->text()));
                    if (auto *picker = row->findChild<QComboBox *>())
                        pickerWidths.insert(picker->width());
                    if (auto *slider = row->findChild<QSlider *>())
                        sliderLefts.insert(slider->mapTo(section, QPoint(0, 0)).x());
                }
                QVERIFY2(pickerWidths.size() <= 1, qPrintable(section->titleLabel()->text()));
                QVERIFY2(sliderLefts.size() <= 1, qPrintable(section->titleLabel()->text()));
            }
        }
        QCOMPARE(cardWidths.size(), 1);
        QVERIFY(view.findChild<QSlider *>("speedSlider"));

        // The content tab scrolls (many items) and keeps the same cards.
        QList<WatchItem> items = f.settings.items();
        while (items.size() < 12) {
            WatchItem item = items.isEmpty() ? WatchItem{} : items.first();
            item.id = QUuid::createUuid();
            items.append(item);
        }
        f.settings.setItems(items);
        view.tabs()->setCurrentIndex(1);
        QApplication::processEvents();
        for (FormSection *section : view.tabs()->widget(1)->findChildren<FormSection *>()) {
            if (shown(section))
                QCOMPARE(section->width(), *cardWidths.begin());
        }

        // The editable name starts where the caption under it does: the first inked column of
        // each, as drawn, with the same letters in both.
        auto *field = view.findChild<QLineEdit *>("labelField");
        auto *caption = view.findChild<QLabel *>("symbolLabel");
        QVERIFY(field && caption);
        field->setText("HHH");
        caption->setText("HHH");
        field->setCursorPosition(3);
        QApplication::processEvents();
        const auto firstInk = [&view](QWidget *widget) {
            QImage image(widget->size(), QImage::Format_RGB32);
            image.fill(Qt::white);
            widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            for (int x = 0; x < image.width(); ++x) {
                for (int y = 0; y < image.height(); ++y) {
                    if (qGray(image.pixel(x, y)) < 160)
                        return widget->mapTo(&view, QPoint(x, 0)).x();
                }
            }
            return -1000;
        };
        const int fieldText = firstInk(field);
        const int captionText = firstInk(caption);
        QVERIFY2(qAbs(fieldText - captionText) <= 1, qPrintable(QString("%1 vs %2").arg(fieldText).arg(captionText)));
    }
};

QTEST_MAIN(TestDisplayTab)
#include "TestDisplayTab.moc"
