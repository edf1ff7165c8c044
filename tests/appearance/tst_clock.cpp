// The analogue clock: where the hands point for a time of day, and the clock
// on the terminal window.
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "appearance/AnalogClock.h"
#include "appearance/ClockGeometry.h"
#include "core/Desk.h"

using namespace clockhands;

namespace {

const QPoint kCentre(15000, 2000);

QDateTime at(const QTime& time)
{
    return QDateTime(QDate(2026, 3, 14), time);
}

} // namespace

class ClockTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void handsForTimesOfDay()
    {
        const Hands noon = hands(at(QTime(12, 0)), kCentre);
        QVERIFY(noon.seconds.width == 2 && noon.seconds.colour == QColor(255, 0, 0));
        QVERIFY(noon.minutes.width == 3 && noon.minutes.colour == QColor(0, 255, 0));
        QVERIFY(noon.hours.width == 3 && noon.hours.colour == QColor(0, 255, 0));

        // Where the seconds, minutes and hours hands end, seen from the centre:
        // the afternoon reads like the morning, and a second before midnight
        // the hours hand is already at twelve (55 + 59/12 goes up to 60).
        struct Case { QTime time; QPoint seconds, minutes, hours; };
        const Case cases[] = {
            {QTime(3, 0, 15), {900, 0}, {0, -780}, {540, 0}},
            {QTime(15, 0, 15), {900, 0}, {0, -780}, {540, 0}},
            {QTime(9, 30, 45), {-900, 0}, {0, 780}, {-514, -167}},
            {QTime(0, 30, 0), {0, -900}, {0, 780}, {167, -514}},
            {QTime(23, 59, 59), {-94, -895}, {-82, -776}, {0, -540}},
        };
        for (const Case& c : cases) {
            const Hands h = hands(at(c.time), kCentre);
            QVERIFY(h.seconds.start == kCentre && h.minutes.start == kCentre && h.hours.start == kCentre);
            QCOMPARE(QList<QPoint>({h.seconds.end - kCentre, h.minutes.end - kCentre, h.hours.end - kCentre}),
                     QList<QPoint>({c.seconds, c.minutes, c.hours}));
        }

        // The hours hand: five marks an hour and one more for every twelve
        // minutes begun; twelve o'clock is mark 60.
        const std::pair<QTime, int> hourMarks[] = {{QTime(3, 1), 16}, {QTime(3, 12), 16}, {QTime(3, 13), 17},
            {QTime(3, 30), 18}, {QTime(3, 59, 59), 20}, {QTime(12, 0), 60}, {QTime(0, 0), 60}};
        for (const auto& [time, mark] : hourMarks)
            QCOMPARE(handMarks(at(time)).hours, mark);

        // Offsets are rounded half-way to the even neighbour, kept in 16 bits.
        const std::pair<double, int> roundings[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {449.5, 450}, {450.5, 450},
            {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e-12, 0},
            {40000.0, 32767}, {-40000.0, -32768}};
        for (const auto& [value, rounded] : roundings)
            QCOMPARE(roundHalfEven16(value), qint16(rounded));
    }

    void clockOnTheWindow()
    {
        TerminalRig rig(env, false, 0.001, false);
        rig.state.now = [] { return at(QTime(15, 0, 15)); };
        rig.t().Form_Load({});
        AnalogClock* face = rig.control<AnalogClock>("Shape1");
        QVERIFY(face && face->parentWidget() == static_cast<QWidget*>(&rig.t().desk()));
        // Beside the terminal text window, within the desk, in either skin.
        for (const char* skin : {"lblStandard", "lblSteam"}) {
            rig.click(skin);
            QVERIFY(!face->geometry().intersects(rig.text().geometry()));
        }
        QVERIFY(rig.t().desk().rect().contains(face->geometry()));

        // The hands show at the first tick, from the face's centre.
        const QList<LineControl*> lines = {face->findChild<LineControl*>("lineSeconds2"),
                                           face->findChild<LineControl*>("LineMinutes1"),
                                           face->findChild<LineControl*>("LineHours1")};
        for (LineControl* line : lines)
            QVERIFY(line && !line->isVisible());
        rig.t().Timer3_Timer();
        const QPoint centre(face->x() * 15 + face->width() * 15 / 2, face->y() * 15 + face->width() * 15 / 2);
        for (LineControl* line : lines)
            QVERIFY(line->isVisible() && line->start() == centre);
        QCOMPARE(QList<QPoint>({lines[0]->end(), lines[1]->end(), lines[2]->end()}),
                 QList<QPoint>({centre + QPoint(900, 0), centre + QPoint(0, -780), centre + QPoint(540, 0)}));

        // What the face shows: red to the right beyond the hours hand, green
        // upwards, nothing below the centre; the next tick moves the hands on.
        // 'r' red, 'g' green, '-' anything else at each place from the middle.
        auto hues = [face](const QList<QPoint>& places) {
            const QImage image = face->grab().toImage();
            QString seen;
            for (const QPoint& place : places) {
                const QRgb p = image.pixel(QPoint(face->width() / 2, face->height() / 2) + place);
                seen += qRed(p) > 200 && qGreen(p) < 80 ? 'r' : (qGreen(p) > 200 && qRed(p) < 80 ? 'g' : '-');
            }
            return seen;
        };
        QCOMPARE(hues({{50, 0}, {0, -45}, {0, 40}}), QString("rg-"));
        rig.state.now = [] { return at(QTime(15, 0, 45)); };
        rig.t().Timer3_Timer();
        QCOMPARE(lines[0]->end(), centre + QPoint(-900, 0));
        QCOMPARE(hues({{-50, 0}, {50, 0}}), QString("r-"));

        // On screen a tick redraws only where hands moved: after a minute and
        // a half of ticks (the minute and hour hands move too) the face is
        // what a full repaint draws, no trace of a hand left behind.
        rig.t().show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.t()));
        for (int second = 0; second < 90; ++second) {
            rig.state.now = [second] { return at(QTime(15, 59, 0).addSecs(second)); };
            rig.t().Timer3_Timer();
            QTest::qWait(1);
        }
        QVERIFY(drawnAsRepainted(face));
    }
};

VORNAK_TEST_MAIN(ClockTest)

#include "tst_clock.moc"
