#include "UiTestSupport.h"

#include "FakeClock.h"
#include "health/SourceHealth.h"
#include "settings/Keychain.h"
#include "settingsui/KeysTab.h"
#include "settingsui/TutorialSheet.h"

#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

namespace {

/** Whether the keyring holds an entry for `account` (not merely an empty one). */
bool keyringHasEntry(const QString &account)
{
    QProcess lookup;
    lookup.start("secret-tool", {"lookup", "server", Keychain::serviceName, "user", account});
    if (!lookup.waitForFinished(5000))
        return false;
    return lookup.exitCode() == 0;
}

} // namespace

class TestKeysTab : public QObject
{
    Q_OBJECT
private slots:
    void providerSwitchRefreshesAndKeepsTheKey()
    {
        UiFixture f(KeyStore::system());
        f.settings.setStockKey("stock-123");
        KeysTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        f.resetCounts();
        auto *provider = tab.findChild<QComboBox *>("providerPicker");
        auto *row = tab.findChild<QWidget *>("keyRow_twelveData");
        auto *note = tab.findChild<QLabel *>("yahooNote");
        QCOMPARE(provider->currentText(), QString("Yahoo Finance (sans clé, non officiel)"));
        QCOMPARE(provider->itemText(1), QString("Twelve Data (clé API personnelle)"));
        QVERIFY(!shown(row));
        QVERIFY(shown(note));
        QCOMPARE(note->text(), KeysTab::yahooNote());

        provider->setCurrentIndex(1);
        QCOMPARE(f.settings.stockProvider(), StockProvider::twelveData);
        QVERIFY(shown(row));
        QVERIFY(!shown(note));
        QCOMPARE(f.forcedRefreshes, 1);
        QCOMPARE(tab.findChild<QLineEdit *>("keyField_twelveData")->text(), QString("stock-123"));

        provider->setCurrentIndex(0);
        QCOMPARE(f.settings.stockProvider(), StockProvider::yahoo);
        QVERIFY(!shown(row));
        QCOMPARE(f.forcedRefreshes, 2);
        QCOMPARE(f.plainRefreshes, 0);
        QCOMPARE(f.settings.stockKey(), QString("stock-123"));
        QCOMPARE(Keychain::get("stockKey"), QString("stock-123"));
    }

    void keysAreStoredWhenTheUserIsDone()
    {
        UiFixture f(KeyStore::system());
        KeysTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        auto *field = tab.findChild<QLineEdit *>("keyField_weather");
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        QCOMPARE(field->placeholderText(), QString("Colle ta clé WeatherAPI ici"));
        QSignalSpy stored(&f.settings, &Settings::weatherKeyChanged);

        // Pasted, then Return: stored exactly as pasted, with one forced refresh.
        const QString pasted = QStringLiteral("  0123456789abcdef0123456789abcdef ");
        QGuiApplication::clipboard()->setText(pasted);
        field->setFocus();
        field->paste();
        QCOMPARE(stored.count(), 0);
        QCOMPARE(f.forcedRefreshes, 0);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(stored.count(), 1);
        QCOMPARE(f.forcedRefreshes, 1);
        QCOMPARE(f.settings.weatherKey(), pasted);
        QCOMPARE(Keychain::get("weatherKey"), pasted);
        QTest::keyClick(field, Qt::Key_Return); // nothing new to store
        QCOMPARE(f.forcedRefreshes, 1);

        // Typed key by key: nothing per keystroke; stored once when the typing pauses.
        auto *metals = tab.findChild<QLineEdit *>("keyField_metals");
        auto *pause = tab.findChild<QTimer *>("keyIdleTimer_metals");
        QVERIFY(pause);
        QCOMPARE(std::chrono::milliseconds(pause->interval()), KeysTab::typingPause);
        QSignalSpy metalsStored(&f.settings, &Settings::metalsKeyChanged);
        metals->setFocus();
        QTest::keyClicks(metals, "abc");
        QCOMPARE(metalsStored.count(), 0);
        QCOMPARE(f.forcedRefreshes, 1);
        QVERIFY(pause->isActive());
        pause->setInterval(0); // the pause is over now, without waiting it out
        QTRY_COMPARE(metalsStored.count(), 1);
        QCOMPARE(f.forcedRefreshes, 2);
        QCOMPARE(f.settings.metalsKey(), QString("abc"));

        // Leaving the field stores what was typed since.
        pause->setInterval(KeysTab::typingPause);
        QTest::keyClicks(metals, "d");
        // An offscreen window is never active: tell the field it lost the focus, as Tab would.
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(metals, &leave);
        QCOMPARE(metalsStored.count(), 2);
        QCOMPARE(f.settings.metalsKey(), QString("abcd"));
        QCOMPARE(Keychain::get("metalsKey"), QString("abcd"));
        QCOMPARE(f.forcedRefreshes, 3);
        QVERIFY(!pause->isActive());

        // Cleared: the entry leaves the keyring; the other keys stay.
        QVERIFY(keyringHasEntry("weatherKey"));
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(f.settings.weatherKey(), QString());
        QVERIFY(!keyringHasEntry("weatherKey"));
        QVERIFY(keyringHasEntry("metalsKey"));
        QCOMPARE(f.forcedRefreshes, 4);
        QVERIFY(!shown(tab.findChild<QLabel *>("keyringWarning_weather")));

        // A key changed elsewhere shows in its field, and that is no edit.
        f.settings.setMetalsKey("other");
        QCOMPARE(metals->text(), QString("other"));
        QCOMPARE(f.forcedRefreshes, 4);
    }

    void aKeyTheKeyringRefusesIsKeptAndSaidSo()
    {
        UiFixture f;
        MemoryKeyStore &keys = f.keys;
        keys.setAvailable(false);
        Settings &settings = f.settings;
        KeysTab tab(settings, f.environment);
        showOffscreen(&tab);
        auto *field = tab.findChild<QLineEdit *>("keyField_weather");
        auto *warning = tab.findChild<QLabel *>("keyringWarning_weather");
        QVERIFY(warning);
        QVERIFY(!shown(warning));

        QTest::keyClicks(field, "wk-1");
        QVERIFY(tab.commitKey(KeyService::weather));
        QCOMPARE(settings.weatherKey(), QString("wk-1")); // used for this session
        QCOMPARE(f.forcedRefreshes, 1);
        QVERIFY(shown(warning));
        QCOMPARE(warning->text(),
                 QString("Trousseau indisponible : la clé ne sera pas gardée après la fermeture de Dotbanner."));
        QVERIFY(!shown(tab.findChild<QLabel *>("keyringWarning_metals")));
        QCOMPARE(keys.writes(), 1);

        // Storing is tried again at the next edit of any key, and by the data refresh.
        settings.retryKeyStorage();
        QCOMPARE(keys.writes(), 2);
        keys.setAvailable(true);
        QTest::keyClicks(tab.findChild<QLineEdit *>("keyField_metals"), "m");
        QVERIFY(tab.commitKey(KeyService::metals));
        QCOMPARE(keys.entries(), (QHash<QString, QString>{{"weatherKey", "wk-1"}, {"metalsKey", "m"}}));
        QVERIFY(!shown(warning));
        QVERIFY(!tab.commitKey(KeyService::metals)); // nothing pending
    }

    void statusLinesFollowTheHealthModel()
    {
        FakeClock clock(QDateTime(QDate(2026, 3, 2), QTime(14, 0)));
        UiFixture f;
        SourceHealth health;
        KeysTab tab(f.settings, f.environment, health);
        showOffscreen(&tab);
        auto *metals = tab.findChild<QLabel *>("keyStatus_metals");
        auto *weather = tab.findChild<QLabel *>("keyStatus_weather");
        QVERIFY(metals && weather);
        QVERIFY(shown(metals));
        QCOMPARE(metals->text(), QString("Pas encore utilisée"));

        health.recordFailure(SourceId::metalsDev(),
                             SourceFailure{FailureKind::keyRejected, 401, 0, NetworkProblem::none, clock.now()});
        QCOMPARE(metals->text(), QString("Refusée par Metals.Dev (HTTP 401) : vérifie la clé"));
        QCOMPARE(weather->text(), QString("Pas encore utilisée")); // one service's answer is its own

        // A new key: the refusal was the old key's; the line waits for the service's answer.
        QTest::keyClicks(tab.findChild<QLineEdit *>("keyField_metals"), "m-2");
        QVERIFY(tab.commitKey(KeyService::metals));
        QCOMPARE(metals->text(), KeysTab::waitingNote());
        clock.advanceMs(2 * 60 * 1000);
        health.recordSuccess(SourceId::metalsDev(), clock.now());
        QCOMPARE(metals->text(), QString("Acceptée — dernière réponse à 14:02"));

        // A place the service does not know is that item's trouble, not the key's.
        health.recordFailure(SourceId::weatherApi(),
                             SourceFailure{FailureKind::notFound, 400, 1006, NetworkProblem::none, clock.now()},
                             QUuid::createUuid());
        QCOMPARE(weather->text(), QString("Acceptée"));
    }

    void footerSaysWhereTheKeysAre()
    {
        UiFixture f;
        KeysTab tab(f.settings, f.environment);
        auto *note = tab.findChild<QLabel *>("closingNoteText");
        QCOMPARE(note->text(), KeysTab::closingNote());
        f.keys.setAvailable(false);
        QTest::keyClicks(tab.findChild<QLineEdit *>("keyField_weather"), "wk");
        QVERIFY(tab.commitKey(KeyService::weather));
        QCOMPARE(note->text(), KeysTab::sessionOnlyNote());
        QVERIFY(note->text().contains("jusqu'à la fermeture de Dotbanner"));
        QVERIFY(!note->text().contains("sont stockées dans le trousseau"));
        // Once the keyring takes the key, the footer says so again.
        f.keys.setAvailable(true);
        f.settings.retryKeyStorage();
        QCOMPARE(note->text(), KeysTab::closingNote());
    }

    void aClickedItemFocusesItsKeyField()
    {
        UiFixture f;
        QTabWidget tabs;
        tabs.addTab(new QWidget, "Affichage");
        auto *tab = new KeysTab(f.settings, f.environment);
        tabs.addTab(tab, "Clés API");
        showOffscreen(&tabs);
        QVERIFY(KeysTab::revealKey(&tabs, KeyService::weather));
        QCOMPARE(tabs.currentWidget(), tab);
        QCOMPARE(tabs.focusWidget(), tab->findChild<QLineEdit *>("keyField_weather"));
        QWidget empty;
        QVERIFY(!KeysTab::revealKey(&empty, KeyService::weather));
        QVERIFY(!KeysTab::revealKey(nullptr, KeyService::weather));
    }

    void notesAndAttribution()
    {
        UiFixture f;
        KeysTab tab(f.settings, f.environment);
        QCOMPARE(tab.findChild<QLabel *>("closingNoteText")->text(),
                 QString("Tes clés sont stockées dans le trousseau de ton ordinateur et ne sont envoyées qu'au service "
                         "concerné."));
        auto *link = tab.findChild<QLabel *>("attributionLink");
        QVERIFY(link->text().contains("WeatherAPI.com"));
        emit link->linkActivated("https://elsewhere.example/");
        QCOMPARE(f.opened, QList<QUrl>{QUrl("https://www.weatherapi.com/")});
    }

    void weatherTutorialSheet()
    {
        UiFixture f;
        KeysTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        tab.findChild<QPushButton *>("tutorialButton_weather")->click();
        QCOMPARE(tab.tutorial(), std::optional<KeyService>(KeyService::weather));
        TutorialSheet *sheet = tab.tutorialSheet();
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        QCOMPARE(sheet->findChild<QLabel *>("sheetTitle")->text(), QString("Obtenir une clé WeatherAPI"));
        QCOMPARE(sheet->findChild<QLabel *>("sheetSubtitle")->text(), QString("Météo et recherche de villes"));

        QStringList numbers;
        QStringList stepTitles;
        for (QWidget *step : sheet->findChildren<QWidget *>("tutorialStep")) {
            numbers.append(step->findChild<QLabel *>("stepNumber")->text());
            stepTitles.append(step->findChild<QLabel *>("stepTitle")->text());
        }
        QCOMPARE(numbers, (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(stepTitles,
                 (QStringList{"Crée un compte gratuit", "Ouvre ton tableau de bord", "Copie ta clé", "Colle-la ici"}));
        const QString first = sheet->findChildren<QWidget *>("tutorialStep").first()->findChild<QLabel *>("stepText")->text();
        QCOMPARE(first, QString("Sur weatherapi.com, clique sur « Sign up » et valide ton e-mail."));
        // The number badge is drawn in the service's teal, in a darker shade that reads on its disc.
        const QString badge = sheet->findChild<QLabel *>("stepNumber")->styleSheet();
        const QRegularExpressionMatch digits = QRegularExpression("[^-]color: (#[0-9a-f]{6})").match(badge);
        QVERIFY2(digits.hasMatch(), qPrintable(badge));
        const QColor shade(digits.captured(1));
        QVERIFY(qAbs(shade.hslHueF() - QColor("#30b0c7").hslHueF()) < 0.02);
        QVERIFY(shade.lightnessF() < QColor("#30b0c7").lightnessF());

        auto *open = sheet->findChild<QPushButton *>("openSiteButton");
        QCOMPARE(open->text(), QString("Ouvrir WeatherAPI"));
        open->click();
        QCOMPARE(f.opened, QList<QUrl>{QUrl("https://www.weatherapi.com/")});
        QVERIFY(sheet->isVisible());

        QTest::keyClick(sheet, Qt::Key_Escape);
        QTRY_VERIFY(!tab.tutorialSheet());
        QVERIFY(!tab.tutorial());
    }

    void metalsTutorialOpensItsSite()
    {
        UiFixture f;
        KeysTab tab(f.settings, f.environment);
        showOffscreen(&tab);
        tab.findChild<QPushButton *>("tutorialButton_metals")->click();
        TutorialSheet *sheet = tab.tutorialSheet();
        QVERIFY(sheet);
        const auto steps = sheet->findChildren<QWidget *>("tutorialStep");
        QCOMPARE(steps.size(), 4);
        QCOMPARE(steps.last()->findChild<QLabel *>("stepTitle")->text(), QString("Rien d'autre à faire"));
        sheet->findChild<QPushButton *>("openSiteButton")->click();
        QCOMPARE(f.opened, QList<QUrl>{QUrl("https://metals.dev/")});
        QVERIFY(sheet->isVisible());
        sheet->findChild<QPushButton *>("closeButton")->click();
        QTRY_VERIFY(!tab.tutorial());

        // The Twelve Data steps speak of this computer's keyring.
        tab.showTutorial(KeyService::twelveData);
        const auto twelve = tab.tutorialSheet()->findChildren<QWidget *>("tutorialStep");
        QVERIFY(twelve.last()->findChild<QLabel *>("stepText")->text().endsWith("trousseau de ton ordinateur."));
    }
};

QTEST_MAIN(TestKeysTab)
#include "TestKeysTab.moc"
