#include "UiTestSupport.h"

#include "settingsui/KeyServiceInfo.h"
#include "settingsui/SettingsView.h"
#include "settingsui/TutorialSheet.h"
#include "settingsui/UiStyle.h"

#include <QLabel>
#include <QPalette>
#include <QRegularExpression>
#include <QStyle>

namespace {

/** A dark desktop palette like the ones dark themes install. */
QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x2a, 0x2a, 0x2a);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::black);
    // A link colour chosen for light windows, as some themes leave it: the style must cope.
    p.setColor(QPalette::Link, QColor(0x00, 0x00, 0xff));
    return p;
}

QPalette paletteNamed(const QString &name)
{
    return name == QLatin1String("dark") ? darkPalette() : QApplication::style()->standardPalette();
}

const QRegularExpression colourDeclaration(QStringLiteral("(?<![-\\w])color:\\s*(#[0-9a-fA-F]{6})"));
const QRegularExpression backgroundDeclaration(QStringLiteral("background:\\s*(#[0-9a-fA-F]{6})"));
const QRegularExpression rgbaBackground(
    QStringLiteral("background:\\s*rgba\\((\\d+),\\s*(\\d+),\\s*(\\d+),\\s*([0-9.]+)\\)"));

/** Fails the test with `what` unless `text` on `background` reaches the minimum contrast. */
bool reads(const QColor &text, const QColor &background, const QString &what)
{
    const double ratio = UiStyle::contrast(UiStyle::over(text, background), background);
    if (ratio >= UiStyle::minimumTextContrast)
        return true;
    qWarning().noquote() << what << text.name(QColor::HexArgb) << "on" << background.name()
                         << QStringLiteral("%1:1").arg(ratio, 0, 'f', 2);
    return false;
}

} // namespace

class TestContrast : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void ratiosFollowTheDefinition()
    {
        QCOMPARE(qRound(UiStyle::contrast(Qt::black, Qt::white) * 100), 2100);
        QCOMPARE(UiStyle::contrast(QColor(0x77, 0x77, 0x77), QColor(0x77, 0x77, 0x77)), 1.0);
        // The usual reference pair: #777 on white is just short of 4.5:1.
        QCOMPARE(qRound(UiStyle::contrast(QColor(0x77, 0x77, 0x77), Qt::white) * 100), 448);
        QColor half(Qt::black);
        half.setAlphaF(0.5);
        QVERIFY(qAbs(UiStyle::over(half, Qt::white).red() - 128) <= 1);
        // Nothing can read on a background with no room for text: the walk still ends.
        QVERIFY(UiStyle::readable(UiStyle::orange(), {Qt::black, Qt::white}).isValid());
    }

    void accentsKeepTheirHue()
    {
        for (const QColor &accent : {UiStyle::teal(), UiStyle::orange(), UiStyle::red(), UiStyle::green()}) {
            const QColor fill = UiStyle::buttonFill(accent);
            QVERIFY(fill.lightnessF() < accent.lightnessF());
            QVERIFY(qAbs(fill.hslHueF() - accent.hslHueF()) < 0.02);
        }
        // A colour that already reads is left alone.
        QCOMPARE(UiStyle::readable(Qt::black, {Qt::white}), QColor(Qt::black));
    }

    void everyColourPairReads_data()
    {
        QTest::addColumn<QString>("palette");
        QTest::newRow("light") << QStringLiteral("light");
        QTest::newRow("dark") << QStringLiteral("dark");
    }

    // Every pair of colours the style makes, then every text the windows actually show.
    void everyColourPairReads()
    {
        QFETCH(QString, palette);
        const QPalette p = paletteNamed(palette);
        QApplication::setPalette(p);
        const QColor window = p.color(QPalette::Window);
        const QColor base = p.color(QPalette::Base);

        bool ok = true;
        ok &= reads(p.color(QPalette::WindowText), window, "window text");
        ok &= reads(p.color(QPalette::Text), base, "field text");
        ok &= reads(p.color(QPalette::ButtonText), p.color(QPalette::Button), "button text");
        QWidget probe;
        for (const QColor &background : {window, base}) {
            ok &= reads(UiStyle::secondaryText(&probe), background, "secondary text");
            ok &= reads(UiStyle::linkText(&probe), background, "link");
        }
        for (const QColor &accent :
             {UiStyle::blue(), UiStyle::teal(), UiStyle::orange(), UiStyle::red(), UiStyle::green()}) {
            ok &= reads(UiStyle::readableText(accent, &probe), window, "accent text on the window");
            ok &= reads(UiStyle::readableText(accent, &probe), base, "accent text on a card");
            ok &= reads(Qt::white, UiStyle::buttonFill(accent), "white on a filled button");
        }

        UiFixture f;
        SettingsView view(f.settings, f.environment);
        QList<QWidget *> roots{&view};
        std::vector<std::unique_ptr<TutorialSheet>> sheets;
        for (KeyService service : KeyServiceInfo::all()) {
            sheets.push_back(std::make_unique<TutorialSheet>(service, f.environment));
            roots.append(sheets.back().get());
        }
        int checked = 0;
        for (QWidget *root : roots) {
            QList<QWidget *> widgets = root->findChildren<QWidget *>();
            widgets.prepend(root);
            for (QWidget *widget : widgets) {
                const QString style = widget->styleSheet();
                const QRegularExpressionMatch colour = colourDeclaration.match(style);
                const QString what = widget->objectName() + QLatin1Char(' ') + style;
                if (colour.hasMatch()) {
                    // A style sheet's own colours: on its own background, or on the window and the cards.
                    const QColor text(colour.captured(1));
                    const QRegularExpressionMatch solid = backgroundDeclaration.match(style);
                    const QRegularExpressionMatch tint = rgbaBackground.match(style);
                    if (solid.hasMatch()) {
                        ok &= reads(text, QColor(solid.captured(1)), what);
                    } else if (tint.hasMatch()) {
                        QColor disc(tint.captured(1).toInt(), tint.captured(2).toInt(), tint.captured(3).toInt());
                        disc.setAlphaF(tint.captured(4).toFloat());
                        QColor card = p.color(QPalette::WindowText);
                        card.setAlphaF(0.05);
                        ok &= reads(text, UiStyle::over(disc, UiStyle::over(card, window)), what);
                    } else {
                        ok &= reads(text, window, what) && reads(text, base, what);
                    }
                    ++checked;
                }
                auto *label = qobject_cast<QLabel *>(widget);
                if (!label || label->text().isEmpty() || colour.hasMatch())
                    continue;
                const QRegularExpressionMatch inline_ = colourDeclaration.match(label->text());
                const QColor text = inline_.hasMatch() ? QColor(inline_.captured(1))
                                                       : label->palette().color(label->foregroundRole());
                ok &= reads(text, window, label->text()) && reads(text, base, label->text());
                ++checked;
            }
        }
        QVERIFY2(checked > 40, qPrintable(QStringLiteral("only %1 texts checked").arg(checked)));
        QVERIFY2(ok, "some texts do not reach 4.5:1 (see the warnings above)");
    }
};

QTEST_MAIN(TestContrast)
#include "TestContrast.moc"
