#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

/**
 * Turns the bytes of one RSS or Atom document into the titles of its entries
 * (`item` and `entry` elements), in document order, with their white space
 * normalised. Element names are compared exactly as written, prefix included.
 *
 * The parse stops at the first well-formedness error; the titles that closed before
 * it are the result. External entities are never fetched, and the text that internal
 * entities may expand into is bounded, so a hostile document ends quickly in bounded
 * memory. Nothing is logged or reported.
 *
 * The instance methods are the event handler of the streaming parse; `parse` drives
 * one handler over one document.
 */
class FeedParser
{
public:
    /** Bytes handed to the XML reader at a time (see parse()). */
    static constexpr qsizetype chunkSize = 4096;
    /**
     * Most characters that references to the document's own entities may add to it.
     * A document that could exceed it is cut off where the excess might begin.
     */
    static constexpr qint64 maxEntityExpansion = 8 * 1024 * 1024;

    /** The titles of `document`. */
    static QStringList parse(QByteArrayView document);

    /** Splits `text` at every white-space character and joins the non-empty pieces with one space. */
    static QString normalise(QStringView text);

    void startElement(QStringView qualifiedName);
    void characters(QStringView text);
    void endElement(QStringView qualifiedName);

    const QStringList &titles() const { return m_titles; }
    QStringList takeTitles() { return std::move(m_titles); }

private:
    QStringList m_titles;
    bool m_inEntry = false;
    bool m_inTitle = false;
    QString m_buf;
};
