#pragma once

#include <QFont>
#include <QColor>
#include <QString>
#include <QUrl>
#include <optional>

// Every message box, question, beep, file and font dialog of the program goes
// through this seam. The program shows real dialogs; tests install a scripted
// double that records what was asked and answers from a script.
class Dialogs {
public:
    enum class Icon { None, Information, Exclamation, Question, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, AbortRetryIgnore };
    enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

    struct FileRequest {
        QString title;
        // Filter in the "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" form.
        QString filter;
        QString startFolder;
        QString proposedName;
        QString defaultSuffix;
    };

    struct FontChoice {
        QFont font;
        QColor color;
    };

    virtual ~Dialogs() = default;

    // Shows a message box and returns the button pressed. An empty title means
    // the application title.
    virtual Answer message(const QString& text, Icon icon = Icon::None, Buttons buttons = Buttons::Ok,
                           Answer defaultAnswer = Answer::Ok, const QString& title = QString()) = 0;
    virtual void beep() = 0;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString openFile(const FileRequest& request) = 0;
    virtual QString saveFile(const FileRequest& request) = 0;
    // The chosen font, or nothing when the user cancelled.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& preset) = 0;
    // Hands a file or web address to the desktop (the user's text editor or
    // browser); false when nothing could open it.
    virtual bool openExternal(const QUrl& url) = 0;

    // Shorthand for the common "error text with the exclamation icon".
    void warn(const QString& text) { message(text, Icon::Exclamation); }
};

// The application title: the settings-store name and every message box title.
inline const QString kAppTitle = QStringLiteral("Quillnet USB Terminal");
