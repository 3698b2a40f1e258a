#include "news/FeedParser.h"

#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

bool isEntryName(QStringView name)
{
    return name == u"item" || name == u"entry";
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
            if (declaration.systemId().isEmpty() && declaration.publicId().isEmpty())
                m_values.insert(declaration.name().toString(), declaration.value().toString());
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

} // namespace

QStringList FeedParser::parse(QByteArrayView document)
{
    FeedParser handler;
    QXmlStreamReader reader;
    // Names must arrive as written: "atom:entry" is not "entry".
    reader.setNamespaceProcessing(false);

    // The reader bounds each entity on its own, not how often the document refers to
    // it, so a small document could still make it build gigabytes of text. Every
    // '&' may be such a reference: once the document's own entities are known, stop
    // before a chunk whose references could together pass the overall bound.
    qint64 ampersands = 0;
    qint64 worstEntity = 0;

    // Fed whole, a document with a fatal error (an invalid UTF-8 byte, say) yields
    // nothing at all; fed in chunks, what came before the error has been delivered.
    for (qsizetype offset = 0; offset < document.size(); offset += chunkSize) {
        const QByteArrayView chunk = document.sliced(offset, std::min(chunkSize, document.size() - offset));
        ampersands += std::count(chunk.begin(), chunk.end(), '&');
        if (worstEntity > 1 && ampersands * worstEntity > maxEntityExpansion)
            break;
        reader.addData(chunk.toByteArray());

        while (!reader.atEnd()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                handler.startElement(reader.qualifiedName());
                break;
            case QXmlStreamReader::EndElement:
                handler.endElement(reader.qualifiedName());
                break;
            case QXmlStreamReader::Characters:
                // CDATA sections arrive here too, already decoded.
                handler.characters(reader.text());
                break;
            case QXmlStreamReader::DTD:
                worstEntity = EntitySizes(reader.entityDeclarations(), reader.entityExpansionLimit()).worst();
                break;
            default:
                // An entity reference the reader could not resolve (external, or
                // undeclared under an external DTD) contributes no text.
                break;
            }
        }
        if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            break;
    }
    return handler.takeTitles();
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

void FeedParser::startElement(QStringView qualifiedName)
{
    if (isEntryName(qualifiedName)) {
        m_inEntry = true;
    } else if (qualifiedName == u"title" && m_inEntry) {
        m_inTitle = true;
        m_buf.clear();
    }
}

void FeedParser::characters(QStringView text)
{
    if (m_inTitle)
        m_buf.append(text);
}

void FeedParser::endElement(QStringView qualifiedName)
{
    if (qualifiedName == u"title" && m_inTitle) {
        m_inTitle = false;
        QString title = normalise(m_buf);
        if (!title.isEmpty())
            m_titles.append(std::move(title));
    } else if (isEntryName(qualifiedName)) {
        m_inEntry = false;
    }
}
