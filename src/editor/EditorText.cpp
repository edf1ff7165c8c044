#include "editor/EditorText.h"

#include "core/DateText.h"

#include <QFileInfo>
#include <QTextDocument>

namespace editortext {

QString rulerText()
{
    return QString("1234567890").repeated(kLineWidth / 10 + 1).left(kLineWidth);
}

LoadedText textFromLines(const QStringList& lines)
{
    LoadedText loaded;
    for (const QString& line : lines) {
        loaded.text += line;
        loaded.text += QStringLiteral("\r\n");
        if (loaded.text.size() >= kLoadLimit) {
            loaded.text.clear();
            loaded.tooLarge = true;
            break;
        }
    }
    return loaded;
}

QString editorFormFromFileText(const QString& text)
{
    QString form = text;
    form.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    form.replace(QChar('\r'), QChar('\n'));
    return form;
}

FileForm fileFormOf(const DecodedText& file)
{
    FileForm form;
    form.encoding = file.encoding;
    if (file.text.contains(QChar('\n')) && !file.text.contains(QChar('\r')))
        form.lineEnd = QStringLiteral("\n");
    form.byteOrderMark = file.byteOrderMark;
    return form;
}

QString fileTextFromEditorForm(const QString& text, const FileForm& form)
{
    QString file = text;
    file.replace(QChar('\n'), form.lineEnd);
    if (form.byteOrderMark)
        file.prepend(QChar::ByteOrderMark);
    return file;
}

QString editorText(const QTextDocument& document)
{
    // toPlainText() would turn a non-breaking space into a blank.
    QString text = document.toRawText();
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        // Paragraph and line separators, and the frame marks 0xFDD0 and 0xFDD1.
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator || code == 0xFDD0 || code == 0xFDD1)
            c = QChar('\n');
    }
    return text;
}

QString modeStatusText(int mode)
{
    switch (mode) {
    case 0:
        return QStringLiteral("You are editing the default Message  ");
    case 1:
        return QStringLiteral("You are editing the configuration file ! ");
    case 2:
        return QStringLiteral("You are editing the Preset Phrases ");
    default:
        return QString();
    }
}

bool keyEnabled(int mode, const QString& key)
{
    switch (mode) {
    case 0:
        return key != "open" && key != "print";
    case 1:
        return key == "save" || key == "exit" || key == "help";
    case 2:
        return key != "new" && key != "open" && key != "saveas" && key != "print";
    default:
        return true;
    }
}

QString windowCaption(const QString& fileName)
{
    return QStringLiteral("Quillnet Editor Quillnet 2022  ") + " / " + fileName;
}

bool needsSaveDialog(const QString& fileName)
{
    return fileName == kNewDocument || QFileInfo(fileName).fileName().trimmed().isEmpty();
}

QString timeText(const QDateTime& when)
{
    return when.time().toString("hh:mm:ss");
}

QString dateText(const QDateTime& when)
{
    return formatDateText(when, "dd/mm/yyyy");
}

} // namespace editortext
