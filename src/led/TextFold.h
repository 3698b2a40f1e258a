#pragma once

#include <QString>
#include <QStringView>
#include <QTextBoundaryFinder>

/**
 * The text preparation shared by the pixel font and the news sanitiser: accents folded away,
 * upper-cased, walked by user-perceived characters. All of it follows Qt's Unicode tables.
 */
namespace TextFold {

/** True when every code unit is ASCII; such text needs neither folding nor boundary analysis. */
bool isAscii(QStringView text);

/** Canonical decomposition with the non-spacing marks dropped: "é" gives "e", "Ç" gives "C". */
QString foldDiacritics(const QString &text);

/** Folded, then upper-cased with the full mapping ("ß" gives "SS"). */
QString foldUpper(const QString &text);

/** Calls `f(QStringView)` once per grapheme cluster of `text`, in order. */
template<typename F> void forEachGrapheme(const QString &text, F &&f)
{
    const qsizetype n = text.size();
    if (isAscii(text)) {
        // Among ASCII characters only CR LF forms a cluster of more than one code unit.
        for (qsizetype i = 0; i < n; ++i) {
            const qsizetype len = (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
            f(QStringView(text).mid(i, len));
            i += len - 1;
        }
        return;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (start < n) {
        finder.setPosition(start);
        qsizetype end = finder.toNextBoundary();
        if (end <= start)
            end = n;
        f(QStringView(text).mid(start, end - start));
        start = end;
    }
}

} // namespace TextFold
