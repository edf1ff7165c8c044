// The help reader's worst cases: a piece of a document repeated into a
// flood far larger than the fuzzer's inputs, the way a flood of paragraph
// marks, lines of a megabyte or one endless word come. The first byte
// chooses rich text or a plain file and the flood's size; the rest is the
// piece, and what stands before a zero byte in it a head written once
// ahead of the flood.
//
// The flood of 128 KB crosses every limit of the reader when the piece is
// dense: what is read stays within the limits, and a rich-text document
// says it was cut only when it reached one. A smaller flood (1 to 32 KB) is
// read, put into a text document, laid out at a window's width and its
// first screen painted; when fuzzing (not when the corpus is replayed as a
// test) that may cost no more processor time than a generous bound per
// character shown, so an input far slower to show than any script's text
// is a finding.
#include "FuzzSupport.h"

#include "editor/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <ctime>

namespace {

QByteArray flood(const QByteArray& head, const QByteArray& piece, bool richText, qsizetype size)
{
    const QByteArray start = (richText ? "{\\rtf1 " : "") + head;
    const qsizetype repeats = piece.isEmpty() ? 0 : std::max<qsizetype>(size - start.size(), 0) / piece.size();
    return start + piece.repeated(repeats) + (richText ? "}" : "");
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const bool richText = data[0] & 1;
    QByteArray piece = fuzzBytes(data + 1, size - 1), head;
    if (const qsizetype zero = piece.indexOf('\0'); zero >= 0) {
        head = piece.left(zero);
        piece.remove(0, zero + 1);
    }

    const rtf::Document large = rtf::parse(flood(head, piece, richText, 128 << 10));
    qsizetype characters = 0, runs = 0;
    for (const rtf::Paragraph& paragraph : large.paragraphs) {
        runs += paragraph.runs.size();
        for (const rtf::Run& run : paragraph.runs)
            characters += run.text.size();
    }
    FUZZ_CHECK(large.paragraphs.size() <= rtf::kMaxParagraphs && characters <= rtf::kMaxCharacters
                   && runs <= rtf::kMaxRuns,
               "what is read stays within the limits");
    const bool atALimit = large.paragraphs.size() == rtf::kMaxParagraphs || characters == rtf::kMaxCharacters
                          || runs == rtf::kMaxRuns;
    FUZZ_CHECK(!richText || !large.cut || atALimit, "rich text is cut only at a limit");

    const QByteArray small = flood(head, piece, richText, qsizetype(1024) << (data[0] >> 1) % 6);
    const double started = threadSeconds();
    QTextDocument shown;
    shown.setTextWidth(640);
    rtf::fill(shown, rtf::parse(small));
    shown.documentLayout()->blockBoundingRect(shown.lastBlock());
    QImage window(640, 480, QImage::Format_RGB32);
    QPainter painter(&window);
    shown.drawContents(&painter, QRectF(window.rect()));
    painter.end();
    const double seconds = threadSeconds() - started;
#ifdef VORNAK_FUZZING
    // Text of any script costs a few microseconds a character; the
    // sanitizers slow the reader, not the layout.
    if (!qEnvironmentVariableIsSet("VORNAK_FUZZ_REPLAY"))
        FUZZ_CHECK(seconds <= 0.1 + 15e-6 * shown.characterCount(), "showing costs little per character");
#else
    if (qEnvironmentVariableIsSet("SHOWCOST"))
        std::fprintf(stderr, "cost %.3f s, %.2f us/char, %d chars\n", seconds, seconds * 1e6 / shown.characterCount(),
                     shown.characterCount());
#endif
    return 0;
}
