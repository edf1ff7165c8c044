#include "lists/ReceiverFile.h"

QString receiverNumber(const QString& numberField)
{
    qsizetype i = 0;
    while (i < numberField.size() && (numberField[i] == QLatin1Char(' ') || numberField[i] == QLatin1Char('\t')))
        ++i;
    // Leading zeros are not part of the number.
    while (i < numberField.size() && numberField[i] == QLatin1Char('0'))
        ++i;
    QString digits;
    while (i < numberField.size() && numberField[i] >= QLatin1Char('0') && numberField[i] <= QLatin1Char('9'))
        digits += numberField[i++];
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

QStringList receiverFileLines(const QStringList& receiverNumbers)
{
    QStringList lines;
    lines.reserve(receiverNumbers.size() + 1);
    for (const QString& number : receiverNumbers)
        lines << number + QLatin1Char(',');
    lines << (receiverNumbers.isEmpty() ? QStringLiteral("0") : receiverNumbers.last()) + QLatin1Char('+');
    return lines;
}

QString receiverFileText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}
