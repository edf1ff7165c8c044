// The analogue clock: where the hands point for a time of day, and the clock
// on the terminal window.
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "app/SettingsStore.h"
#include "app/terminal.h"
#include "appearance/AnalogClock.h"
#include "appearance/ClockGeometry.h"
#include "link/TerminalText.h"

#include <QApplication>
#include <QImage>
#include <QtTest>

using namespace clockhands;

namespace {

const QPoint kCentre(15000, 2000);

QDateTime at(int hour, int minute, int second)
{
    return QDateTime(QDate(2026, 3, 14), QTime(hour, minute, second));
}

QPoint offset(const Hand& hand)
{
    return hand.end - kCentre;
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

bool isGreen(QRgb pixel)
{
    return qGreen(pixel) > 200 && qRed(pixel) < 80 && qBlue(pixel) < 80;
}

} // namespace

class ClockTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void handsOnTheQuarterHours()
    {
        // Noon: every hand straight up, at its full length.
        const Hands noon = hands(at(12, 0, 0), kCentre);
        QCOMPARE(noon.seconds.start, kCentre);
        QCOMPARE(noon.minutes.start, kCentre);
        QCOMPARE(noon.hours.start, kCentre);
        QCOMPARE(offset(noon.seconds), QPoint(0, -900));
        QCOMPARE(offset(noon.minutes), QPoint(0, -780));
        QCOMPARE(offset(noon.hours), QPoint(0, -540));
        QCOMPARE(noon.seconds.width, 2);
        QCOMPARE(noon.seconds.colour, QColor(255, 0, 0));
        QCOMPARE(noon.minutes.width, 3);
        QCOMPARE(noon.minutes.colour, QColor(0, 255, 0));
        QCOMPARE(noon.hours.width, 3);
        QCOMPARE(noon.hours.colour, QColor(0, 255, 0));

        // A quarter past three, fifteen seconds: seconds and hours to the right.
        const Hands three = hands(at(3, 0, 15), kCentre);
        QCOMPARE(offset(three.seconds), QPoint(900, 0));
        QCOMPARE(offset(three.minutes), QPoint(0, -780));
        QCOMPARE(offset(three.hours), QPoint(540, 0));

        // Half past: the minutes hand straight down, the seconds at nine.
        const Hands half = hands(at(9, 30, 45), kCentre);
        QCOMPARE(offset(half.minutes), QPoint(0, 780));
        QCOMPARE(offset(half.seconds), QPoint(-900, 0));
    }

    void hourHandMovesOnByWholeMarks()
    {
        // 5 marks an hour plus one for every twelve minutes begun.
        QCOMPARE(handMarks(at(3, 0, 0)).hours, 15);
        QCOMPARE(handMarks(at(3, 1, 0)).hours, 16);
        QCOMPARE(handMarks(at(3, 12, 0)).hours, 16);
        QCOMPARE(handMarks(at(3, 13, 0)).hours, 17);
        QCOMPARE(handMarks(at(3, 30, 0)).hours, 18); // 17.5 goes up
        QCOMPARE(handMarks(at(3, 59, 59)).hours, 20);
        // 108 degrees: sin 0.95106, cos -0.30902 of 540.
        QCOMPARE(offset(hands(at(3, 30, 0), kCentre).hours), QPoint(514, 167));

        // Twelve o'clock reads "12": mark 60, the same direction as 0.
        QCOMPARE(handMarks(at(12, 0, 0)).hours, 60);
        QCOMPARE(handMarks(at(0, 0, 0)).hours, 60);
        QCOMPARE(handEnd(kCentre, 60, kHoursFactor), handEnd(kCentre, 0, kHoursFactor));
        QCOMPARE(handMarks(at(0, 30, 0)).hours, 63);
        QCOMPARE(offset(hands(at(0, 30, 0), kCentre).hours), QPoint(167, -514));

        const Marks marks = handMarks(at(7, 42, 9));
        QCOMPARE(marks.seconds, 9);
        QCOMPARE(marks.minutes, 42);
        QCOMPARE(marks.hours, 39);
    }

    void afternoonReadsLikeTheMorning()
    {
        const Hands morning = hands(at(3, 30, 45), kCentre);
        const Hands afternoon = hands(at(15, 30, 45), kCentre);
        QCOMPARE(afternoon.seconds.end, morning.seconds.end);
        QCOMPARE(afternoon.minutes.end, morning.minutes.end);
        QCOMPARE(afternoon.hours.end, morning.hours.end);
        QCOMPARE(handMarks(at(13, 0, 0)).hours, 5);

        // A second before midnight: 354 degrees for the seconds and minutes,
        // the hours hand already at twelve (55 + 59/12 goes up to 60).
        const Hands late = hands(at(23, 59, 59), kCentre);
        QCOMPARE(offset(late.seconds), QPoint(-94, -895));
        QCOMPARE(offset(late.minutes), QPoint(-82, -776));
        QCOMPARE(offset(late.hours), QPoint(0, -540));
    }

    void offsetsRoundHalfToEven()
    {
        QCOMPARE(roundHalfEven16(0.5), qint16(0));
        QCOMPARE(roundHalfEven16(1.5), qint16(2));
        QCOMPARE(roundHalfEven16(2.5), qint16(2));
        QCOMPARE(roundHalfEven16(449.5), qint16(450));
        QCOMPARE(roundHalfEven16(450.5), qint16(450));
        QCOMPARE(roundHalfEven16(-0.5), qint16(0));
        QCOMPARE(roundHalfEven16(-1.5), qint16(-2));
        QCOMPARE(roundHalfEven16(-2.5), qint16(-2));
        QCOMPARE(roundHalfEven16(2.4999), qint16(2));
        QCOMPARE(roundHalfEven16(2.5001), qint16(3));
        QCOMPARE(roundHalfEven16(-2.6), qint16(-3));
        QCOMPARE(roundHalfEven16(1e-12), qint16(0));
        QCOMPARE(roundHalfEven16(40000.0), qint16(32767));
        QCOMPARE(roundHalfEven16(-40000.0), qint16(-32768));
    }

    void clockOnTheWindow()
    {
        AppState state = env.makeState();
        state.now = [] { return at(15, 0, 15); };
        ScriptedDialogs dialogs;
        SettingsStore settings;
        frmTerminal terminal(state, dialogs, settings);
        terminal.Form_Load({});

        AnalogClock* face = terminal.findChild<AnalogClock*>("Shape1");
        QVERIFY(face);
        QCOMPARE(face, terminal.Shape1);
        QCOMPARE(face->parentWidget(), terminal.desk);
        QCOMPARE(face->width(), face->height());
        // Beside the terminal text window, within the desk, in either skin.
        for (auto skin : {&frmTerminal::lblStandard_Click, &frmTerminal::lblSteam_Click}) {
            (terminal.*skin)();
            QVERIFY(!face->geometry().intersects(terminal.txtTerm->geometry()));
        }
        QVERIFY(terminal.desk->rect().contains(face->geometry()));

        auto* seconds = face->findChild<LineControl*>("lineSeconds2");
        auto* minutes = face->findChild<LineControl*>("LineMinutes1");
        auto* hours = face->findChild<LineControl*>("LineHours1");
        QVERIFY(seconds && minutes && hours);
        QVERIFY(!seconds->isVisible() && !minutes->isVisible() && !hours->isVisible());

        terminal.DrawClock();
        const QPoint centre(face->x() * 15 + face->width() * 15 / 2, face->y() * 15 + face->width() * 15 / 2);
        QCOMPARE(face->centreTwips(), centre);
        QVERIFY(seconds->isVisible() && minutes->isVisible() && hours->isVisible());
        QCOMPARE(seconds->start(), centre);
        QCOMPARE(seconds->end(), centre + QPoint(900, 0));
        QCOMPARE(minutes->end(), centre + QPoint(0, -780));
        QCOMPARE(hours->end(), centre + QPoint(540, 0));
        QCOMPARE(seconds->colour(), QColor(255, 0, 0));
        QCOMPARE(hours->width(), 3);

        // What the face shows: red to the right beyond the hours hand, green
        // upwards, nothing below the centre.
        const QImage picture = face->grab().toImage();
        const QPoint middle(face->width() / 2, face->height() / 2);
        QVERIFY(isRed(picture.pixel(middle + QPoint(50, 0))));
        QVERIFY(isGreen(picture.pixel(middle + QPoint(0, -45))));
        const QRgb below = picture.pixel(middle + QPoint(0, 40));
        QVERIFY(!isRed(below) && !isGreen(below));

        // The next tick moves the hands on.
        state.now = [] { return at(15, 0, 45); };
        terminal.DrawClock();
        QCOMPARE(seconds->end(), centre + QPoint(-900, 0));
        QVERIFY(isRed(face->grab().toImage().pixel(middle + QPoint(-50, 0))));
    }
};

int main(int argc, char** argv)
{
    ClockTest test; // sets up the environment before the application exists
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clock.moc"
