#pragma once

#include "core/Dialogs.h"

#include <memory>

class QMessageBox;
class QWidget;

// The real dialogs: QMessageBox, QFileDialog and QFontDialog.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parentWindow = nullptr) : m_parent(parentWindow) {}
    void setParentWindow(QWidget* parentWindow) { m_parent = parentWindow; }

    Answer message(const QString& text, Icon icon, Buttons buttons, Answer defaultAnswer,
                   const QString& title) override;
    void beep() override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontChoice& preset) override;
    bool openExternal(const QUrl& url) override;

    // The box message() shows, made but not shown. Its text is plain.
    static std::unique_ptr<QMessageBox> messageBox(const QString& text, Icon icon, Buttons buttons,
                                                   Answer defaultAnswer, const QString& title, QWidget* parent);

    // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" -> "Text Files (*.txt);;All Files (*)".
    static QString qtFilter(const QString& filter);

private:
    QString runFileDialog(const FileRequest& request, bool saving);

    QWidget* m_parent;
};
