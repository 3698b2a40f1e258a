#include "UiTestSupport.h"

#include "settingsui/EnumTitles.h"
#include "settingsui/InterfaceLanguage.h"
#include "settingsui/KeyServiceInfo.h"
#include "settingsui/SettingsView.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTranslator>

namespace {

QStringList tabTitles(const SettingsView &view)
{
    auto *tabs = view.findChild<QTabWidget *>("tabs");
    QStringList titles;
    for (int i = 0; tabs && i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    return titles;
}

QStringList labelTexts(const QWidget &root)
{
    QStringList texts;
    for (const QLabel *label : root.findChildren<QLabel *>())
        texts << label->text();
    return texts;
}

} // namespace

class TestInterfaceLanguage : public QObject
{
    Q_OBJECT
private slots:
    void englishOnlyWhenFirstLanguageIsEnglish_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<bool>("english");
        QTest::newRow("en-US") << QStringList{"en-US", "en-Latn-US", "en"} << true;
        QTest::newRow("en_GB") << QStringList{"en_GB"} << true;
        QTest::newRow("bare en, upper case") << QStringList{"EN"} << true;
        QTest::newRow("fr-FR") << QStringList{"fr-FR", "fr-Latn-FR", "fr"} << false;
        QTest::newRow("C") << QStringList{"C"} << false;
        QTest::newRow("POSIX") << QStringList{"POSIX"} << false;
        QTest::newRow("German, then English") << QStringList{"de-DE", "en"} << false;
        QTest::newRow("French, then English") << QStringList{"fr", "en-US"} << false;
        QTest::newRow("a language starting with en") << QStringList{"eno"} << false;
        QTest::newRow("none") << QStringList{} << false;
    }

    void englishOnlyWhenFirstLanguageIsEnglish()
    {
        QFETCH(QStringList, languages);
        QFETCH(bool, english);
        QCOMPARE(InterfaceLanguage::prefersEnglish(languages), english);
        QCOMPARE(InterfaceLanguage::translatorFor(languages) != nullptr, english);
    }

    // The built-in translation is loaded and reaches the settings window, the enum titles and
    // the tables built on demand; once removed, the French source texts come back.
    void englishReachesTheWindowAndLeavesCleanly()
    {
        std::unique_ptr<QTranslator> translator = InterfaceLanguage::translatorFor({"en-US"});
        QVERIFY2(translator, "the English translation is not built into the program");
        QVERIFY(!translator->isEmpty());
        QVERIFY(QCoreApplication::installTranslator(translator.get()));
        {
            UiFixture f;
            SettingsView view(f.settings, f.environment);
            QCOMPARE(view.windowTitle(), QString("Dotbanner Settings"));
            QCOMPARE(tabTitles(view), (QStringList{"Display", "Content", "API Keys"}));
            QVERIFY(labelTexts(view).contains("Window"));
            QVERIFY(labelTexts(view).contains("Show Dotbanner in the taskbar"));
            QCOMPARE(view.findChild<QComboBox *>("levelModePicker")->currentText(), QString("In front"));
            QCOMPARE(title(ItemKind::weather), QString("City (weather)"));
            QCOMPARE(KeyServiceInfo::of(KeyService::weather).steps.first().text,
                     QString("On weatherapi.com, click “Sign up” and confirm your e-mail."));
        }
        QVERIFY(QCoreApplication::removeTranslator(translator.get()));
        UiFixture f;
        SettingsView view(f.settings, f.environment);
        QCOMPARE(view.windowTitle(), QString("Dotbanner, réglages"));
        QCOMPARE(tabTitles(view), (QStringList{"Affichage", "Contenu", "Clés API"}));
        QVERIFY(labelTexts(view).contains("Afficher Dotbanner dans la barre des tâches"));
        QCOMPARE(title(ItemKind::weather), QString("Ville (météo)"));
        QCOMPARE(title(WindowLevelMode::normal), QString("Normal (les fenêtres peuvent le couvrir)"));
        QCOMPARE(title(FontStyle::pixel), QString("Pixel 5×7"));
    }
};

QTEST_MAIN(TestInterfaceLanguage)
#include "TestInterfaceLanguage.moc"
