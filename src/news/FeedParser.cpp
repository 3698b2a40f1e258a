#include "news/FeedParser.h"

#include "types/Links.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

bool isEntryName(QStringView name)
{
    return name == u"item" || name == u"entry";
}

bool isHttp(const QUrl &url)
{
    const QString scheme = url.scheme();
    return (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

/** A feed date: RFC 2822 in RSS, ISO 8601 in Atom and Dublin Core; either may turn up in both. */
QDateTime feedDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 64)
        return {};
    QDateTime date = QDateTime::fromString(trimmed, Qt::RFC2822Date);
    if (!date.isValid())
        date = QDateTime::fromString(trimmed, Qt::ISODateWithMs);
    return date;
}

/**
 * How many characters one reference to each internal entity of the DTD can turn into,
 * nested references included, capped at the reader's own per-entity limit (beyond it
 * the reader rejects the document anyway). External entities are never expanded.
 */
class EntitySizes
{
public:
    EntitySizes(const QXmlStreamEntityDeclarations &declarations, qint64 cap)
        : m_cap(cap)
    {
        for (const QXmlStreamEntityDeclaration &declaration : declarations) {
            // The first declaration of a name is the binding one.
            const QString name = declaration.name().toString();
            if (declaration.systemId().isEmpty() && declaration.publicId().isEmpty() && !m_values.contains(name))
                m_values.insert(name, declaration.value().toString());
        }
    }

    /** The largest expansion of any one declared internal entity. */
    qint64 worst()
    {
        qint64 result = 0;
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            result = std::max(result, size(it.key(), 0));
        return result;
    }

private:
    qint64 size(const QString &name, int depth)
    {
        if (const auto known = m_sizes.constFind(name); known != m_sizes.cend())
            return *known;
        const auto value = m_values.constFind(name);
        if (value == m_values.cend())
            return 1; // predefined, or unknown: at most one character
        if (depth > 64)
            return m_cap; // a cycle or absurd nesting: assume the worst

        const QString &text = *value;
        qint64 total = 0;
        qsizetype i = 0;
        while (i < text.size() && total < m_cap) {
            const qsizetype amp = text.indexOf(u'&', i);
            if (amp < 0) {
                total += text.size() - i;
                break;
            }
            total += amp - i;
            const qsizetype semi = text.indexOf(u';', amp + 1);
            if (semi < 0) {
                total += text.size() - amp;
                break;
            }
            const QStringView reference = QStringView(text).sliced(amp + 1, semi - amp - 1);
            total += reference.startsWith(u'#') ? 1 : size(reference.toString(), depth + 1);
            i = semi + 1;
        }
        total = std::min(total, m_cap);
        m_sizes.insert(name, total);
        return total;
    }

    qint64 m_cap;
    QHash<QString, QString> m_values;
    QHash<QString, qint64> m_sizes;
};

/** One pass of the XML reader over a document, fed piece by piece. */
class Pass
{
public:
    explicit Pass(const QUrl &address)
        : m_handler(address)
    {
        // Names must arrive as written: "atom:entry" is not "entry".
        m_reader.setNamespaceProcessing(false);
    }

    /** Hands `piece` to the reader and the handler; false once the document cannot go on. */
    bool feed(QByteArrayView piece)
    {
        // The reader bounds each entity on its own, not how often the document refers
        // to it, so a small document could still make it build gigabytes of text. Every
        // '&' may be such a reference: once the document's own entities are known, stop
        // before a piece whose references could together pass the overall bound.
        m_ampersands += std::count(piece.begin(), piece.end(), '&');
        if (m_worstEntity > 1 && m_ampersands * m_worstEntity > FeedParser::maxEntityExpansion) {
            m_cutOff = true;
            return false;
        }
        m_reader.addData(piece.toByteArray());

        while (!m_reader.atEnd()) {
            switch (m_reader.readNext()) {
            case QXmlStreamReader::StartElement:
                m_handler.startElement(m_reader.qualifiedName(), m_reader.attributes());
                break;
            case QXmlStreamReader::EndElement:
                m_handler.endElement(m_reader.qualifiedName());
                break;
            case QXmlStreamReader::Characters:
                // CDATA sections arrive here too, already decoded.
                m_handler.characters(m_reader.text());
                break;
            case QXmlStreamReader::DTD:
                m_worstEntity = EntitySizes(m_reader.entityDeclarations(), m_reader.entityExpansionLimit()).worst();
                break;
            default:
                // An entity reference the reader could not resolve (external, or
                // undeclared under an external DTD) contributes no text.
                break;
            }
        }
        return !failed();
    }

    bool failed() const
    {
        return m_reader.hasError() && m_reader.error() != QXmlStreamReader::PrematureEndOfDocumentError;
    }
    bool cutOff() const { return m_cutOff; }
    FeedContent takeContent() { return m_handler.takeContent(); }

private:
    FeedParser m_handler;
    QXmlStreamReader m_reader;
    qint64 m_ampersands = 0;
    qint64 m_worstEntity = 0;
    bool m_cutOff = false;
};

/**
 * `document` with an XML declaration of a later 1.x version rewritten to "1.0", or nothing
 * when it declares no such version. The reader refuses every version but 1.0, while the
 * common XML libraries read 1.x documents as 1.0, so such a feed would otherwise lose all
 * of its titles.
 */
std::optional<QByteArray> asVersion10(QByteArrayView document)
{
    static const QRegularExpression declaration(
        QStringLiteral("^(?:\\x{EF}\\x{BB}\\x{BF})?<\\?xml[ \\t\\r\\n]+version[ \\t\\r\\n]*=[ \\t\\r\\n]*"
                       "([\"'])(1\\.[0-9]+)\\1"));
    // Byte for character, so that offsets in the match are offsets in the document.
    const QString head = QString::fromLatin1(document.first(std::min<qsizetype>(document.size(), 256)));
    const QRegularExpressionMatch match = declaration.match(head);
    if (!match.hasMatch() || match.capturedView(2) == u"1.0")
        return std::nullopt;
    QByteArray rewritten;
    rewritten.reserve(document.size());
    rewritten.append(document.first(match.capturedStart(2)));
    rewritten.append("1.0");
    rewritten.append(document.sliced(match.capturedEnd(2)));
    return rewritten;
}

QByteArrayView chunkAt(QByteArrayView document, qsizetype offset)
{
    return document.sliced(offset, std::min(FeedParser::chunkSize, document.size() - offset));
}

} // namespace

QStringList FeedParser::parse(QByteArrayView document)
{
    const FeedContent content = parseFeed(document);
    QStringList titles;
    titles.reserve(content.items.size());
    for (const FeedItem &item : content.items)
        titles.append(item.title);
    return titles;
}

FeedContent FeedParser::parseFeed(QByteArrayView original, const QUrl &address)
{
    const std::optional<QByteArray> version10 = asVersion10(original);
    const QByteArrayView document = version10 ? QByteArrayView(*version10) : original;

    // Fed whole, a document with a fatal error yields nothing at all: the reader decodes
    // each piece it is given before reading it, and an undecodable byte fails the whole
    // piece. Fed in chunks, the chunks before the failing one have been read.
    qsizetype failedChunk = -1;
    {
        Pass pass(address);
        for (qsizetype offset = 0; offset < document.size(); offset += chunkSize) {
            if (!pass.feed(chunkAt(document, offset))) {
                if (pass.cutOff())
                    return pass.takeContent();
                failedChunk = offset;
                break;
            }
        }
        if (failedChunk < 0)
            return pass.takeContent();
    }

    // A broken document: read it again up to the failing chunk, then that chunk one
    // byte at a time, so every title that closed before the error is kept.
    Pass pass(address);
    for (qsizetype offset = 0; offset < failedChunk; offset += chunkSize)
        pass.feed(chunkAt(document, offset));
    const QByteArrayView last = chunkAt(document, failedChunk);
    for (qsizetype i = 0; i < last.size(); ++i) {
        if (!pass.feed(last.sliced(i, 1)))
            break;
    }
    return pass.takeContent();
}

QString FeedParser::normalise(QStringView text)
{
    QString result;
    result.reserve(text.size());
    bool pendingSpace = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            pendingSpace = !result.isEmpty();
            continue;
        }
        if (pendingSpace) {
            result.append(u' ');
            pendingSpace = false;
        }
        result.append(c);
    }
    return result;
}

QUrl FeedParser::resolveLink(QStringView text, const QUrl &base)
{
    const QString trimmed = text.trimmed().toString();
    if (trimmed.isEmpty() || trimmed.size() > maxLinkLength)
        return {};
    QUrl url(trimmed);
    if (!url.isValid())
        return {};
    if (url.isRelative()) {
        if (!isHttp(base))
            return {};
        url = base.resolved(url);
    }
    url.setScheme(url.scheme().toLower());
    // A user name and password, the feed's own or planted in a link, never go further.
    url = Links::withoutUserInfo(url);
    if (!isHttp(url) || url.toString().size() > maxLinkLength)
        return {};
    return url;
}

FeedParser::FeedParser(const QUrl &address)
    : m_address(address)
{}

QStringList FeedParser::titles() const
{
    QStringList result;
    for (const FeedItem &item : m_items)
        result.append(item.title);
    return result;
}

void FeedParser::startElement(QStringView qualifiedName, const QXmlStreamAttributes &attributes)
{
    ++m_depth;
    if (m_text != Text::none)
        return; // markup inside a title (XHTML) or a link: its text belongs to the outer element

    if (isEntryName(qualifiedName)) {
        m_inEntry = true;
        m_entryDepth = m_depth;
        m_entryLink.clear();
        m_entryDate = {};
        m_entryDateIsUpdate = false;
        m_entryFirstItem = m_items.size();
        return;
    }
    if (qualifiedName == u"channel" || qualifiedName == u"feed") {
        if (!m_inEntry)
            m_channelDepth = m_depth;
        return;
    }

    const bool entryChild = m_inEntry && m_depth == m_entryDepth + 1;
    const bool channelChild = !m_inEntry && m_channelDepth > 0 && m_depth == m_channelDepth + 1;
    Text text = Text::none;
    if (qualifiedName == u"title" && m_inEntry) {
        text = Text::title;
    } else if (qualifiedName == u"link" && (entryChild || channelChild)) {
        if (attributes.hasAttribute(QLatin1String("href"))) {
            // Atom: "self", "enclosure", "related"... name other things than the page itself.
            const QStringView rel = attributes.value(QLatin1String("rel")).trimmed();
            if (rel.isEmpty() || rel == u"alternate") {
                const QUrl link = resolveLink(attributes.value(QLatin1String("href")), m_address);
                if (entryChild)
                    setEntryLink(link);
                else if (m_site.isEmpty())
                    m_site = link;
            }
        } else {
            text = Text::link;
        }
    } else if (entryChild &&
               (qualifiedName == u"pubDate" || qualifiedName == u"published" || qualifiedName == u"dc:date")) {
        text = Text::date;
    } else if (entryChild && qualifiedName == u"updated") {
        text = Text::updated;
    }
    if (text != Text::none) {
        m_text = text;
        m_textDepth = m_depth;
        m_buf.clear();
    }
}

void FeedParser::characters(QStringView text)
{
    if (m_text == Text::none)
        return;
    // Only a title may be long; a link or a date that outgrows its bound is unusable anyway.
    if (m_text != Text::title && m_buf.size() > maxLinkLength)
        return;
    m_buf.append(text);
}

void FeedParser::endElement(QStringView qualifiedName)
{
    const int depth = m_depth--;
    if (m_text != Text::none) {
        if (depth != m_textDepth)
            return;
        const Text text = std::exchange(m_text, Text::none);
        switch (text) {
        case Text::title: {
            QString title = normalise(m_buf);
            if (!title.isEmpty())
                m_items.append(FeedItem{std::move(title), m_entryLink, m_entryDate});
            break;
        }
        case Text::link: {
            const QUrl link = resolveLink(m_buf, m_address);
            if (m_inEntry)
                setEntryLink(link);
            else if (m_site.isEmpty())
                m_site = link;
            break;
        }
        case Text::date:
        case Text::updated:
            setEntryDate(feedDate(m_buf), text == Text::updated);
            break;
        case Text::none:
            break;
        }
        m_buf.clear();
        return;
    }
    if (isEntryName(qualifiedName) && m_inEntry && depth == m_entryDepth)
        m_inEntry = false;
    else if (depth == m_channelDepth)
        m_channelDepth = 0;
}

void FeedParser::setEntryLink(const QUrl &link)
{
    // The first usable link of an entry is its page; later ones are alternatives.
    if (link.isEmpty() || !m_entryLink.isEmpty())
        return;
    m_entryLink = link;
    for (qsizetype i = m_entryFirstItem; i < m_items.size(); ++i)
        m_items[i].link = link;
}

void FeedParser::setEntryDate(const QDateTime &date, bool updated)
{
    // A publication date wins over the date of the last update, whichever comes first.
    if (!date.isValid() || (m_entryDate.isValid() && (updated || !m_entryDateIsUpdate)))
        return;
    m_entryDate = date;
    m_entryDateIsUpdate = updated;
    for (qsizetype i = m_entryFirstItem; i < m_items.size(); ++i)
        m_items[i].date = date;
}
