#include "text/LineEncoding.h"

#include <QHash>

namespace {

const QHash<char16_t, QString>& safeSpellings()
{
    static const QHash<char16_t, QString> table = {
        {u'\u2018', "'"}, {u'\u2019', "'"}, {u'\u201A', "'"}, {u'\u201B', "'"},
        {u'\u2032', "'"}, {u'\u2039', "<"}, {u'\u203A', ">"},
        {u'\u201C', "\""}, {u'\u201D', "\""}, {u'\u201E', "\""}, {u'\u201F', "\""}, {u'\u2033', "\""},
        {u'\u2010', "-"}, {u'\u2011', "-"}, {u'\u2012', "-"}, {u'\u2013', "-"}, {u'\u2014', "-"},
        {u'\u2015', "-"}, {u'\u2212', "-"},
        {u'\u2026', "..."}, {u'\u2022', "*"}, {u'\u00B7', "."},
        {u'\u20AC', "EUR"}, {u'\u2122', "TM"}, {u'\u2030', "o/oo"},
        {u'\u2002', " "}, {u'\u2003', " "}, {u'\u2009', " "}, {u'\u200A', " "}, {u'\u202F', " "},
        {u'\u200B', ""}, {u'\uFEFF', ""}, {u'\u2028', "\r"}, {u'\u2029', "\r"},
        {u'\u0152', "OE"}, {u'\u0153', "oe"}, {u'\u0160', "S"}, {u'\u0161', "s"},
        {u'\u017D', "Z"}, {u'\u017E', "z"}, {u'\u0178', "Y"}, {u'\u0192', "f"},
        {u'\u0141', "L"}, {u'\u0142', "l"}, {u'\u0110', "D"}, {u'\u0111', "d"},
        {u'\u0131', "i"}, {u'\u02C6', "^"}, {u'\u02DC', "~"},
        {u'\u2192', "->"}, {u'\u2190', "<-"}, {u'\u21D2', "=>"}, {u'\u2194', "<->"},
        {u'\u2264', "<="}, {u'\u2265', ">="}, {u'\u2260', "<>"}, {u'\u2248', "~"},
        {u'\u2023', "*"}, {u'\u2043', "-"},
    };
    return table;
}

// The spelling of one character beyond Latin-1: the table, else its base
// letter when it is an accented form of a Latin-1 letter, else "?".
QString spellOne(QChar c)
{
    const auto& table = safeSpellings();
    if (const auto it = table.constFind(c.unicode()); it != table.constEnd())
        return *it;
    const QString decomposed = QString(c).normalized(QString::NormalizationForm_KD);
    QString base;
    for (const QChar part : decomposed) {
        if (part.unicode() < 0x80)
            base += part;
    }
    return base.isEmpty() ? QStringLiteral("?") : base;
}

} // namespace

QString spellBeyondLatin1(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() <= 0xFF) {
            out += c;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += '?'; // emoji and other characters outside the basic plane
            ++i;
        } else {
            out += spellOne(c);
        }
    }
    return out;
}

QByteArray toLineBytes(const QString& text)
{
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    return plain ? text.toLatin1() : spellBeyondLatin1(text).toLatin1();
}
