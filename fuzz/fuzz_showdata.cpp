// Received bytes as the terminal window takes them: backspaces applied,
// line feeds dropped, a line feed after every carriage return.
#include "FuzzSupport.h"

#include "link/ShowDataText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The line carries Latin-1: every byte is one character.
    const QString received = latin1Text(data, size);
    const ShowDataEdit edit = prepareShowData(received);
    const QString& out = edit.insert;

    FUZZ_CHECK(!out.contains(QChar(8)), "no backspace reaches the window");
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] == QChar(13))
            FUZZ_CHECK(i + 1 < out.size() && out[i + 1] == QChar(10), "a carriage return is followed by a line feed");
        if (out[i] == QChar(10))
            FUZZ_CHECK(i > 0 && out[i - 1] == QChar(13), "a line feed only after a carriage return");
    }
    // Without the added line feeds, what is shown is what was received with
    // characters taken away, never added or reordered.
    QString shown = out;
    shown.remove(QChar(10));
    qsizetype from = 0;
    for (const QChar c : std::as_const(shown)) {
        from = received.indexOf(c, from);
        FUZZ_CHECK(from >= 0, "shown text is received text, in order");
        ++from;
    }
    // Only a backspace takes something away: without one nothing but the
    // line feeds is lost, and the head backspace is the only one that reaches
    // back into the window.
    const qsizetype backspaces = received.count(QChar(8));
    const qsizetype kept = received.size() - received.count(QChar(10));
    FUZZ_CHECK(shown.size() >= kept - 2 * backspaces, "each backspace takes at most itself and one more");
    if (backspaces == 0)
        FUZZ_CHECK(shown.size() == kept && !edit.replaceLastChar, "nothing taken without a backspace");
    if (edit.replaceLastChar)
        FUZZ_CHECK(received.contains(QChar(8)), "the window's last character goes only by a backspace");
    return 0;
}
