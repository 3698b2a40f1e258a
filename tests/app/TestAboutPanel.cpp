#include "app/AboutPanel.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

/** The about panel: version and build, the licence with its copyright line, the address, a plain OK. */
class TestAboutPanel : public QObject
{
    Q_OBJECT
private slots:
    void licenceAddressAndPlainOk()
    {
        AboutPanel panel;
        panel.setAttribute(Qt::WA_DontShowOnScreen);
        panel.show();
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("version"))->text(),
                 QStringLiteral("Version " DOTBANNER_VERSION " (" DOTBANNER_BUILD_NUMBER ")"));

        // The licence as the repository has it, with its copyright line.
        QFile license(QStringLiteral(DOTBANNER_CORPORA "/../../LICENSE"));
        QVERIFY(license.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(license.readAll()).trimmed();
        QCOMPARE(AboutPanel::licenseText(), text);
        QVERIFY(text.startsWith(QStringLiteral("MIT License")));
        QCOMPARE(AboutPanel::copyrightLine(), QStringLiteral("Copyright (c) 2026 The Dotbanner developers"));
        const QString licence = panel.findChild<QLabel *>(QStringLiteral("licence"))->text();
        QVERIFY(licence.contains(QStringLiteral("MIT")) && licence.contains(AboutPanel::copyrightLine()));
        auto *full = panel.findChild<QPlainTextEdit *>(QStringLiteral("licenceText"));
        QCOMPARE(full->toPlainText(), text);
        QVERIFY(full->isReadOnly());

        // The project's address, opened by the browser.
        auto *address = panel.findChild<QLabel *>(QStringLiteral("homepage"));
        QVERIFY(address->openExternalLinks());
        QVERIFY(address->text().contains(QStringLiteral("href=\"https://dotbanner.org\"")));
        QVERIFY(
            panel.findChild<QLabel *>(QStringLiteral("credits"))->text().contains(QStringLiteral("WeatherAPI.com")));

        // A plain OK, without an icon, which closes the panel.
        auto *ok = panel.findChild<QPushButton *>(QStringLiteral("okButton"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->icon().isNull());
        QVERIFY(ok->isDefault());
        ok->click();
        QVERIFY(!panel.isVisible());
    }
};

QTEST_MAIN(TestAboutPanel)
#include "TestAboutPanel.moc"
