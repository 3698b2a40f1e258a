#include "news/FeedParser.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

QByteArray rss(const QByteArray &items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>Channel</title>"
           "<image><title>Logo</title></image>" +
           items + "</channel></rss>";
}

QByteArray item(const QByteArray &title)
{
    return "<item><title>" + title + "</title><link>https://example.org/</link></item>";
}

/** The Python string literal of a corpus expectation, unescaped (only the escapes the corpus uses). */
QString pythonLiteral(const QString &literal)
{
    QString out;
    for (qsizetype i = 0; i < literal.size(); ++i) {
        if (literal.at(i) == u'\\' && i + 1 < literal.size())
            ++i;
        out.append(literal.at(i));
    }
    return out;
}

} // namespace

class TestFeedParser : public QObject
{
    Q_OBJECT
private slots:
    void rssItemsInDocumentOrder()
    {
        const QByteArray doc = rss(item("First") + item("Second") + item("Third"));
        QCOMPARE(FeedParser::parse(doc), QStringList({"First", "Second", "Third"}));
    }

    void atomEntriesAndEveryNestedTitle()
    {
        const QByteArray doc = "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Feed</title>\n"
                               "<entry><title>One</title><source><title>Origin</title></source></entry>\n"
                               "<entry><title type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">Two "
                               "<b>bold</b> words</div></title></entry>\n"
                               "</feed>";
        QCOMPARE(FeedParser::parse(doc), QStringList({"One", "Origin", "Two bold words"}));
    }

    void normalise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ascii runs") << "  Hello \n\tbig   world \r\n"
                                    << "Hello big world";
        QTest::newRow("no-break space") << QString::fromUtf8("\u00a0Prix\u00a0:\u00a0 10\u00a0€\u00a0")
                                        << QString::fromUtf8("Prix : 10 €");
        QTest::newRow("unicode spaces") << QString::fromUtf8(
                                               "a\u2003b\u3000c\u2028d\u2029e\u0085f\u202fg\u1680h\u000bi\u000cj")
                                        << "a b c d e f g h i j";
        QTest::newRow("not spaces") << QString::fromUtf8("zero\u200bwidth") << QString::fromUtf8("zero\u200bwidth");
        QTest::newRow("only spaces") << QString::fromUtf8(" \t\u00a0\n ") << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void normalise()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(FeedParser::normalise(text), expected);
    }

    void titleTextIsDecodedOnceAndKeptLiterally()
    {
        const QByteArray doc =
            rss(item("  Leading,\n\ttrailing   and\u00a0runs  ") + item("<![CDATA[Only <i>CDATA</i> &amp;]]>") +
                item("Text, <![CDATA[then CDATA]]>, then text") +
                item("&lt;b&gt;bold&lt;/b&gt; &amp; caf&#233; &#x2014; &quot;q&quot;") + item(" \n\t ") +
                item("After blank"));
        QCOMPARE(FeedParser::parse(doc), QStringList({
                                             "Leading, trailing and runs",
                                             "Only <i>CDATA</i> &amp;",
                                             "Text, then CDATA, then text",
                                             QString::fromUtf8("<b>bold</b> & café — \"q\""),
                                             "After blank",
                                         }));
    }

    void prefixedNamesAreNotRecognised()
    {
        const QByteArray doc =
            "<feed xmlns=\"http://www.w3.org/2005/Atom\" xmlns:atom=\"http://www.w3.org/2005/Atom\"\n"
            "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
            "<atom:entry><title>Prefixed entry</title></atom:entry>\n"
            "<entry><dc:title>Prefixed title</dc:title><atom:title>Also "
            "prefixed</atom:title><title>Plain</title></entry>\n"
            "</feed>";
        QCOMPARE(FeedParser::parse(doc), QStringList({"Plain"}));
    }

    void titlesOutsideEntriesAreIgnored()
    {
        QCOMPARE(FeedParser::parse(rss("")), QStringList());
        QCOMPARE(
            FeedParser::parse("<rss><channel><title>x</title><textInput><title>y</title></textInput></channel></rss>"),
            QStringList());
        QCOMPARE(FeedParser::parse(""), QStringList());
        QCOMPARE(FeedParser::parse("not xml at all"), QStringList());
    }

    void declaredEncodingIsHonoured()
    {
        const QByteArray doc = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><rss><channel>"
                               "<item><title>Caf\xe9 cr\xe8me</title></item></channel></rss>";
        QCOMPARE(FeedParser::parse(doc), QStringList({QString::fromUtf8("Café crème")}));
    }

    void laterXmlVersionsAreReadAsOne()
    {
        const QByteArray items = "<rss><channel><item><title>One</title></item></channel></rss>";
        QCOMPARE(FeedParser::parse("<?xml version=\"1.1\" encoding=\"UTF-8\"?>" + items), QStringList({"One"}));
        QCOMPARE(FeedParser::parse("\xEF\xBB\xBF<?xml  version = '1.1'?>\n" + items), QStringList({"One"}));
        QCOMPARE(FeedParser::parse("<?xml version=\"1.1\" encoding=\"ISO-8859-1\"?><rss><item><title>Caf\xe9</title>"
                                   "</item></rss>"),
                 QStringList({QString::fromUtf8("Café")}));
        // Another major version is not XML we can read.
        QCOMPARE(FeedParser::parse("<?xml version=\"2.0\"?>" + items), QStringList());
    }

    void parseErrorKeepsEarlierTitles_data()
    {
        QTest::addColumn<QByteArray>("doc");
        QTest::addColumn<QStringList>("expected");
        const QStringList two{"One", QString::fromUtf8("Café")};
        const QByteArray head = item("One") + item("Café");
        QTest::newRow("mismatched tag") << rss(head + "<item><title>Three</item>") << two;
        QByteArray truncated = rss(head);
        truncated.chop(QByteArrayLiteral("</channel></rss>").size());
        QTest::newRow("truncated") << truncated + "<item><title>Thr" << two;
        QTest::newRow("undeclared entity") << rss(head + item("Caf&eacute;") + item("Four")) << two;
        QTest::newRow("invalid utf-8") << rss(head + item("Bad \xff byte") + item("Four")) << two;
        QTest::newRow("invalid utf-8 after many chunks")
            << rss(item(QByteArray(9000, 'x')) + head + item("Bad \xc3\x28") + item("Four"))
            << QStringList{QString(9000, u'x'), "One", QString::fromUtf8("Café")};
        QTest::newRow("second root") << rss(head) + "<rss><item><title>Late</title></item></rss>" << two;
    }

    void parseErrorKeepsEarlierTitles()
    {
        QFETCH(QByteArray, doc);
        QFETCH(QStringList, expected);
        QCOMPARE(FeedParser::parse(doc), expected);
    }

    void undeclaredEntityUnderExternalDtdAddsNoText()
    {
        // With an external DTD named (never fetched), the entity might be declared
        // there: the reader passes over it instead of failing.
        const QByteArray doc = "<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\" "
                               "\"http://127.0.0.1:9/rss-0.91.dtd\">"
                               "<rss><channel><item><title>A&nbsp;B</title></item><item><title>C</title></item>"
                               "</channel></rss>";
        QCOMPARE(FeedParser::parse(doc), QStringList({"AB", "C"}));
    }

    void internalEntitiesExpand()
    {
        const QByteArray doc = "<!DOCTYPE rss [<!ENTITY nbsp \"&#160;\"><!ENTITY org \"Dot&amp;Co\">]>"
                               "<rss><channel><item><title>Hello&nbsp;&nbsp;&org;</title></item></channel></rss>";
        QCOMPARE(FeedParser::parse(doc), QStringList({"Hello Dot&Co"}));
    }

    void externalEntityIsNeverRead()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString secretPath = dir.filePath("secret.txt");
        QFile secret(secretPath);
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("TOPSECRET");
        secret.close();

        // The kernel tells us about any open or read of the file during the parse.
        const int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watcher >= 0);
        QVERIFY(inotify_add_watch(watcher, QFile::encodeName(secretPath).constData(), IN_OPEN | IN_ACCESS) >= 0);

        const QByteArray url = QUrl::fromLocalFile(secretPath).toEncoded();
        const QByteArray doc = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY xxe SYSTEM \"" + url +
                               "\"><!ENTITY % pe SYSTEM \"" + url +
                               "\"> %pe;]><rss><channel>"
                               "<item><title>Before &xxe; after</title></item><item><title>&xxe;</title></item>"
                               "<item><title>Next</title></item></channel></rss>";
        const QStringList titles = FeedParser::parse(doc);

        char events[4096];
        const ssize_t got = read(watcher, events, sizeof events);
        const int readErrno = errno;
        close(watcher);
        QCOMPARE(got, ssize_t(-1));
        QCOMPARE(readErrno, EAGAIN);
        QVERIFY(!titles.join(' ').contains("TOPSECRET"));
        QCOMPARE(titles, QStringList({"Before after", "Next"}));
    }

    void billionLaughsEndsQuickly()
    {
        QByteArray dtd = "<!ENTITY lol \"lol\">";
        for (int i = 1; i <= 9; ++i) {
            dtd += "<!ENTITY lol" + QByteArray::number(i) + " \"";
            for (int j = 0; j < 10; ++j)
                dtd += "&lol" + (i > 1 ? QByteArray::number(i - 1) : QByteArray()) + ";";
            dtd += "\">";
        }
        const QByteArray doc = "<?xml version=\"1.0\"?><!DOCTYPE rss [" + dtd +
                               "]><rss><channel>"
                               "<item><title>Kept</title></item><item><title>&lol9;</title></item></channel></rss>";
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(FeedParser::parse(doc), QStringList({"Kept"}));
        // A generous guard against a hang, not a speed goal (that lives in the benchmark).
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }

    void manyReferencesToABigEntityAreCutOff()
    {
        // Each reference stays under the reader's per-entity limit, but together they
        // would make about 8 GB of text out of 6 MB.
        QByteArray doc = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY big \"" + QByteArray(4000, 'a') +
                         "\">]><rss><channel><item><title>Kept</title></item><item><title>";
        doc.reserve(6 * 1024 * 1024);
        while (doc.size() < 6 * 1024 * 1024)
            doc += "&big;&big;&big;&big;&big;&big;&big;&big;";
        doc += "</title></item></channel></rss>";
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(FeedParser::parse(doc), QStringList({"Kept"}));
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));

        // A few references to the same entity are fine.
        const QByteArray few = "<!DOCTYPE rss [<!ENTITY big \"" + QByteArray(4000, 'a') +
                               "\">]><rss><item><title>&big;&big;</title></item></rss>";
        QCOMPARE(FeedParser::parse(few), QStringList({QString(8000, u'a')}));
    }

    void fiftyMegabytesOfItems()
    {
        QByteArray doc = rss("");
        doc.chop(QByteArrayLiteral("</channel></rss>").size());
        doc.reserve(51 * 1024 * 1024);
        int count = 0;
        while (doc.size() < 50 * 1024 * 1024) {
            doc += "<item><title>Headline number " + QByteArray::number(count++) +
                   " &amp; more</title><link>https://example.org/a</link>"
                   "<description>Some text of the item, long enough to look like a real one.</description></item>\n";
        }
        doc += "</channel></rss>";

        QElapsedTimer timer;
        timer.start();
        const QStringList titles = FeedParser::parse(doc);
        const qint64 ms = std::max<qint64>(1, timer.elapsed());
        QCOMPARE(titles.size(), count);
        QCOMPARE(titles.last(), QString("Headline number %1 & more").arg(count - 1));
        qInfo("%.1f MB parsed in %lld ms: %.1f MB/s (this build)", doc.size() / 1e6, ms, doc.size() / 1e3 / ms);
    }

    void rssLinksDatesAndSite()
    {
        const QUrl address("https://news.example.org/feeds/main.xml");
        const QByteArray doc =
            "<rss><channel><title>C</title><link>https://www.example.org/</link>"
            "<atom:link rel=\"self\" href=\"https://news.example.org/feeds/main.xml\"/>"
            "<item><title>Absolute</title><link> https://www.example.org/a?x=1&amp;y=2 </link>"
            "<pubDate>Tue, 08 Dec 2026 03:00:00 +0100</pubDate></item>"
            "<item><link>../articles/b.html</link><title>Relative, link first</title></item>"
            "<item><title>Root relative</title><link>/c</link></item>"
            "<item><title>Script</title><link>javascript:alert(1)</link></item>"
            "<item><title>Mail</title><link>mailto:x@example.org</link><guid>https://g.example.org/</guid></item>"
            "<item><title>None</title></item>"
            "</channel></rss>";
        const FeedContent feed = FeedParser::parseFeed(doc, address);
        QCOMPARE(feed.site, QUrl("https://www.example.org/"));
        QCOMPARE(feed.items.size(), 6);
        QCOMPARE(feed.items[0].link, QUrl("https://www.example.org/a?x=1&y=2"));
        QCOMPARE(feed.items[0].date, QDateTime(QDate(2026, 12, 8), QTime(2, 0), Qt::UTC));
        QCOMPARE(feed.items[1].link, QUrl("https://news.example.org/articles/b.html"));
        QCOMPARE(feed.items[2].link, QUrl("https://news.example.org/c"));
        for (int i = 3; i < 6; ++i) {
            QVERIFY2(feed.items[i].link.isEmpty(), qPrintable(feed.items[i].title));
            QVERIFY(!feed.items[i].date.isValid());
        }
        // Without an address a relative link has nothing to be resolved against.
        QVERIFY(FeedParser::parseFeed(doc).items[1].link.isEmpty());
    }

    void atomAlternateLinksAndDates()
    {
        const QByteArray doc =
            "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>F</title>"
            "<link rel=\"self\" href=\"http://feeds.example.org/atom\"/>"
            "<link href=\"HTTP://Site.Example.org/home\"/>"
            "<entry><title>Enclosure first</title>"
            "<link rel=\"enclosure\" href=\"http://cdn.example.org/a.mp3\"/>"
            "<link rel=\"alternate\" type=\"text/html\" href=\"/posts/1\"/>"
            "<link href=\"http://other.example.org/\"/>"
            "<updated>2026-12-07T10:00:00Z</updated><published>2026-12-01T08:30:00+01:00</published></entry>"
            "<entry><updated>2026-12-07T11:00:00Z</updated><title>Updated only</title>"
            "<source><link href=\"http://source.example.org/\"/></source>"
            "<link rel=\"related\" href=\"http://related.example.org/\"/></entry>"
            "<entry><title>Data link</title><link href=\"data:text/html,hi\"/><published>soon</published></entry>"
            "</feed>";
        const FeedContent feed = FeedParser::parseFeed(doc, QUrl("http://feeds.example.org/atom"));
        QCOMPARE(feed.site, QUrl("http://site.example.org/home"));
        QCOMPARE(feed.items.size(), 3);
        QCOMPARE(feed.items[0].link, QUrl("http://feeds.example.org/posts/1"));
        QCOMPARE(feed.items[0].date, QDateTime(QDate(2026, 12, 1), QTime(7, 30), Qt::UTC));
        QVERIFY(feed.items[1].link.isEmpty()); // a source's or a related link is not the entry's page
        QCOMPARE(feed.items[1].date, QDateTime(QDate(2026, 12, 7), QTime(11, 0), Qt::UTC));
        QVERIFY(feed.items[2].link.isEmpty());
        QVERIFY(!feed.items[2].date.isValid());
    }

    void everyTitleOfAnEntryTakesItsLink()
    {
        const QByteArray doc = "<feed><entry><title>One</title><source><title>Origin</title></source>"
                               "<link href=\"https://example.org/one\"/></entry>"
                               "<entry><title>Two</title></entry></feed>";
        const FeedContent feed = FeedParser::parseFeed(doc);
        QCOMPARE(feed.items.size(), 3);
        QCOMPARE(feed.items[0].link, QUrl("https://example.org/one"));
        QCOMPARE(feed.items[1].link, QUrl("https://example.org/one"));
        QVERIFY(feed.items[2].link.isEmpty());
        QVERIFY(feed.site.isEmpty());
    }

    void overlongLinksAreDropped()
    {
        const QByteArray longPath(FeedParser::maxLinkLength, 'a');
        const QByteArray doc = rss("<item><title>Long</title><link>https://example.org/" + longPath + "</link></item>"
                                   "<item><title>Short</title><link>https://example.org/ok</link></item>");
        const FeedContent feed = FeedParser::parseFeed(doc);
        QCOMPARE(feed.items.size(), 2);
        QVERIFY(feed.items[0].link.isEmpty());
        QCOMPARE(feed.items[1].link, QUrl("https://example.org/ok"));
        // A link cut off by a broken document is not kept half-read.
        const FeedContent broken = FeedParser::parseFeed("<rss><channel>" + item("Kept") + "<item><title>T</title><link>https://ex");
        QCOMPARE(broken.items.size(), 2);
        QVERIFY(broken.items[1].link.isEmpty());
    }

    void corpus()
    {
        const QString root = QStringLiteral(DOTBANNER_CORPORA "/feeds");
        if (!QDir(root).exists())
            QSKIP("feed corpus not present");

        // Expectations of the corpus that agree with our rules. The first title of the
        // first entry (no prefixed item or entry in the document) must hold no child
        // element and no base64. An expected `title_detail` value is the text decoded once,
        // as ours; an expected `title` has been sanitised by its library unless the
        // title's type is plain text.
        static const QRegularExpression expectRe(
            "Expect:.*entries\\[0\\]\\['(title'\\]|title_detail'\\]\\['value'\\])"
            "(?:\\s*==\\s*entries\\[1\\]\\['title'\\])?\\s*==\\s*'((?:[^'\\\\]|\\\\.)*)'");
        static const QRegularExpression firstTitleRe(
            "<(item|entry)[\\s>](?:(?!</\\1>).)*?<title(\\s[^>]*)?>(.*?)</title>",
            QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression cdataRe("<!\\[CDATA\\[.*?\\]\\]>",
                                                QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression prefixedEntryRe("<\\w+:(item|entry)[\\s>]");
        static const QRegularExpression plainTypeRe("^\\s*$|type=\"(text|text/plain)?\"");

        int files = 0;
        int compared = 0;
        int matched = 0;
        QStringList mismatches;
        QDirIterator it(root, {"*.xml", "*.rdf"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const QStringList titles = FeedParser::parse(bytes); // no crash, no hang, no sanitizer report
            ++files;

            const QString text = QString::fromUtf8(bytes);
            const QRegularExpressionMatch expect = expectRe.match(text);
            if (!expect.hasMatch() || text.contains(prefixedEntryRe))
                continue;
            const bool sanitised = expect.captured(1).startsWith("title'");
            const QString expected = pythonLiteral(expect.captured(2));
            const QRegularExpressionMatch first = firstTitleRe.match(text, text.indexOf("-->"));
            if (!first.hasMatch())
                continue;
            const QString attributes = first.captured(2);
            if (QString(first.captured(3)).remove(cdataRe).contains(u'<') || attributes.contains("base64") ||
                attributes.contains("octet-stream") || (sanitised && !plainTypeRe.match(attributes).hasMatch()))
                continue;
            ++compared;
            if (!titles.isEmpty() && titles.first() == expected)
                ++matched;
            else
                mismatches << QStringLiteral("%1: expected '%2', got %3")
                                  .arg(QDir(root).relativeFilePath(path), expected, titles.join(" | "));
        }
        qInfo("corpus: %d files parsed, %d compared with their expected title, %d matched", files, compared, matched);
        QVERIFY(files >= 200);
        QVERIFY(compared >= 50);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestFeedParser)
#include "TestFeedParser.moc"
