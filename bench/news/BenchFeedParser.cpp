// The feed parser runs on the main thread once per feed and refresh; these measure a
// typical 100-item RSS feed, a large feed, and the two hostile entity documents the
// parser must cut short.

#include "news/FeedParser.h"

#include <benchmark/benchmark.h>

namespace {

/** About 60 KB: what a news outlet's RSS feed with 100 items looks like. */
QByteArray typicalFeed()
{
    QByteArray doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                     "xmlns:media=\"http://search.yahoo.com/mrss/\">\n<channel>\n"
                     "<title>Actualités</title><link>https://example.org/</link>"
                     "<description>Toute l'actualité</description><language>fr</language>\n";
    for (int i = 0; i < 100; ++i) {
        const QByteArray n = QByteArray::number(i);
        doc += "<item>\n<title><![CDATA[Le gouvernement présente son plan n°" + n +
               " : « une réforme d’ampleur » pour l’été]]></title>\n"
               "<link>https://example.org/politique/article-" +
               n +
               ".html</link>\n"
               "<description>Le texte, attendu depuis des mois, prévoit plusieurs mesures &amp; "
               "ajustements. Les syndicats réagissent &#8212; certains saluent une avancée, "
               "d&apos;autres dénoncent un recul. Détails et analyses de nos journalistes.</description>\n"
               "<pubDate>Mon, 02 Mar 2026 10:" +
               n.rightJustified(2, '0').right(2) +
               ":00 +0100</pubDate>\n"
               "<guid isPermaLink=\"true\">https://example.org/politique/article-" +
               n +
               ".html</guid>\n"
               "<dc:creator>Rédaction</dc:creator>\n"
               "<media:content url=\"https://img.example.org/" +
               n +
               ".jpg\" medium=\"image\" width=\"640\"/>\n"
               "</item>\n";
    }
    return doc + "</channel>\n</rss>\n";
}

void BM_TypicalFeed(benchmark::State &state)
{
    const QByteArray doc = typicalFeed();
    for (auto _ : state) {
        QStringList titles = FeedParser::parse(doc);
        benchmark::DoNotOptimize(titles);
        if (titles.size() != 100)
            state.SkipWithError("wrong title count");
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
    state.counters["doc_KB"] = doc.size() / 1024.0;
}
BENCHMARK(BM_TypicalFeed)->Unit(benchmark::kMicrosecond);

void BM_FiftyMegabytes(benchmark::State &state)
{
    const QByteArray one = typicalFeed();
    QByteArray doc = one.left(one.indexOf("<item>"));
    const QByteArray items = one.mid(doc.size(), one.lastIndexOf("</channel>") - doc.size());
    while (doc.size() < 50 * 1024 * 1024)
        doc += items;
    doc += "</channel>\n</rss>\n";
    for (auto _ : state) {
        QStringList titles = FeedParser::parse(doc);
        benchmark::DoNotOptimize(titles);
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_FiftyMegabytes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BillionLaughs(benchmark::State &state)
{
    QByteArray doc = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        doc += "<!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int j = 0; j < 10; ++j)
            doc += "&lol" + (i > 1 ? QByteArray::number(i - 1) : QByteArray()) + ";";
        doc += "\">";
    }
    doc += "]><rss><channel><item><title>&lol9;</title></item></channel></rss>";
    for (auto _ : state) {
        QStringList titles = FeedParser::parse(doc);
        benchmark::DoNotOptimize(titles);
    }
}
BENCHMARK(BM_BillionLaughs)->Unit(benchmark::kMicrosecond);

void BM_ManyBigEntityReferences(benchmark::State &state)
{
    QByteArray doc = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY big \"" + QByteArray(4000, 'a') +
                     "\">]><rss><channel><item><title>";
    while (doc.size() < 6 * 1024 * 1024)
        doc += "&big;&big;&big;&big;&big;&big;&big;&big;";
    doc += "</title></item></channel></rss>";
    for (auto _ : state) {
        QStringList titles = FeedParser::parse(doc);
        benchmark::DoNotOptimize(titles);
    }
}
BENCHMARK(BM_ManyBigEntityReferences)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
