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
        QCOMPARE(formatDateText(afternoon, "dd/mm/yyyy", c), QString("04/12/2026"));
        QCOMPARE(formatDateText(afternoon, "mm/dd/yyyy", c), QString("12/04/2026"));
        QCOMPARE(formatDateText(afternoon, "dd.mm.yyyy", c), QString("04.12.2026"));
        QCOMPARE(formatDateText(afternoon, "d.m.yy", c), QString("4.12.26"));
        QCOMPARE(formatDateText(afternoon, "ddd dddd mmm mmmm", c), QString("Fri Friday Dec December"));
        // Minutes: "n", or "m" after an hour, separators between allowed.
        QCOMPARE(formatDateText(afternoon, "hh:nn:ss", c), QString("15:25:47"));
        QCOMPARE(formatDateText(afternoon, "hh:mm:ss", c), QString("15:25:47"));
        QCOMPARE(formatDateText(afternoon, "h.mm", c), QString("15.25"));
        QCOMPARE(formatDateText(afternoon, "mm hh", c), QString("12 15"));
        // Twelve-hour clock with the half-day marker.
        QCOMPARE(formatDateText(afternoon, "hh.mm.ss AMPM", c), QString("03.25.47 PM"));
        QCOMPARE(formatDateText(QDateTime(QDate(2026, 1, 1), QTime(0, 5, 9)), "hh.mm.ss AMPM", c),
                 QString("12.05.09 AM"));
        QCOMPARE(formatDateText(QDateTime(QDate(2026, 1, 1), QTime(12, 0)), "h:nn am/pm", c), QString("12:00 pm"));
        // Literal text.
        QCOMPARE(formatDateText(afternoon, "\"day\" d \\at hh", c), QString("day 4 at 15"));
    }

    void separatorAndNamedFormats()
    {
        const QLocale german(QLocale::German, QLocale::Germany);
        QCOMPARE(dateSeparator(german), QChar('.'));
        QCOMPARE(formatDateText(afternoon, "dd/mm/yyyy", german), QString("04.12.2026"));
        QCOMPARE(formatDateText(afternoon, "Short Date", german), german.toString(afternoon.date(), QLocale::ShortFormat));
        QVERIFY(formatDateText(afternoon, "", german).startsWith(german.toString(afternoon.date(), QLocale::ShortFormat)));
        QCOMPARE(formatDateText(QDateTime(afternoon.date(), QTime(0, 0)), "", german),
                 german.toString(afternoon.date(), QLocale::ShortFormat));
    }
};

QTEST_GUILESS_MAIN(DateTextTest)
#include "tst_datetext.moc"
