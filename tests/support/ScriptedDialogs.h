#pragma once

#include "core/Dialogs.h"

#include <QList>

#include <QStringList>
#include <functional>

// The dialogs double of the tests: records every message, beep and file
// dialog, and answers from a script. Without a scripted answer a message
// box answers with its default button and a file dialog is cancelled.
class ScriptedDialogs : public Dialogs {
public:
    struct Asked {
        QString text;
        Icon icon;
        Buttons buttons;
        Answer defaultAnswer;
        QString title;
    };

    Answer message(const QString& text, Icon icon, Buttons buttons, Answer defaultAnswer,
                   const QString& title) override;
    void beep() override { ++beeps; events << "beep"; }
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontChoice& preset) override;
    bool openExternal(const QUrl& url) override
    {
        opened << url;
        return openSucceeds;
    }

    // Answers for the next message boxes, in order.
    QList<Answer> answers;
    // Paths for the next file dialogs, in order ("" = cancelled).
    QStringList files;
    // A font for the next font dialog; nothing = cancelled.
    std::optional<FontChoice> font;
    // What the last font dialog opened on.
    std::optional<FontChoice> fontPreset;
    // Called while a message box is "open" (before it answers).
    std::function<void(const Asked&)> onMessage;

    // Addresses handed to the desktop, and whether that works.
    QList<QUrl> opened;
    bool openSucceeds = true;

    QList<Asked> asked;
    QList<FileRequest> fileRequests;
    int beeps = 0;
    // Beeps and message texts in the order they happened ("beep" for a beep).
    QStringList events;

    QStringList texts() const;
    void clear();
};
