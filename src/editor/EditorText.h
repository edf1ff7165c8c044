#pragma once

#include "core/TextFiles.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class QTextDocument;

// The message editor's rules without any widget: what a file becomes in the
// editor, the texts of the edit modes, which commands each mode offers, and
// the small texts the editor shows and inserts.
namespace editortext {

// A telex line holds 68 characters; the ruler and the column indicator show it.
constexpr int kLineWidth = 68;
// A file whose text (with CR LF after every line) reaches this many
// characters is refused.
constexpr int kLoadLimit = 30000;

// The name of an unnamed text.
inline const QString kNewDocument = QStringLiteral("New document");

// The command keys, in the order of the command bar.
inline const QStringList kKeys = {"new", "open", "save", "saveas", "print", "exit", "help", "time", "date"};

// "1234567890" repeated and cut after 68 characters.
QString rulerText();

// The text a file's lines make in the editor: each line followed by CR LF.
// Refused (tooLarge, no text) as soon as the text built so far reaches the
// load limit.
struct LoadedText {
    QString text;
    bool tooLarge = false;
};
LoadedText textFromLines(const QStringList& lines);

// How a file keeps its text: its encoding, its line end and its byte order
// mark. A file is saved the way it was read, so one loaded and saved
// unchanged keeps its bytes: a UTF-8 file stays UTF-8, a file of LF line
// ends keeps them, a UTF-8 byte order mark stays. Files with CR LF, CR or
// mixed line ends, new files and files without a line end are saved with
// CR LF.
struct FileForm {
    TextEncoding encoding = TextEncoding::Latin1;
    QString lineEnd = QStringLiteral("\r\n");
    bool byteOrderMark = false;
};
FileForm fileFormOf(const DecodedText& file);

// The editor shows line ends as line breaks; files hold the file's line end.
QString editorFormFromFileText(const QString& text);
QString fileTextFromEditorForm(const QString& text, const FileForm& form = {});
// The text of the editor's document, every character as it stands (a
// non-breaking space stays one), its line breaks as LF.
QString editorText(const QTextDocument& document);

// The status text of an edit mode (followed by the file path), empty when
// the mode has none.
QString modeStatusText(int mode);
// Whether a command key is enabled in an edit mode.
bool keyEnabled(int mode, const QString& key);

// The window caption for the file being edited.
QString windowCaption(const QString& fileName);

// A file name that needs the save dialog: the unnamed text, or a path whose
// file name is blank (the free editor opened without choosing a file).
bool needsSaveDialog(const QString& fileName);

// What "time" and "date" append: "hh:mm:ss" on the 24-hour clock, and the
// date day first with the locale's date separator.
QString timeText(const QDateTime& when);
QString dateText(const QDateTime& when);

// The column indicator is green up to the end of a telex line.
inline bool columnFits(int column)
{
    return column <= kLineWidth;
}

} // namespace editortext
