#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Formats a date and time with the pattern language every date and time of
// the program is written in (the DateFormat of the configuration file,
// "hh:nn:ss", "dd/mm/yyyy", "hh.mm.ss AMPM"):
//   d dd ddd dddd   day, two-digit day, short and long weekday name
//   m mm mmm mmmm   month, two-digit month, short and long month name;
//                   m or mm right after an hour (h, hh; separators may stand
//                   between) means minutes
//   yy yyyy         two- and four-digit year; y day of the year
//   h hh            hour (12-hour when an AM/PM marker is in the pattern)
//   n nn            minutes; s ss seconds
//   AMPM AM/PM am/pm A/P a/p   the half-day marker
//   /               the locale's date separator; :  the time separator
//   \x  "text"      literal characters
// The named formats "General Date", "Long Date", "Short Date", "Long Time",
// "Short Time" and an empty pattern use the locale's forms.
QString formatDateText(const QDateTime& when, const QString& pattern,
                       const QLocale& locale = QLocale::system());

// The locale's date separator (the first non-letter of its short date).
QChar dateSeparator(const QLocale& locale);
