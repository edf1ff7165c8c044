#include "unattended/FarReply.h"

#include <QStringList>

QString printableReply(const QString& line)
{
    QString printable;
    for (const QChar c : line) {
        if (c.unicode() >= 32 && c.unicode() != 127)
            printable += c;
    }
    return printable.trimmed();
}

FarReply classifyFarReply(const QString& line, const QString& dialledDigits)
{
    static const QStringList kServiceSignals = {"occ", "nc", "nch", "np", "na", "der", "abs"};
    const QString text = printableReply(line);
    if (!std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetterOrNumber(); }))
        return FarReply::Ignored;
    QString compact = text;
    compact.remove(' ');
    QString digits = dialledDigits;
    digits.remove(' ');
    if (!digits.isEmpty() && compact.endsWith(digits))
        return FarReply::Ignored;
    if (kServiceSignals.contains(text.toLower()))
        return FarReply::CallFailed;
    return FarReply::Answerback;
}
