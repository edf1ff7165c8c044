// The date and time patterns every date and time of the program is written in.
#include "core/DateText.h"

#include <QtTest>

class DateTextTest : public QObject {
    Q_OBJECT

private slots:
    void patterns()
    {
        const QLocale c = QLocale::c(), german(QLocale::German, QLocale::Germany);
        const QDate day(2026, 12, 4);
        const QDateTime afternoon(day, QTime(15, 25, 47)), midnight(day, QTime(0, 0)),
            newYear(QDate(2026, 1, 1), QTime(0, 5, 9)), noon(QDate(2026, 1, 1), QTime(12, 0));
        const QString shortDate = german.toString(day, QLocale::ShortFormat);
        const std::tuple<QDateTime, QString, QLocale, QString> cases[] = {
            {afternoon, "dd/mm/yyyy", c, "04/12/2026"}, {afternoon, "d.m.yy", c, "4.12.26"},
            {afternoon, "ddd dddd mmm mmmm", c, "Fri Friday Dec December"},
            // Minutes: "n", or "m" after an hour, separators between allowed.
            {afternoon, "hh:nn:ss", c, "15:25:47"}, {afternoon, "hh:mm:ss", c, "15:25:47"},
            {afternoon, "mm hh", c, "12 15"},
            // Twelve-hour clock with the half-day marker.
            {afternoon, "hh.mm.ss AMPM", c, "03.25.47 PM"}, {newYear, "hh.mm.ss AMPM", c, "12.05.09 AM"},
            {noon, "h:nn am/pm", c, "12:00 pm"},
            // Literal text.
            {afternoon, "\"day\" d \\at hh", c, "day 4 at 15"},
            // "/" is the locale's date separator; the named formats are the locale's.
            {afternoon, "dd/mm/yyyy", german, "04.12.2026"}, {afternoon, "Short Date", german, shortDate},
            {midnight, "", german, shortDate},
        };
        for (const auto& [when, pattern, locale, text] : cases)
            QCOMPARE(formatDateText(when, pattern, locale), text);
        // No pattern: the date, and the time when there is one.
        QVERIFY(formatDateText(afternoon, "", german).startsWith(shortDate + " "));
    }
};

QTEST_GUILESS_MAIN(DateTextTest)
#include "tst_datetext.moc"
