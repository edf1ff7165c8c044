#include "link/LineSequences.h"

#include "core/VbText.h"

namespace {
// Numbers above this one are network numbers and go out behind the prefix.
constexpr double kHighestLocalNumber = 85;
} // namespace

QString dialledNumber(const QString& number, qint16 dialPrefix)
{
    const double value = leadingNumber(number);
    return value > kHighestLocalNumber ? vbStr(qint64(dialPrefix)) + number : vbStr(value);
}

QString callNumberSequence(const QString& number, qint16 dialPrefix)
{
    return kDialSequence + dialledNumber(number, dialPrefix);
}
