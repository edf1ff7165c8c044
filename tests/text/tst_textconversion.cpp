// Spelling text in the telex repertoire, wrapping it to the telex line and
// the pauses that keep the window alive.
#include "core/TextFiles.h"
#include "support/TestMain.h"
#include "text/Pause.h"
#include "text/Transliteration.h"
#include "text/WrapText.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString words(const QString& word, int count)
{
    return QString(word + " ").repeated(count);
}

// Whether an event posted now runs during `work`.
bool eventsRunDuring(QObject* context, const std::function<void()>& work)
{
    auto ran = std::make_shared<bool>(false);
    QTimer::singleShot(0, context, [ran] { *ran = true; });
    work();
    return *ran;
}

} // namespace

class TextConversionTest : public QObject {
    Q_OBJECT

private slots:
    void oneCharacterThroughTheTables()
    {
        // Table A, table B's SendTxt column and its KLKL column.
        struct Row { QString in, a, sendTxt, klkl; };
        const QString sz(QChar(0xDF)), eGrave(QChar(0xE8)), eAcute(QChar(0xE9));
        const Row rows[] = {
            {"@", "(at)", "(at)", "(at)"}, {sz, "sz", sz, sz}, {eGrave, "e'", eGrave, eGrave},
            {eAcute, eAcute, eAcute, eAcute}, {QString(QChar(0xC9)), "e'", "e'", "e'"}, // é has no row, É has
            {QString(QChar(0xC4)), "Ae", "Ae ", "Ae"}, {QString(QChar(0xD6)), "Oe", "Oe ", "Oe"}, // Ä, Ö
            {QString(QChar(0xE4)), "ae", "ae ", "ae"}, {QString(QChar(0xFC)), "ue", "ue", "ue"}, // ä, ü
            {"\"", "'", "'", "'"}, {QString(QChar(0xB4)), "\"", "\"", "\""}, // ´ to a quote that stays one
            {QString(QChar(0x0F)), " ", " ", " "}, {"\r", "\r", "", ""}, {"ab", "ab", "ab", "ab"}, {"", "", "", ""},
        };
        for (const Row& row : rows) {
            QCOMPARE(Transliterate(row.in), row.a);
            QCOMPARE(ConvertForSendTxt(row.in), row.sendTxt);
            QCOMPARE(ConvertForKlkl(row.in), row.klkl);
        }
    }

    void wholeTexts()
    {
        // Characters beyond Latin-1 get their plain spelling first, and that
        // spelling goes through the table like typed text would.
        QCOMPARE(*transliterateText(QString::fromUtf8("„Grüße“ – 5 € …")), QString("'Gruesze' - 5 EUR ..."));
        QCOMPARE(*transliterateText(QString::fromUtf8("a😀b")), QString("a?b"));
        QCOMPARE(*transliterateText(QString::fromUtf8("x → y ≤ z, Łódź")), QString::fromUtf8("x -> y <= z, Lódz"));
        // A character outside the basic plane that straddles two pieces of
        // the work stays one character.
        const QString longText = QString(65535, 'a') + QString::fromUtf8("😀") + "b";
        QCOMPARE(*transliterateText(longText), QString(65535, 'a') + "?b");
        QVERIFY(!transliterateText(longText, [] { return false; }));
        // Files in either encoding give the same letters.
        const QString greeting = QString::fromUtf8("Grüße");
        QCOMPARE(*transliterateText(decodeFileBytes(greeting.toUtf8())), QString("Gruesze"));
        QCOMPARE(*transliterateText(decodeFileBytes(greeting.toLatin1())), QString("Gruesze"));
    }

    void wrapFillsTelexLines()
    {
        // A hundred four-letter words: thirteen to a line of 65 characters,
        // the last word without its blank.
        QCOMPARE(WrapText(words("w042", 100), 68),
                 (words("w042", 13) + CRLF).repeated(7) + words("w042", 8) + "w042" + CRLF);

        const QString a64(64, 'a'), a66(66, 'a'), line17 = words("abc", 17);
        const std::pair<QString, QString> cases[] = {
            {"  abc  ", "abc" + CRLF}, {"", CRLF}, {"   ", CRLF},
            // 68 characters and the blank after them stay on one line; one
            // character more moves the last word to the next line.
            {a64 + " bcd next", a64 + " bcd " + CRLF + "next" + CRLF},
            {a64 + " bcde next", a64 + " " + CRLF + "bcde next" + CRLF},
            {words("abc", 18), line17 + CRLF + "abc" + CRLF},
            // Runs of blanks survive; tabs are neither trimmed nor break points.
            {"a   b", "a   b" + CRLF}, {"\tab\t", "\tab\t" + CRLF},
            {"one two\r\nthree four\r\n", "one two\r\nthree four\r\n" + CRLF},
            // The line feed after a paragraph end counts toward the next line.
            {"x\r\n" + a66 + " b next", "x\r\n" + a66 + " " + CRLF + "b next" + CRLF},
            // A carriage return that does not fit the pending line waits.
            {line17 + "end\r\nmore", line17 + CRLF + "end\r\nmore" + CRLF},
        };
        for (const auto& [text, wrapped] : cases)
            QCOMPARE(WrapText(text, 68), wrapped);
    }

    void wrapCutsLongWords()
    {
        // The pending words end their line, 69 characters of the long word
        // stand alone, the rest starts the next line with the words after it.
        const QString x150(150, 'x');
        QCOMPARE(WrapText("aa bb " + x150 + " cc dd", 68),
                 "aa bb " + CRLF + QString(69, 'x') + CRLF + QString(69, 'x') + CRLF + QString(12, 'x') + " cc dd" + CRLF);
        // A carriage return beyond the cut ends the line that holds the rest
        // of the word; one that fits a fresh line is not cut through.
        QCOMPARE(WrapText("aa " + QString(80, 'y') + "\r" + QString(40, 'z') + " end", 68),
                 "aa " + CRLF + QString(69, 'y') + CRLF + QString(11, 'y') + "\r" + QString(40, 'z') + " end" + CRLF);
        QCOMPARE(WrapText("aa " + QString(66, 'y') + "\r" + QString(100, 'z') + " end", 68),
                 "aa " + CRLF + QString(66, 'y') + "\r" + QString(69, 'z') + CRLF + QString(31, 'z') + " end" + CRLF);

        // Over many random texts: nothing is lost or moved, no line but the
        // last is longer than 69 characters, and the result ends the line.
        QRandomGenerator random(20260824);
        for (int round = 0; round < 300; ++round) {
            QString text;
            for (int w = random.bounded(1, 40); w > 0; --w)
                text += QString(random.bounded(1, 160), QChar('a' + w % 26)) + QString(random.bounded(1, 3), ' ');
            const QString wrapped = WrapText(text, 68);
            QVERIFY(wrapped.endsWith(CRLF));
            QCOMPARE(QString(wrapped).remove(CRLF), text.trimmed());
            const QStringList lines = wrapped.split(CRLF);
            for (qsizetype i = 0; i + 2 < lines.size(); ++i)
                QVERIFY2(lines[i].size() <= 69, qPrintable(QString("round %1: %2").arg(round).arg(lines[i])));
        }

        // Asked to stop, the work gives up.
        const QString big = words("abcd", 200000);
        int asked = 0;
        QVERIFY(!wrapText(big, 68, [&] { return ++asked < 3; }));
        QCOMPARE(asked, 3);
        QCOMPARE(*wrapText(big, 68, [] { return true; }), WrapText(big, 68));
    }

    void pausesKeepThePaceAndTheWindowAlive()
    {
        // Nothing to wait for: back at once, without even a round of events.
        QVERIFY(!eventsRunDuring(this, [] { Pause(0); Pause(-1); }));
        QVERIFY(!eventsRunDuring(this, [] { CharacterPacer(0).pauseAfterCharacter(); }));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(eventsRunDuring(this, [] { Pause(0.05); }));
        QVERIFY(clock.elapsed() >= 50);

        // Never faster than the pace over a run of characters, and after a
        // long hold-up no rush for the characters owed: only the first goes
        // without a wait.
        CharacterPacer pacer(0.02);
        clock.restart();
        for (int i = 0; i < 10; ++i)
            pacer.pauseAfterCharacter();
        QVERIFY(clock.elapsed() >= 200);
        QThread::msleep(700);
        clock.restart();
        for (int i = 0; i < 5; ++i)
            pacer.pauseAfterCharacter();
        QVERIFY2(clock.elapsed() >= 75, qPrintable(QString::number(clock.elapsed())));
    }
};

VORNAK_TEST_MAIN(TextConversionTest)

#include "tst_textconversion.moc"
