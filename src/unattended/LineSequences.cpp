#include "unattended/LineSequences.h"

#include "core/VbText.h"

namespace {
// Numbers above this one are network numbers and go out behind the prefix.
constexpr double kHighestLocalNumber = 85;
} // namespace

QString callNumberSequence(const QString& number, qint16 dialPrefix)
{
    const double value = leadingNumber(number);
    QString sequence(QChar(1)); // SOH
    if (value > kHighestLocalNumber)
        sequence += vbStr(qint64(dialPrefix)) + number;
    else
        sequence += vbStr(value);
    return sequence;
}
