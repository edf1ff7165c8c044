// Spelling for the telex line and the punched tape, on any character: the
// whole-text conversion agrees with the table character by character, and
// nothing beyond Latin-1 reaches the line; the tape lettering uses only
// columns the box can punch.
#include "FuzzSupport.h"

#include "puncher/Lettering.h"
#include "text/LineEncoding.h"
#include "text/Transliteration.h"

namespace {

bool punchable(const QString& sequence)
{
    for (qsizetype i = 0; i < sequence.size(); ++i) {
        const char16_t c = sequence[i].unicode();
        if (c == lettering::kEscape) {
            // An escape always stands before the line-feed or carriage-return column.
            if (++i >= sequence.size() || (sequence[i] != u'J' && sequence[i] != u'M'))
                return false;
            continue;
        }
        const bool column = (c >= u'A' && c <= u'Z') || c == u' ' || c == lettering::kBlankColumn
                            || c == lettering::kFullColumn;
        if (!column)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every byte on its own, as a file read as Latin-1 gives it.
    const QString bytesText = latin1Text(data, size);
    QString oneByOne;
    for (const QChar c : bytesText) {
        const QString spelled = Transliterate(QString(c));
        FUZZ_CHECK(!ConvertForKlkl(QString(c)).contains(u'\r'), "no carriage return from table B");
        FUZZ_CHECK(ConvertForSendTxt(QString(c)).size() <= 4, "table B spells short");
        oneByOne += spelled;
    }
    const std::optional<QString> whole = transliterateText(bytesText);
    FUZZ_CHECK(whole && *whole == oneByOne, "the whole text as the table spells each character");

    // Any UTF-16 text, lone surrogates included: spelled to Latin-1.
    const QString anyText = utf16Text(data, size);
    const std::optional<QString> spelled = transliterateText(anyText);
    FUZZ_CHECK(spelled.has_value(), "finishes without being asked to stop");
    for (const QChar c : *spelled)
        FUZZ_CHECK(c.unicode() <= 0xFF, "nothing beyond Latin-1 is left for the line");
    // The plain spelling on its own (typed keys take this way) also leaves
    // only Latin-1, which goes out byte for byte.
    const QString safe = spellBeyondLatin1(anyText);
    for (const QChar c : safe)
        FUZZ_CHECK(c.unicode() <= 0xFF, "the plain spelling is Latin-1");
    FUZZ_CHECK(toLineBytes(anyText) == safe.toLatin1(), "line bytes are the plain spelling");
    FUZZ_CHECK(toLineBytes(*spelled) == spelled->toLatin1(), "Latin-1 text goes out byte for byte");

    // The tape: lead-in, leader, the letters, trailer; punchable columns only.
    for (const QString& text : {bytesText, anyText}) {
        QString tape;
        Puncher(text, tape);
        FUZZ_CHECK(tape.startsWith(QChar(lettering::kLeadIn) + QString(lettering::kLeaderColumns, u'#')), "leader");
        FUZZ_CHECK(tape.endsWith(QString(lettering::kTrailerColumns, u'#')), "trailer");
        FUZZ_CHECK(punchable(tape.mid(1)), "only punchable columns");
    }
    return 0;
}
