// The help document's rich text: any bytes are read without fault, the
// document put into a text document, and what was read stays within the
// reader's bounds.
#include "FuzzSupport.h"

#include "editor/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const rtf::Document document = rtf::parse(fuzzBytes(data, size));
    qsizetype characters = 0;
    for (const rtf::Paragraph& paragraph : document.paragraphs) {
        for (const rtf::Run& run : paragraph.runs) {
            FUZZ_CHECK(!run.text.isEmpty(), "no empty runs");
            characters += run.text.size();
        }
    }
    FUZZ_CHECK(characters <= size * 2 + 2, "no more text than the input could spell");

    QTextDocument target;
    rtf::fill(target, document);
    FUZZ_CHECK(target.blockCount() >= std::max<qsizetype>(1, document.paragraphs.size()), "a block per paragraph");
    return 0;
}
