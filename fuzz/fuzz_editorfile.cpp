// The message editor's load and save: any file, loaded as the editor loads
// it, put into the editor's document and saved without an edit. A text
// file's writers rely on a written text reading back as written; the
// editor promises that a file saved unchanged keeps its bytes.
#include "FuzzSupport.h"

#include "core/TextFiles.h"
#include "editor/EditorText.h"

#include <QGuiApplication>
#include <QTextDocument>

using namespace editortext;

namespace {

// The characters the editor's document takes for a line break.
bool breaksLines(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c.unicode() == 0xFDD0
           || c.unicode() == 0xFDD1;
}

// Line ends all LF or all CR LF, with one at the very end (the editor adds
// it there).
bool uniformLineEnds(const QString& text)
{
    if (!text.isEmpty() && !text.endsWith('\n'))
        return false;
    const bool crLf = text.contains('\r');
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            return false;
        if (text[i] == u'\n' && crLf != (i > 0 && text[i - 1] == u'\r'))
            return false;
    }
    return true;
}

// The bytes the editor saves for a file loaded from `bytes` (nothing when
// it refuses the file as too large).
std::optional<QByteArray> loadAndSave(const QByteArray& bytes)
{
    const DecodedText file = decodeFileText(bytes);
    const LoadedText loaded = textFromLines(splitLines(file.text));
    if (loaded.tooLarge)
        return std::nullopt;
    QTextDocument document;
    document.setPlainText(editorFormFromFileText(loaded.text));
    const FileForm form = fileFormOf(file);
    return encodeFileText(fileTextFromEditorForm(editorText(document), form), form.encoding);
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
    const QByteArray bytes = fuzzBytes(data, size);
    const DecodedText file = decodeFileText(bytes);
    for (const QString& text : {file.text, latin1Text(data, size), utf16Text(data, size)}) {
        // Lone surrogates have no encoding; a leading byte order mark is
        // read as no part of the text.
        if (!text.isValidUtf16() || text.startsWith(QChar::ByteOrderMark))
            continue;
        for (TextEncoding preferred : {TextEncoding::Latin1, TextEncoding::Utf8})
            FUZZ_CHECK(decodeFileBytes(encodeFileText(text, preferred)) == text,
                       "a written text reads back as written");
    }

    const std::optional<QByteArray> saved = loadAndSave(bytes);
    if (!saved)
        return 0;
    if (std::none_of(file.text.begin(), file.text.end(), breaksLines)) {
        FUZZ_CHECK(splitLines(decodeFileBytes(*saved)) == splitLines(file.text), "every line comes back, in order");
        if (uniformLineEnds(file.text))
            FUZZ_CHECK(*saved == bytes, "a file saved without an edit keeps its bytes");
    }
    FUZZ_CHECK(loadAndSave(*saved) == saved, "a second save changes nothing");
    return 0;
}
