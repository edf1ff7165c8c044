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

private:
    CommandHost& m_host;
    QString m_watch;
};
