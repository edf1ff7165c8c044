#include "archive/ArchiveRecorder.h"

#include "archive/ArchiveWriter.h"

#include <climits>

namespace {
const char SOH = 0x01;
const char DC3 = 0x13;
} // namespace

ArchiveRecorder::ArchiveRecorder(QString folder, std::function<QDateTime()> now, QObject* parent)
    : QObject(parent), m_now(std::move(now)), m_writer(new ArchiveWriter(std::move(folder), this))
{
    m_steady.start();
    m_quiet.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        apply(m_cutter.quietCheck(this->now()));
        scheduleQuietCheck();
    });
}

ArchiveRecorder::~ArchiveRecorder()
{
    cut();
}

void ArchiveRecorder::setQuietMs(qint64 ms)
{
    m_cutter.setQuietMs(ms);
    scheduleQuietCheck();
}

Moment ArchiveRecorder::now() const
{
    return Moment{m_now(), m_steady.elapsed()};
}

void ArchiveRecorder::recordShown(const QString& text, bool replacedLast)
{
    apply(m_cutter.feed(text, replacedLast, now()));
    scheduleQuietCheck();
}

void ArchiveRecorder::noteSent(const QByteArray& bytes)
{
    if (bytes.contains(SOH) || bytes.contains(DC3))
        cut();
}

void ArchiveRecorder::cut()
{
    apply(m_cutter.cut());
    m_quiet.stop();
}

void ArchiveRecorder::scheduleQuietCheck()
{
    const qint64 ms = m_cutter.msUntilQuiet(now());
    if (ms < 0)
        m_quiet.stop();
    else
        m_quiet.start(int(std::min<qint64>(ms, INT_MAX)));
}

void ArchiveRecorder::apply(const CutEvents& events)
{
    for (const CutEvent& event : events) {
        switch (event.kind) {
        case CutEvent::Kind::Started:
            m_current = ArchivedMessage();
            m_current.start = event.time;
            m_current.file = m_writer->begin(event.time);
            emit messageStarted(m_current.file, m_current.start);
            break;
        case CutEvent::Kind::Text:
            m_current.bytes += event.text.size();
            m_writer->append(event.text);
            break;
        case CutEvent::Kind::FirstLine:
            m_current.firstLine = event.text;
            m_writer->setFirstLine(event.text);
            emit firstLineKnown(m_current.file, event.text);
            break;
        case CutEvent::Kind::Ended:
            m_current.end = event.time;
            m_writer->finish(event.time);
            emit messageEnded(m_current);
            break;
        }
    }
}
