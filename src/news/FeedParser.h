#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>

class QXmlStreamAttributes;

/** One title of a feed with what its entry says about it. */
struct FeedItem
{
    QString title;
    QUrl link;      ///< the entry's own page (http or https, absolute); empty when it names none
    QDateTime date; ///< when the entry was published or updated; invalid when unknown

    friend bool operator==(const FeedItem &, const FeedItem &) = default;
};

/** What one document holds: its titles in document order and the site it belongs to. */
struct FeedContent
{
    QList<FeedItem> items;
    QUrl site; ///< the channel's or feed's own page (http or https, absolute); empty when unknown
};

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
 * Each title also gets its entry's link (RSS `link` text, or the `href` of an Atom `link`
 * whose `rel` is absent or "alternate") and date (`pubDate`, `published`, `dc:date`, else
 * `updated`); the document's own site is the first such link outside every entry. Links are
 * resolved against the feed's address, kept only when they are http or https, and never keep
 * a user name or password.
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

    /** Characters a link may have; a longer one is dropped rather than kept cut. */
    static constexpr qsizetype maxLinkLength = 2048;

    /** The titles of `document`. */
    static QStringList parse(QByteArrayView document);
    /** The titles of `document` with their links and dates, relative links resolved against `address`. */
    static FeedContent parseFeed(QByteArrayView document, const QUrl &address = {});

    /**
     * `text` as an absolute http or https address, resolved against `base` when relative and
     * without user information; an empty URL when it is none, or longer than maxLinkLength.
     */
    static QUrl resolveLink(QStringView text, const QUrl &base);

    /** Splits `text` at every white-space character and joins the non-empty pieces with one space. */
    static QString normalise(QStringView text);

    explicit FeedParser(const QUrl &address = {});

    void startElement(QStringView qualifiedName, const QXmlStreamAttributes &attributes);
    void characters(QStringView text);
    void endElement(QStringView qualifiedName);

    QStringList titles() const;
    FeedContent takeContent() { return {std::move(m_items), std::move(m_site)}; }

private:
    enum class Text { none, title, link, date, updated };

    void setEntryLink(const QUrl &link);
    void setEntryDate(const QDateTime &date, bool updated);

    QUrl m_address;
    QList<FeedItem> m_items;
    QUrl m_site;
    bool m_inEntry = false;
    int m_depth = 0;        ///< elements open
    int m_entryDepth = 0;   ///< the depth of the current entry's element
    int m_channelDepth = 0; ///< the depth of the open channel or feed element outside every entry; 0 when none
    Text m_text = Text::none;
    int m_textDepth = 0; ///< the depth of the element whose text is being collected
    QString m_buf;
    /** The entry's link and date so far, for the titles it has yet to close. */
    QUrl m_entryLink;
    QDateTime m_entryDate;
    bool m_entryDateIsUpdate = false;
    qsizetype m_entryFirstItem = 0;
};
