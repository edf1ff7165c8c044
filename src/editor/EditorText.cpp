#include "editor/EditorText.h"

#include "core/DateText.h"

#include <QFileInfo>

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

QString fileTextFromEditorForm(const QString& text)
{
    QString file = text;
    file.replace(QChar('\n'), QStringLiteral("\r\n"));
    return file;
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
