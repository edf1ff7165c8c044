#include "puncher/Lettering.h"

#include <QHash>

namespace lettering {

namespace {

// The building blocks beside the plain letters, blanks and "#".
const QString F = QString(QChar(kFullColumn));                      // all five holes
const QString LF = QString(QChar(kEscape)) + QLatin1Char('J');      // hole 2
const QString CR = QString(QChar(kEscape)) + QLatin1Char('M');      // hole 4

// Each letter is drawn left to right, one column per character; every
// sequence ends with its gap "#". A blank is four blank columns.
QHash<QChar, QString> buildTable()
{
    return {
        {'A', "VSSV#"},
        {'B', F + "YYR#"},
        {'C', "CZZR#"},
        {'D', F + "ZZC#"},
        {'E', F + "YYZ#"},
        {'F', F + "SSE#"},
        {'G', "CZYF#"},
        {'H', F + "  " + F + "#"},
        {'I', "Z" + F + "Z#"},
        {'J', "NTTK#"},
        {'K', F + " RZ#"},
        {'L', F + "TTT#"},
        {'M', F + LF + " " + LF + F + "#"},
        {'N', F + LF + " " + F + "#"},
        {'O', "CZZC#"},
        {'P', F + "SSI#"},
        {'Q', "CZYCT#"},
        {'R', F + "SDL#"},
        {'S', "LYYD#"},
        {'T', "EE" + F + "EE#"},
        {'U', "KTTK#"},
        {'V', "ANTNA#"},
        {'W', "KTNTK#"},
        {'X', "ZR RZ#"},
        {'Y', "E" + LF + "M" + LF + "E#"},
        {'Z', "BYZWZ#"},
        {'1', "L" + F + "T#"},
        {'2', "LBYL#"},
        {'3', "DZYJ#"},
        {'4', " I" + F + " #"},
        {'5', "WYYD#"},
        {'6', "CYY" + CR + "#"},
        {'7', "AEXA#"},
        {'8', "RYYR#"},
        {'9', LF + "YYC#"},
        {'0', "CZZC#"}, // the same columns as O
        {'+', "  " + F + "  #"},
        {'-', "     #"},
        {'?', LF + "EY" + LF + "#"},
        {'/', "T" + CR + " " + LF + "E#"},
        {'\'', "A#"},
        {'(', "CZ#"},
        {'.', "T#"},
        {')', "ZC#"},
        {'&', "RYRH#"},
        {'=', "HHHH#"},
        {' ', "####"},
    };
}

} // namespace

QString sequenceFor(QChar upper)
{
    static const QHash<QChar, QString> table = buildTable();
    return table.value(upper);
}

} // namespace lettering

void Puncher(const QString& OriginString, QString& ConvertedString)
{
    using namespace lettering;
    QString sequence;
    sequence.reserve(OriginString.size() * 6 + kLeaderColumns + kTrailerColumns + 1);
    sequence += QChar(kLeadIn);
    sequence += QString(kLeaderColumns, QChar(kBlankColumn));
    for (const QChar character : OriginString)
        sequence += sequenceFor(character.toUpper());
    sequence += QString(kTrailerColumns, QChar(kBlankColumn));
    ConvertedString = sequence;
}
