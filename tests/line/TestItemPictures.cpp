#include "led/Grid.h"
#include "led/HDFont.h"
#include "line/ItemPictures.h"
#include "line/LedBuilder.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

namespace {

// Texts the random edits draw from: some repeat across feeds, some are long, one is empty.
const QStringList kSources{"Le Monde", "AFP", "Reuters", "BBC", "", "Libération"};
const QStringList kTitles{"Grève des transports lundi",
                          "Le CAC 40 termine en hausse de 1,2 %",
                          "Météo : orages attendus sur le Sud-Ouest",
                          "Élections : les résultats commune par commune",
                          "Un titre très long " + QString(300, u'x'),
                          "Court",
                          "« Citation » – tiret…",
                          ""};

Headline randomHeadline(QRandomGenerator &random)
{
    Headline h;
    h.source = kSources.at(random.bounded(int(kSources.size())));
    h.title = kTitles.at(random.bounded(int(kTitles.size()))) + QString::number(random.bounded(6));
    return h;
}

// One random edit of a feed list as republishes make them: a title added, dropped or replaced,
// or the list rotated as feeds answer in another order.
void edit(QList<Headline> &headlines, QRandomGenerator &random)
{
    switch (random.bounded(4)) {
    case 0:
        headlines.insert(random.bounded(int(headlines.size()) + 1), randomHeadline(random));
        break;
    case 1:
        if (!headlines.isEmpty())
            headlines.removeAt(random.bounded(int(headlines.size())));
        break;
    case 2:
        if (!headlines.isEmpty())
            headlines[random.bounded(int(headlines.size()))] = randomHeadline(random);
        break;
    default:
        if (!headlines.isEmpty())
            headlines.append(headlines.takeFirst());
        break;
    }
}

// The HD news line drawn in one piece from its spans, as a reference the composed line must match.
LedBitmap drawnInOnePiece(const LedBuilder::Line &line, const QList<Headline> &headlines)
{
    const HDFont font;
    Grid grid(line.bitmap.w, line.bitmap.h);
    for (const LineSpan &span : line.spans) {
        const Headline &h = headlines.at(span.index);
        const bool title = span.part == LineSpan::Part::title;
        const QString raw = title ? Headline::shortened(h.title, Headline::maxTitleLength)
                                  : Headline::shortened(h.source, Headline::maxSourceLength);
        font.draw(grid, LedBuilder::sanitize(raw, true), static_cast<int>(span.start), font.yThin(),
                  title ? Kind::name : Kind::sun, false);
        if (title) {
            for (int dy = 0; dy < 2; ++dy) {
                grid.set(span.end - 12, font.hThin() / 2 + dy, Kind::dim);
                grid.set(span.end - 11, font.hThin() / 2 + dy, Kind::dim);
            }
        }
    }
    return grid.takeBitmap();
}

} // namespace

class TestItemPictures : public QObject
{
    Q_OBJECT
private slots:
    void incrementalBuildsMatchFreshOnesAfterRandomEdits_data()
    {
        QTest::addColumn<FontStyle>("style");
        QTest::newRow("hd") << FontStyle::hd;
        QTest::newRow("pixel") << FontStyle::pixel;
        QTest::newRow("pixelBold") << FontStyle::pixelBold;
    }

    void incrementalBuildsMatchFreshOnesAfterRandomEdits()
    {
        QFETCH(FontStyle, style);
        QRandomGenerator random(27);
        ItemPictures pictures;
        QList<Headline> headlines;
        for (int i = 0; i < 12; ++i)
            headlines.append(randomHeadline(random));
        for (int round = 0; round < 60; ++round) {
            const std::int64_t drawnBefore = pictures.drawn();
            const qsizetype keptBefore = pictures.size();
            const LedBuilder::Line incremental = LedBuilder::buildNewsLine(headlines, "ATTENTE", style, pictures);
            const LedBuilder::Line fresh = LedBuilder::buildNewsLine(headlines, "ATTENTE", style);
            QCOMPARE(incremental.bitmap, fresh.bitmap);
            QCOMPARE(incremental.spans, fresh.spans);
            if (style == FontStyle::hd && !headlines.isEmpty())
                QCOMPARE(incremental.bitmap, drawnInOnePiece(fresh, headlines));

            // The cache holds exactly this line's distinct items, and only items it lacked were drawn.
            QSet<QString> distinct;
            for (const LineSpan &span : fresh.spans) {
                const Headline h = headlines.value(span.index);
                const bool title = span.part == LineSpan::Part::title;
                const QString raw = title ? Headline::shortened(h.title, Headline::maxTitleLength)
                                          : Headline::shortened(h.source, Headline::maxSourceLength);
                distinct.insert(QString::number(int(span.part)) + u'|' +
                                LedBuilder::sanitize(raw, style == FontStyle::hd));
            }
            QCOMPARE(pictures.size(), distinct.size());
            QVERIFY(pictures.drawn() - drawnBefore <= distinct.size());
            if (round > 0 && keptBefore > 0 && headlines.size() > 1)
                QVERIFY2(pictures.drawn() - drawnBefore < distinct.size(), "a republish redrew every item");

            edit(headlines, random);
            if (round % 20 == 19)
                headlines.clear(); // the placeholder message, then the feeds again
        }
    }

    void unchangedRepublishDrawsNothingAndAFontChangeDropsTheOldPictures()
    {
        const QList<Headline> headlines{{"AFP", "Un"}, {"AFP", "Deux"}, {"BBC", "Un"}};
        ItemPictures pictures;
        const LedBuilder::Line first = LedBuilder::buildNewsLine(headlines, QString(), FontStyle::pixel, pictures);
        // AFP and BBC, "UN" and "DEUX": a text shown twice is drawn once.
        QCOMPARE(pictures.drawn(), 4);
        QCOMPARE(LedBuilder::buildNewsLine(headlines, QString(), FontStyle::pixel, pictures).bitmap, first.bitmap);
        QCOMPARE(pictures.drawn(), 4);

        const LedBuilder::Line bold = LedBuilder::buildNewsLine(headlines, QString(), FontStyle::pixelBold, pictures);
        QCOMPARE(bold.bitmap, LedBuilder::buildNewsLine(headlines, QString(), FontStyle::pixelBold).bitmap);
        QCOMPARE(pictures.drawn(), 8);
        QCOMPARE(pictures.size(), 4);
    }

    void aPictureOfTheWrongShapeIsKeptEmpty()
    {
        ItemPictures pictures;
        pictures.begin();
        const ItemPictures::Key key{"A", Kind::name, FontStyle::pixel, 3};
        const LedBitmap &tall = pictures.picture(key, 7, [] {
            return LedBitmap{2, 9, std::vector<std::uint8_t>(18, 1)};
        });
        QCOMPARE(tall.h, 7);
        QCOMPARE(tall.w, 0);
        const ItemPictures::Key other{"B", Kind::name, FontStyle::pixel, 3};
        const LedBitmap &short_ = pictures.picture(other, 2, [] {
            return LedBitmap{4, 2, std::vector<std::uint8_t>(3, 1)};
        });
        QVERIFY(short_.cells.empty());
        pictures.end();
        QCOMPARE(pictures.size(), 2);
        pictures.begin();
        pictures.end();
        QCOMPARE(pictures.size(), 0);
    }
};

QTEST_MAIN(TestItemPictures)
#include "TestItemPictures.moc"
