#include "text/Transliteration.h"

#include "text/LineEncoding.h"

#include <algorithm>
#include <array>

namespace {

// How many characters are converted between two questions to keepGoing.
constexpr qsizetype kStride = 1 << 16;

// Table A; nothing when no row matches (the character stays as it is).
std::optional<QString> tableA(char16_t c)
{
    switch (c) {
    case u'\u00C9': return QStringLiteral("e'");   // É
    case u'\u00E8': return QStringLiteral("e'");   // è
    case u'\u00CD': return QStringLiteral("i'");   // Í
    case u'\u00E0': return QStringLiteral("a'");   // à
    case u'\u00F2': return QStringLiteral("o'");   // ò
    case u'\u00F9': return QStringLiteral("u'");   // ù
    case u'@': return QStringLiteral("(at)");
    case u'\u00CC': return QStringLiteral("I'");   // Ì
    case u'\u00B9': return QStringLiteral(" ");    // ¹
    case u'\u00BC': return QStringLiteral(" ");    // ¼
    case u'\u000F': return QStringLiteral(" ");    // SI
    case u'\u00DF': return QStringLiteral("sz");   // ß
    case u'\u00C8': return QStringLiteral("e'");   // È
    case u'"': return QStringLiteral("'");
    case u'\u00D6': return QStringLiteral("Oe");   // Ö
    case u'\u00FC': return QStringLiteral("ue");   // ü
    case u'\u00F6': return QStringLiteral("oe");   // ö
    case u'\u00E4': return QStringLiteral("ae");   // ä
    case u'\u00DC': return QStringLiteral("Ue");   // Ü
    case u'\u00C4': return QStringLiteral("Ae");   // Ä
    case u'\u00B4': return QStringLiteral("\"");   // ´
    default: return std::nullopt;
    }
}

// Whether a Latin-1 character has a row in table A (asked for every
// character of long texts, so it is a lookup rather than the switch).
bool hasRowInTableA(char16_t c)
{
    static const std::array<bool, 256> rows = [] {
        std::array<bool, 256> table{};
        for (int i = 0; i < 256; ++i)
            table[i] = tableA(char16_t(i)).has_value();
        return table;
    }();
    return rows[c];
}

// The rows both columns of table B share; nothing when no row matches.
std::optional<QString> tableBCommon(char16_t c)
{
    switch (c) {
    case u'\u00C9': return QStringLiteral("e'");   // É
    case u'\u00CD': return QStringLiteral("i'");   // Í
    case u'@': return QStringLiteral("(at)");
    case u'\u00CC': return QStringLiteral("I'");   // Ì
    case u'\u00B9': return QStringLiteral(" ");    // ¹
    case u'\u00BC': return QStringLiteral(" ");    // ¼
    case u'\u000F': return QStringLiteral(" ");    // SI
    case u'\u00C8': return QStringLiteral("e'");   // È
    case u'"': return QStringLiteral("'");
    case u'\u00FC': return QStringLiteral("ue");   // ü
    case u'\u00DC': return QStringLiteral("Ue");   // Ü
    case u'\u00B4': return QStringLiteral("\"");   // ´
    case u'\r': return QString();
    default: return std::nullopt;
    }
}

} // namespace

QString Transliterate(const QString& oneChar)
{
    if (oneChar.size() != 1)
        return oneChar;
    return tableA(oneChar.front().unicode()).value_or(oneChar); // a carriage return stays
}

namespace {

// Table B; the text sender spells Ö, ö, ä and Ä with a blank after them,
// the KLKL answer without.
QString tableB(const QString& oneChar, bool blankAfterUmlauts)
{
    if (oneChar.size() != 1)
        return oneChar;
    const char16_t c = oneChar.front().unicode();
    if (std::optional<QString> common = tableBCommon(c))
        return *common;
    QString spelled;
    switch (c) {
    case u'\u00D6': spelled = QStringLiteral("Oe"); break; // Ö
    case u'\u00F6': spelled = QStringLiteral("oe"); break; // ö
    case u'\u00E4': spelled = QStringLiteral("ae"); break; // ä
    case u'\u00C4': spelled = QStringLiteral("Ae"); break; // Ä
    default: return oneChar;
    }
    return blankAfterUmlauts ? spelled + ' ' : spelled;
}

} // namespace

QString ConvertForSendTxt(const QString& oneChar)
{
    return tableB(oneChar, true);
}

QString ConvertForKlkl(const QString& oneChar)
{
    return tableB(oneChar, false);
}

std::optional<QString> transliterateText(const QString& text, const std::function<bool()>& keepGoing)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    qsizetype start = 0;
    while (start < text.size()) {
        if (keepGoing && !keepGoing())
            return std::nullopt;
        qsizetype end = std::min(text.size(), start + kStride);
        // Never split a surrogate pair between two pieces.
        if (end < text.size() && text[end - 1].isHighSurrogate())
            ++end;
        const QStringView original = QStringView(text).sliced(start, end - start);
        const bool plain = std::all_of(original.begin(), original.end(), [](QChar c) { return c.unicode() <= 0xFF; });
        const QString spelled = plain ? QString() : spellBeyondLatin1(original.toString());
        const QStringView piece = plain ? original : QStringView(spelled);
        // Runs of characters without a row are copied in one go.
        qsizetype run = 0;
        for (qsizetype i = 0; i < piece.size(); ++i) {
            const char16_t c = piece[i].unicode();
            if (c > 0xFF || !hasRowInTableA(c))
                continue;
            out += piece.sliced(run, i - run);
            out += *tableA(c);
            run = i + 1;
        }
        out += piece.sliced(run);
        start = end;
    }
    return out;
}
