#include "ScriptedDialogs.h"

Dialogs::Answer ScriptedDialogs::message(const QString& text, Icon icon, Buttons buttons,
                                         Answer defaultAnswer, const QString& title)
{
    const Asked entry{text, icon, buttons, defaultAnswer, title};
    asked << entry;
    events << text;
    if (onMessage)
        onMessage(entry);
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

QString ScriptedDialogs::openFile(const FileRequest& request)
{
    fileRequests << request;
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedDialogs::saveFile(const FileRequest& request)
{
    fileRequests << request;
    return files.isEmpty() ? QString() : files.takeFirst();
}

std::optional<Dialogs::FontChoice> ScriptedDialogs::chooseFont(const FontChoice& preset)
{
    fontPreset = preset;
    auto chosen = font;
    font.reset();
    return chosen;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Asked& entry : asked)
        out << entry.text;
    return out;
}

void ScriptedDialogs::clear()
{
    asked.clear();
    fileRequests.clear();
    events.clear();
    beeps = 0;
}
