// The LED view on a real X server: frames that only shift what is on screen must leave
// exactly the picture a full repaint would give.
#include "qtband/LedView.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "FakeClock.h"

class TestLedViewX11 : public QObject
{
    Q_OBJECT
private slots:
    void scrolledFramesMatchAFullPaint();
};

void TestLedViewX11::scrolledFramesMatchAFullPaint()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QFAIL("needs an X11 display: run it through tests/support/with-x11.sh");
    FakeClock clock;
    LedView view;
    view.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    view.setGeometry(0, 0, 900, 60);
    // Two lines of different lengths and kinds, so every column and both loops can be told apart.
    LedBitmap quotes;
    quotes.w = 97;
    quotes.h = 6;
    for (std::int64_t i = 0; i < quotes.w * quotes.h; ++i)
        quotes.cells.push_back(static_cast<std::uint8_t>((i * 7 + i / 13) % 8));
    LedBitmap news = quotes;
    news.w = 41;
    news.cells.resize(static_cast<std::size_t>(news.w * news.h));
    view.lines().bitmap = quotes;
    view.lines().newsBitmap = news;
    view.lines().speed = 6;
    view.refresh();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    if (view.devicePixelRatioF() != 1.0)
        QFAIL("frames are compared at one device pixel per pixel: unset QT_SCALE_FACTOR");

    // Frames at uneven steps, some wrapping round the shorter loop.
    const int steps[] = {16, 17, 16, 33, 5, 16, 250, 17, 16, 16, 100, 16};
    for (int round = 0; round < 3; ++round) {
        for (int ms : steps) {
            clock.advanceMs(ms);
            QTest::qWait(40); // at least one frame runs and shifts the picture
        }
        QCoreApplication::processEvents();
        const QImage onScreen =
            view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage full = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(onScreen.size(), full.size());
        QVERIFY2(onScreen == full, qPrintable(QStringLiteral("round %1").arg(round)));
    }
    QVERIFY(view.isAnimating());
}

QTEST_MAIN(TestLedViewX11)
#include "TestLedViewX11.moc"
