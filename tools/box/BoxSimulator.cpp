#include "BoxSimulator.h"

#include <QRegularExpression>

namespace {
const char SOH = 1, BEL = 7, TAB = 9, LF = 10, VT = 11, FF = 12, CR = 13, SO = 14, SI = 15, DC1 = 17,
           DC3 = 19, DC4 = 20, ETB = 23, ESC = 27;

QString describe(char byte)
{
    const unsigned char c = static_cast<unsigned char>(byte);
    if (c >= 32 && c < 127)
        return QString(QChar(c));
    return QStringLiteral("<%1>").arg(c, 2, 16, QChar('0'));
}
} // namespace

BoxSimulator::BoxSimulator(Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options))
{
    m_printer.setInterval(std::max(0, m_options.charDelayMs));
    connect(&m_printer, &QTimer::timeout, this, &BoxSimulator::flushOne);
    m_dialTimer.setSingleShot(true);
    m_dialTimer.setInterval(m_options.dialDelayMs);
    connect(&m_dialTimer, &QTimer::timeout, this, &BoxSimulator::dial);
    connect(&m_deliveryTimer, &QTimer::timeout, this, &BoxSimulator::deliverNext);
}

QStringList BoxSimulator::messagesOf(const QString& fileText)
{
    QString text = fileText;
    text.replace("\r\n", "\n").replace('\r', '\n');
    QStringList messages;
    QString message;
    for (const QString& line : text.split('\n')) {
        if (line.trimmed() == "---") {
            messages << message;
            message.clear();
        } else {
            message += line + "\n";
        }
    }
    messages << message;
    for (QString& m : messages) {
        while (m.endsWith("\n\n"))
            m.chop(1);
    }
    messages.removeIf([](const QString& m) { return m.trimmed().isEmpty(); });
    return messages;
}

void BoxSimulator::deliver(const QStringList& messages, int paceMs, int quietMs)
{
    for (QString text : messages) {
        text.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
        m_deliveries.append({text.toLatin1(), std::max(0, paceMs), std::max(0, quietMs)});
    }
    if (!m_deliveryTimer.isActive())
        deliverNext();
}

void BoxSimulator::deliverNext()
{
    if (m_deliveredAt >= m_delivery.text.size()) {
        // The quiet after a message is over (or nothing went out yet).
        if (m_deliveries.isEmpty()) {
            m_deliveryTimer.stop();
            return;
        }
        m_delivery = m_deliveries.takeFirst();
        m_deliveredAt = 0;
        emit logLine(QStringLiteral("delivering message %1 (%2 characters)").arg(m_delivered + 1).arg(m_delivery.text.size()));
    }
    const qsizetype count = m_delivery.paceMs > 0 ? 1 : m_delivery.text.size() - m_deliveredAt;
    emit output(m_delivery.text.mid(m_deliveredAt, count));
    m_deliveredAt += count;
    if (m_deliveredAt < m_delivery.text.size()) {
        m_deliveryTimer.start(m_delivery.paceMs);
        return;
    }
    emit logLine(QStringLiteral("delivered message %1").arg(++m_delivered));
    // Quiet until the next message.
    m_deliveryTimer.start(m_delivery.quietMs);
}

void BoxSimulator::receive(const QByteArray& bytes)
{
    QString shown;
    for (const char byte : bytes)
        shown += describe(byte);
    emit logLine("from terminal: " + shown);
    for (const char byte : bytes)
        handle(byte);
}

void BoxSimulator::farSays(const QString& text)
{
    print(text);
}

void BoxSimulator::print(const QString& text)
{
    QString withLineFeeds = text;
    withLineFeeds.replace("\r\n", "\r").replace('\r', "\r\n");
    m_pending += withLineFeeds.toLatin1();
    if (m_options.charDelayMs <= 0) {
        emit output(m_pending);
        m_pending.clear();
    } else if (!m_printer.isActive()) {
        m_printer.start();
    }
}

void BoxSimulator::flushOne()
{
    if (m_pending.isEmpty()) {
        m_printer.stop();
        return;
    }
    emit output(m_pending.left(1));
    m_pending.remove(0, 1);
}

void BoxSimulator::handle(char byte)
{
    if (m_escape) {
        m_escape = false;
        if (byte == 'M')
            print("\r");
        else if (byte == 'J')
            print("\n");
        return;
    }
    if (m_state == State::Broadcast && takeListByte(byte))
        return;
    // "+?" is the go-ahead; a lone "+" is printed like any character.
    if (m_plus) {
        m_plus = false;
        if (byte == '?') {
            if (m_state == State::Connected)
                farAnswerAfterGoAhead();
            return;
        }
        typed('+');
    }

    if (m_state == State::Dialling) {
        if (byte == ' ' || (byte >= '0' && byte <= '9')) {
            if (byte != ' ')
                m_number += QChar(byte);
            print(QString(QChar(byte)));
            m_dialTimer.start();
            return;
        }
        if (byte == CR && !m_number.isEmpty()) {
            m_dialTimer.stop();
            dial();
            return;
        }
    }

    switch (byte) {
    case SOH:
        ++m_call;
        m_state = State::Dialling;
        m_number.clear();
        print("\r\nnr? ");
        return;
    case DC3:
        hangUp("cleared");
        return;
    case ETB:
        print("\r\n" + (m_state == State::Connected ? farAnswerback() : m_options.ownAnswerback) + "\r\n");
        return;
    case TAB:
        print("\r\n" + m_options.ownAnswerback + "\r\n");
        return;
    case BEL:
        print(QString(QChar(BEL)));
        return;
    case SI:
    case SO:
        return; // figures and letters shift: nothing to print here
    case ESC:
        m_escape = true;
        return;
    case FF:
        hangUp("local");
        return;
    case DC1:
        print("\r\nno recorded messages\r\n");
        return;
    case DC4:
        print(QStringLiteral("\r\nstatus: vornak-box simulator, line %1\r\n")
                  .arg(m_state == State::Idle ? "free" : "busy"));
        return;
    case VT:
        print("\r\nconfiguration: vornak-box simulator, no settings to change\r\n");
        return;
    case '+':
        m_plus = true;
        return;
    case LF:
        print("\n");
        return;
    default:
        break;
    }

    typed(byte);
}

void BoxSimulator::typed(char byte)
{
    // Printed back as the teleprinter prints it, and noted by the far side.
    print(QString(QChar(static_cast<unsigned char>(byte))));
    if (m_state == State::Connected)
        m_line += QChar(static_cast<unsigned char>(byte));
}

bool BoxSimulator::takeListByte(char byte)
{
    const bool listByte = (byte >= '0' && byte <= '9') || byte == ',' || byte == '+' || byte == ' ' || byte == CR
                          || byte == LF;
    if (!listByte)
        return false;
    print(byte == LF ? QStringLiteral("\n") : QString(QChar(byte)));
    m_broadcastList += QChar(byte);
    if (byte == CR) {
        const QString line = m_broadcastList.section(QChar(CR), -2, -2).trimmed();
        if (!line.isEmpty())
            emit logLine("list line: " + line);
    } else if (byte == '+') {
        listReceived();
    }
    return true;
}

void BoxSimulator::listReceived()
{
    // The list names each receiver once, then the last one again with the
    // plus sign that ends it; "0" stands for nobody. Leading zeros do not
    // make another number.
    QStringList entries;
    for (const QString& entry : m_broadcastList.split(QRegularExpression("[,+]"), Qt::SkipEmptyParts)) {
        QString number = entry.trimmed();
        while (number.size() > 1 && number.startsWith('0'))
            number.remove(0, 1);
        if (!number.isEmpty() && number != "0")
            entries << number;
    }
    QStringList receivers = entries;
    receivers.removeDuplicates();
    const QString lastLine = m_broadcastList.section(QChar(CR), -1).trimmed();
    emit logLine("list line: " + lastLine);
    emit logLine(QStringLiteral("receiver list: %1 (%2 receivers)")
                     .arg(entries.isEmpty() ? QStringLiteral("none") : entries.join(','))
                     .arg(receivers.size()));
    m_broadcastList.clear();
    m_state = State::Connected;
    m_line.clear();
    QString noted = QStringLiteral("%1 %2 noted").arg(receivers.size()).arg(receivers.size() == 1 ? "receiver" : "receivers");
    if (!receivers.isEmpty())
        noted += ": " + receivers.join(' ');
    print("\r\n" + noted + "\r\nsend your message, end with +++\r\n");
}

int BoxSimulator::serviceFor(const QString& dialled, const Options& options)
{
    for (int i = 0; i < options.broadcastServices.size(); ++i) {
        const QString& number = options.broadcastServices[i].number;
        if (dialled == number || dialled == options.dialPrefix + number)
            return i;
    }
    return -1;
}

void BoxSimulator::askForReceivers(int service)
{
    const BroadcastService& called = m_options.broadcastServices[service];
    m_state = State::Broadcast;
    m_broadcastList.clear();
    emit logLine("broadcast service " + called.number);
    print(QStringLiteral("\r\n%1 rundsenden d\r\n").arg(called.number) + called.promptHead);
    emit logLine("prompt: " + called.promptHead);
    if (m_options.promptPauseMs <= 0) {
        print(called.promptTail);
        emit logLine("prompt: " + called.promptTail);
        return;
    }
    // The second piece follows once the first has been printed and a pause
    // has passed, unless the call has ended meanwhile.
    const int call = m_call;
    const int printing = std::max(0, m_options.charDelayMs) * int(m_pending.size());
    QTimer::singleShot(printing + m_options.promptPauseMs, this, [this, call, tail = called.promptTail] {
        if (call != m_call || m_state != State::Broadcast)
            return;
        print(tail);
        emit logLine("prompt: " + tail);
    });
}

void BoxSimulator::dial()
{
    if (m_state != State::Dialling)
        return;
    if (m_number.isEmpty()) {
        m_state = State::Idle;
        return;
    }
    emit logLine("dialling " + m_number);
    const int service = serviceFor(m_number, m_options);
    if (service >= 0) {
        askForReceivers(service);
        return;
    }
    m_state = State::Connected;
    m_line.clear();
    print("\r\n" + farAnswerback() + "\r\n");
}

void BoxSimulator::farAnswerAfterGoAhead()
{
    const int typed = int(m_line.size());
    m_line.clear();
    print(QStringLiteral("\r\n%1\r\nthank you, %2 characters received here. klkl\r\n")
              .arg(farAnswerback()).arg(typed));
}

void BoxSimulator::hangUp(const QString& why)
{
    m_dialTimer.stop();
    ++m_call;
    if (m_state != State::Idle)
        emit logLine(why + " " + m_number);
    m_state = State::Idle;
    m_number.clear();
    print("\r\n" + why + "\r\n");
}

QString BoxSimulator::farAnswerback() const
{
    return m_number + " demo d";
}
