#include "led/TextFold.h"

namespace TextFold {

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

QString foldDiacritics(const QString &text)
{
    if (isAscii(text))
        return text;
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        const QChar c = decomposed[i];
        // Marks outside the BMP come as surrogate pairs: look at the whole code point.
        if (c.isHighSurrogate() && i + 1 < decomposed.size() && decomposed[i + 1].isLowSurrogate()) {
            const char32_t ucs4 = QChar::surrogateToUcs4(c, decomposed[i + 1]);
            if (QChar::category(ucs4) != QChar::Mark_NonSpacing) {
                folded.append(c);
                folded.append(decomposed[i + 1]);
            }
            ++i;
            continue;
        }
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    }
    // Letters that were decomposed only to shed their marks are whole again; the rest
    // (Hangul syllables and the like) return to their usual composed form.
    return folded.normalized(QString::NormalizationForm_C);
}

QString foldUpper(const QString &text)
{
    return foldDiacritics(text).toUpper();
}

} // namespace TextFold
