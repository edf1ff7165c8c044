// The date and time patterns every date and time of the program is written in.
#include "core/DateText.h"

#include <QtTest>

class DateTextTest : public QObject {
    Q_OBJECT
    const QLocale c = QLocale::c();
    const QDateTime afternoon{QDate(2026, 12, 4), QTime(15, 25, 47)};

private slots:
    void patterns()
    {
        const QDateTime newYear(QDate(2026, 1, 1), QTime(0, 5, 9)), noon(QDate(2026, 1, 1), QTime(12, 0));
        const std::tuple<QDateTime, QString, QString> cases[] = {
            {afternoon, "dd/mm/yyyy", "04/12/2026"}, {afternoon, "mm/dd/yyyy", "12/04/2026"},
            {afternoon, "dd.mm.yyyy", "04.12.2026"}, {afternoon, "d.m.yy", "4.12.26"},
            {afternoon, "ddd dddd mmm mmmm", "Fri Friday Dec December"},
            // Minutes: "n", or "m" after an hour, separators between allowed.
            {afternoon, "hh:nn:ss", "15:25:47"}, {afternoon, "hh:mm:ss", "15:25:47"},
            {afternoon, "h.mm", "15.25"}, {afternoon, "mm hh", "12 15"},
            // Twelve-hour clock with the half-day marker.
            {afternoon, "hh.mm.ss AMPM", "03.25.47 PM"}, {newYear, "hh.mm.ss AMPM", "12.05.09 AM"},
            {noon, "h:nn am/pm", "12:00 pm"},
            // Literal text.
            {afternoon, "\"day\" d \\at hh", "day 4 at 15"},
        };
        for (const auto& [when, pattern, text] : cases)
            QCOMPARE(formatDateText(when, pattern, c), text);
    }

    void separatorAndNamedFormats()
    {
        const QLocale german(QLocale::German, QLocale::Germany);
        const QString shortDate = german.toString(afternoon.date(), QLocale::ShortFormat);
        QCOMPARE(dateSeparator(german), QChar('.'));
        QCOMPARE(formatDateText(afternoon, "dd/mm/yyyy", german), QString("04.12.2026"));
        QCOMPARE(formatDateText(afternoon, "Short Date", german), shortDate);
        QVERIFY(formatDateText(afternoon, "", german).startsWith(shortDate));
        QCOMPARE(formatDateText(QDateTime(afternoon.date(), QTime(0, 0)), "", german), shortDate);
    }
};

QTEST_GUILESS_MAIN(DateTextTest)
#include "tst_datetext.moc"
