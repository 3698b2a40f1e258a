#include "wayland/PopupPicture.h"

#include <QGuiApplication>
#include <QTest>

/** The band's own tooltip pictures: plain text, bounded whatever a feed sends. */
class TestPopupPicture : public QObject
{
    Q_OBJECT

private slots:
    void emptyTextsMakeNoPicture()
    {
        QVERIFY(PopupPicture::tooltip(QString(), 1).isNull());
        QVERIFY(PopupPicture::tooltip(QStringLiteral(" \n\t "), 1).isNull());
    }

    void picturesFollowTheScale()
    {
        const QImage one = PopupPicture::tooltip(QStringLiteral("Apple (AAPL)"), 1);
        const QImage two = PopupPicture::tooltip(QStringLiteral("Apple (AAPL)"), 2);
        QVERIFY(!one.isNull());
        QCOMPARE(one.devicePixelRatio(), 1.0);
        QCOMPARE(two.devicePixelRatio(), 2.0);
        QCOMPARE(two.size(), one.size() * 2);
        // A scale from nowhere is bounded.
        QCOMPARE(PopupPicture::tooltip(QStringLiteral("x"), 1000).devicePixelRatio(), 8.0);
        QCOMPARE(PopupPicture::tooltip(QStringLiteral("x"), -3).devicePixelRatio(), 1.0);
    }

    void textIsPlainAndBounded()
    {
        // Markup is drawn as its characters: longer than the words it would show.
        const QImage markup = PopupPicture::tooltip(QStringLiteral("<b>AAPL</b>"), 1);
        const QImage word = PopupPicture::tooltip(QStringLiteral("AAPL"), 1);
        QVERIFY(markup.width() > word.width());

        // A long headline wraps at the widest a tooltip grows; an endless one is cut.
        const QImage wrapped = PopupPicture::tooltip(QStringLiteral("mot ").repeated(200), 1);
        QVERIFY(wrapped.width() <= PopupPicture::maxWidth);
        QVERIFY(wrapped.height() > 3 * word.height());
        const QImage endless = PopupPicture::tooltip(QStringLiteral("mot ").repeated(100000), 1);
        QVERIFY(endless.width() <= PopupPicture::maxWidth);
        QVERIFY(endless.height() < 2000);
        const QImage unbroken = PopupPicture::tooltip(QString(5000, u'x'), 1);
        QVERIFY(unbroken.width() <= PopupPicture::maxWidth);
    }
};

QTEST_MAIN(TestPopupPicture)
#include "TestPopupPicture.moc"
