#include "station/StationLog.h"

#include <QTextStream>

StationLog::StationLog(QTextStream& out, bool onTerminal, std::function<QDateTime()> now)
    : m_out(out), m_onTerminal(onTerminal), m_now(std::move(now))
{
}

void StationLog::write(Priority priority, const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    if (m_onTerminal)
        m_out << m_now().toString(QStringLiteral("HH:mm:ss ")) << line.simplified() << Qt::endl;
    else
        m_out << '<' << int(priority) << '>' << line.simplified() << Qt::endl;
}
