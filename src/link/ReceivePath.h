#pragma once

#include <QObject>
#include <QString>

class CommandHost;

// What arrives from the box: the comm event handler, the display routine
// ShowData with its watch for the automatic answers, and the Clear and log
// book commands. The watch signals when the far side asks for the KLKL
// answer or the broadcast service asks for the receiver list; the parts
// that answer listen.
class ReceivePath : public QObject {
    Q_OBJECT
public:
    explicit ReceivePath(CommandHost& host, QObject* parent = nullptr);

    // The comm event handler for one line event; `received` holds the bytes
    // of a receive event.
    void onCommEvent(int code, const QByteArray& received = QByteArray());

    // Appends received text to the terminal window (and feeds the watch).
    void ShowData(const QString& text);

    void lblClear_Click();
    void lblLogbook_Click();

    QString EventText;
    QString ErrorText;
    const QString& watchBuffer() const { return m_watch; }

signals:
    // The watch saw "klkl" while the automatic answer is on (KlklBusy is
    // set while the answer runs from this signal).
    void klklRequested();
    // The watch saw the broadcast service's prompt while a broadcast call
    // is pending.
    void receiverListRequested();
    // Text that came over the line went into the window, as the window
    // shows it (backspaces applied, CR LF line ends); with `replacedLast` it
    // took the place of the window's last character. Texts the program
    // writes into the window itself (a dialled name) are not line traffic
    // and are not reported.
    void lineTextShown(const QString& text, bool replacedLast);

private:
    void showText(const QString& text, bool fromLine);
    // Drops the first `count` characters of the watch buffer.
    void forgetWatched(qsizetype count);

    CommandHost& m_host;
    // What the watches look at, and where in it the text begins that came
    // while the KLKL watch was on.
    QString m_watch;
    qsizetype m_klklFrom = 0;
    bool m_keySoundHeld = false;
};
