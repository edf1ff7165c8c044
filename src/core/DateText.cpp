#include "core/DateText.h"

namespace {

int runLength(const QString& s, int i, QChar c)
{
    int n = 0;
    while (i + n < s.size() && s[i + n].toLower() == c)
        ++n;
    return n;
}

bool startsWithAt(const QString& s, int i, const QString& token)
{
    return s.mid(i, token.size()).compare(token, Qt::CaseInsensitive) == 0;
}

bool hasHalfDayMarker(const QString& pattern)
{
    return pattern.contains("AMPM", Qt::CaseInsensitive) || pattern.contains("AM/PM", Qt::CaseInsensitive)
           || pattern.contains("A/P", Qt::CaseInsensitive);
}

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, '0');
}

QString namedFormat(const QDateTime& when, const QString& pattern, const QLocale& locale, bool* known)
{
    *known = true;
    const QString name = pattern.trimmed().toLower();
    if (name.isEmpty() || name == "general date") {
        const QString date = locale.toString(when.date(), QLocale::ShortFormat);
        return when.time() == QTime(0, 0) ? date : date + " " + locale.toString(when.time(), QLocale::LongFormat);
    }
    if (name == "long date")
        return locale.toString(when.date(), QLocale::LongFormat);
    if (name == "short date")
        return locale.toString(when.date(), QLocale::ShortFormat);
    if (name == "long time")
        return locale.toString(when.time(), QLocale::LongFormat);
    if (name == "short time")
        return when.time().toString("hh:mm");
    *known = false;
    return QString();
}

} // namespace

QChar dateSeparator(const QLocale& locale)
{
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        if (!c.isLetter() && c != '\'' && !c.isSpace())
            return c;
    }
    return '/';
}

QString formatDateText(const QDateTime& when, const QString& pattern, const QLocale& locale)
{
    bool known = false;
    const QString named = namedFormat(when, pattern, locale, &known);
    if (known)
        return named;

    const QDate date = when.date();
    const QTime time = when.time();
    const bool twelveHour = hasHalfDayMarker(pattern);
    QString out;
    bool afterHour = false; // an hour token came last (only literals since)

    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        const QChar lower = c.toLower();

        if (startsWithAt(pattern, i, "AMPM")) {
            out += time.hour() < 12 ? locale.amText() : locale.pmText();
            i += 4;
            afterHour = false;
        } else if (startsWithAt(pattern, i, "AM/PM")) {
            const QString marker = time.hour() < 12 ? "AM" : "PM";
            out += c.isUpper() ? marker : marker.toLower();
            i += 5;
            afterHour = false;
        } else if (startsWithAt(pattern, i, "A/P")) {
            const QString marker = time.hour() < 12 ? "A" : "P";
            out += c.isUpper() ? marker : marker.toLower();
            i += 3;
            afterHour = false;
        } else if (c == '\\' && i + 1 < pattern.size()) {
            out += pattern[i + 1];
            i += 2;
        } else if (c == '"') {
            const int end = pattern.indexOf('"', i + 1);
            const int stop = end < 0 ? pattern.size() : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
        } else if (lower == 'd') {
            const int n = runLength(pattern, i, 'd');
            if (n == 1) out += QString::number(date.day());
            else if (n == 2) out += twoDigits(date.day());
            else if (n == 3) out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else if (n == 4) out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
            else if (n == 5) out += locale.toString(date, QLocale::ShortFormat);
            else out += locale.toString(date, QLocale::LongFormat);
            i += n;
            afterHour = false;
        } else if (lower == 'm') {
            const int n = runLength(pattern, i, 'm');
            if (afterHour && n <= 2) out += n == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            else if (n == 1) out += QString::number(date.month());
            else if (n == 2) out += twoDigits(date.month());
            else if (n == 3) out += locale.monthName(date.month(), QLocale::ShortFormat);
            else out += locale.monthName(date.month(), QLocale::LongFormat);
            i += n;
            afterHour = false;
        } else if (lower == 'y') {
            const int n = runLength(pattern, i, 'y');
            if (n == 1) out += QString::number(date.dayOfYear());
            else if (n == 2) out += twoDigits(date.year() % 100);
            else if (n == 3) out += twoDigits(date.year() % 100) + QString::number(date.dayOfYear());
            else out += QString::number(date.year()).rightJustified(4, '0');
            i += n;
            afterHour = false;
        } else if (lower == 'h') {
            const int n = runLength(pattern, i, 'h');
            int hour = time.hour();
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += n == 1 ? QString::number(hour) : twoDigits(hour);
            i += n;
            afterHour = true;
        } else if (lower == 'n') {
            const int n = runLength(pattern, i, 'n');
            out += n == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            i += n;
            afterHour = false;
        } else if (lower == 's') {
            const int n = runLength(pattern, i, 's');
            out += n == 1 ? QString::number(time.second()) : twoDigits(time.second());
            i += n;
            afterHour = false;
        } else if (lower == 'w') {
            const int n = runLength(pattern, i, 'w');
            out += n == 1 ? QString::number(date.dayOfWeek() % 7 + 1) : QString::number(date.weekNumber());
            i += n;
            afterHour = false;
        } else if (lower == 'q') {
            out += QString::number((date.month() - 1) / 3 + 1);
            ++i;
            afterHour = false;
        } else if (c == '/') {
            out += dateSeparator(locale);
            ++i;
        } else {
            // Separators and other characters stand for themselves and keep
            // an hour in force, so "hh:mm" and "hh.mm" read minutes.
            out += c;
            ++i;
        }
    }
    return out;
}
