// Word wrap to the telex line: no character but blanks at the two ends is
// lost, nothing is reordered, and a line is longer than the line's room only
// when it is one word.
#include "FuzzSupport.h"

#include "text/WrapText.h"

namespace {

QString withoutBreaks(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'\r' && c != u'\n')
            kept += c;
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks a width (every sender uses 68; narrow ones make
    // long words and full lines common), the rest is the text.
    const int width = 1 + data[0] % 80;
    const QString text = latin1Text(data + 1, size - 1);
    const QString wrapped = WrapText(text, width);

    FUZZ_CHECK(wrapped.endsWith(QLatin1String("\r\n")), "ends with CR LF");
    FUZZ_CHECK(withoutBreaks(wrapped) == withoutBreaks(text), "no character lost or moved");

    // Blanks: only the leading and trailing ones of the whole text go.
    qsizetype first = 0;
    while (first < text.size() && text[first] == u' ')
        ++first;
    qsizetype last = text.size();
    while (last > first && text[last - 1] == u' ')
        --last;
    FUZZ_CHECK(wrapped.count(u' ') == text.mid(first, last - first).count(u' '), "inner blanks kept");
    // Line ends are only ever added, always as a CR LF pair.
    const qsizetype addedReturns = wrapped.count(u'\r') - text.count(u'\r');
    FUZZ_CHECK(addedReturns >= 1 && addedReturns == wrapped.count(u'\n') - text.count(u'\n'), "CR LF added in pairs");

    // A line holds at most width characters and the blank after them; a
    // longer one is a single word that no blank let the wrap break.
    const qsizetype room = qsizetype(width) + 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= wrapped.size(); ++i) {
        if (i < wrapped.size() && wrapped[i] != u'\r' && wrapped[i] != u'\n')
            continue;
        const QStringView line = QStringView(wrapped).mid(start, i - start);
        FUZZ_CHECK(line.size() <= room || !line.contains(u' '), "a line within the limit unless one word");
        start = i + 1;
    }

    // The cancellable form gives the same text.
    FUZZ_CHECK(wrapText(text, width, [] { return true; }) == wrapped, "both forms agree");
    return 0;
}
