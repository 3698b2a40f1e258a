// The shared flat style draws the rows' fields and buttons as the style sheets they replace
// ("QLineEdit { background: transparent; padding: 0; }", "QToolButton { border: none; padding: 0; }")
// did: same sizes, same pixels on the window, in every state the rows show.
#include "UiTestSupport.h"

#include "settingsui/FlatControlStyle.h"
#include "settingsui/UiStyle.h"

#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

namespace {

/** What the window shows where `widget` is. */
QImage onWindow(QWidget *widget)
{
    return widget->window()->grab(widget->geometry()).toImage();
}

QIcon roundIcon()
{
    QPixmap pixmap(40, 40);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::red);
    p.drawEllipse(QRectF(2, 2, 36, 36));
    return QIcon(pixmap);
}

} // namespace

class TestFlatControlStyle : public QObject
{
    Q_OBJECT
private slots:
    void drawsAsTheStyleSheetsDid()
    {
        // Both over the application's style, as in the rows.
        QWidget window;
        window.resize(300, 160);
        auto *sheetField = new QLineEdit(QStringLiteral("Valeur 12"), &window);
        auto *flatField = new QLineEdit(QStringLiteral("Valeur 12"), &window);
        auto *sheetButton = new QToolButton(&window);
        auto *flatButton = new QToolButton(&window);
        sheetField->setFrame(false);
        sheetField->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; padding: 0; }"));
        UiStyle::makeBorderless(flatField);
        for (QLineEdit *field : {sheetField, flatField}) {
            field->setPlaceholderText(QStringLiteral("AAPL"));
            field->setFocusPolicy(Qt::NoFocus); // no blinking cursor in the pictures
        }
        for (QToolButton *button : {sheetButton, flatButton}) {
            button->setAutoRaise(true);
            button->setIconSize(QSize(20, 20));
            button->setIcon(roundIcon());
            button->setFocusPolicy(Qt::NoFocus);
        }
        sheetButton->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
        FlatControlStyle::apply(flatButton);
        QVERIFY(!flatField->style()->inherits("QStyleSheetStyle"));
        QVERIFY(!flatButton->style()->inherits("QStyleSheetStyle"));
        showOffscreen(&window);
        sheetField->move(10, 10);
        flatField->move(10, 50);
        sheetButton->move(10, 100);
        flatButton->move(60, 100);
        for (QWidget *w : std::initializer_list<QWidget *>{sheetField, flatField, sheetButton, flatButton})
            w->resize(w->sizeHint());

        const auto same = [](QWidget *sheet, QWidget *flat, const char *state) {
            if (sheet->sizeHint() != flat->sizeHint() || sheet->minimumSizeHint() != flat->minimumSizeHint())
                return QStringLiteral("%1: sizes differ").arg(QLatin1String(state));
            if (onWindow(sheet) != onWindow(flat))
                return QStringLiteral("%1: pixels differ").arg(QLatin1String(state));
            return QString();
        };
        const auto check = [&](const char *state) {
            const QString fields = same(sheetField, flatField, state);
            QVERIFY2(fields.isEmpty(), qPrintable(QStringLiteral("field ") + fields));
            const QString buttons = same(sheetButton, flatButton, state);
            QVERIFY2(buttons.isEmpty(), qPrintable(QStringLiteral("button ") + buttons));
        };
        check("plain");
        for (QLineEdit *field : {sheetField, flatField})
            field->clear();
        check("placeholder");
        for (QLineEdit *field : {sheetField, flatField}) {
            field->setText(QStringLiteral("abc def"));
            field->selectAll();
        }
        for (QToolButton *button : {sheetButton, flatButton})
            button->setDown(true);
        check("selected, pressed");
        for (QToolButton *button : {sheetButton, flatButton}) {
            button->setDown(false);
            button->setAttribute(Qt::WA_UnderMouse);
        }
        check("under the pointer");
        for (QWidget *w : std::initializer_list<QWidget *>{sheetField, flatField, sheetButton, flatButton})
            w->setEnabled(false);
        check("disabled");
    }
};

QTEST_MAIN(TestFlatControlStyle)
#include "TestFlatControlStyle.moc"
