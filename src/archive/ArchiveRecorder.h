#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "archive/ArchiveStore.h"
#include "archive/MessageCutter.h"

class ArchiveWriter;

// Keeps what arrives from the line in the message archive: cuts it into
// messages (MessageCutter) and writes each one line by line (ArchiveWriter).
// The window and the station feed it alike: the received text as the
// terminal window shows it, the bytes sent (a dial or a close cuts the
// message), and a cut when the port closes or the program ends. Needs no
// display.
class ArchiveRecorder : public QObject {
    Q_OBJECT
public:
    // `folder`: the archive folder; `now`: the local time.
    ArchiveRecorder(QString folder, std::function<QDateTime()> now, QObject* parent = nullptr);
    // The message in progress is finished and written.
    ~ArchiveRecorder() override;

    void setQuietMs(qint64 ms);
    qint64 quietMs() const { return m_cutter.quietMs(); }

    // Received text as the window shows it (ReceivePath::lineTextShown).
    void recordShown(const QString& text, bool replacedLast);
    // Bytes that went on the line: a dial (SOH) or a close (DC3) ends the
    // message, the call's text starts a new one.
    void noteSent(const QByteArray& bytes);
    // Ends the message in progress now (the port closed, the program ends).
    void cut();

    bool inMessage() const { return m_cutter.inMessage(); }
    ArchiveWriter& writer() { return *m_writer; }

signals:
    void messageStarted(const QString& file, const QDateTime& start);
    // The first line with something visible in it, once it is complete.
    void firstLineKnown(const QString& file, const QString& line);
    // The message ended (its text handed to the writer, which may still
    // hold some back when the disk refuses it).
    void messageEnded(const ArchivedMessage& message);

private:
    Moment now() const;
    void apply(const CutEvents& events);
    void scheduleQuietCheck();

    std::function<QDateTime()> m_now;
    MessageCutter m_cutter;
    ArchiveWriter* m_writer;
    QElapsedTimer m_steady;
    QTimer m_quiet;
    ArchivedMessage m_current;
};
