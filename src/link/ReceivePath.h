#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "app/TerminalContext.h"

class SoundEffects;
class TerminalText;
class QWidget;

// What arrives from the box and what the user types: the comm event
// handler, the display routine ShowData with its watch for the automatic
// answers, the key handler with its column ruler, and the Clear and log
// book commands.
class ReceivePath : public QObject {
    Q_OBJECT
public:
    ReceivePath(TerminalContext& context, TerminalText& txtTerm, QWidget& frameHeadLine,
                SoundEffects& sounds, QObject* parent = nullptr);

    // The comm event handler for one line event; `received` holds the bytes
    // of a receive event.
    void onCommEvent(int code, const QByteArray& received = QByteArray());

    // Appends received text to the terminal window (and feeds the watch).
    void ShowData(const QString& text);

    // The key handler; true when the key was sent (the port is open).
    bool keyPressed(int code);

    void lblClear_Click();
    void lblLogbook_Click();

    // Run when the watch sees "klkl" (the automatic KLKL answer is on).
    std::function<void()> klklAnswer;
    // Run when the watch sees the broadcast service's prompt.
    std::function<void()> receiverListRequested;

    QString EventText;
    QString ErrorText;
    const QString& watchBuffer() const { return m_watch; }

private:
    TerminalContext& m_context;
    TerminalText& m_txtTerm;
    QWidget& m_frameHeadLine;
    SoundEffects& m_sounds;
    QString m_watch;
};
