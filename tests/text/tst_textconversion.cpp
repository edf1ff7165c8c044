// Spelling text in the telex repertoire, wrapping it to the telex line and
// the pause that keeps the window alive.
#include "support/TestEnvironment.h"

#include "app/AppState.h"
#include "text/FileText.h"
#include "text/Pause.h"
#include "text/Transliteration.h"
#include "text/WrapText.h"
#include "text/frmCancelSend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString words(const QString& word, int count)
{
    return QString(word + " ").repeated(count);
}

} // namespace

class TextConversionTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void tableA()
    {
        QCOMPARE(Transliterate("@"), QString("(at)"));
        QCOMPARE(Transliterate(QString(QChar(0xDF))), QString("sz"));        // ß
        QCOMPARE(Transliterate(QString(QChar(0xE9))), QString(QChar(0xE9))); // é has no row
        QCOMPARE(Transliterate("\n"), QString("\n"));
        QCOMPARE(Transliterate("\r"), QString("\r"));
        QCOMPARE(Transliterate(QString(QChar(0xE8))), QString("e'"));        // è
        QCOMPARE(Transliterate(QString(QChar(0xC4))), QString("Ae"));        // Ä, no blank
        QCOMPARE(Transliterate("\""), QString("'"));
        // The acute accent becomes a double quote, which is not turned into
        // an apostrophe afterwards.
        QCOMPARE(Transliterate(QString(QChar(0xB4))), QString("\""));
        QCOMPARE(Transliterate(QString(QChar(0x0F))), QString(" "));         // SI
        QCOMPARE(Transliterate("x"), QString("x"));
        QCOMPARE(Transliterate("ab"), QString("ab"));
        QCOMPARE(Transliterate(QString()), QString());
    }

    void tableBColumns()
    {
        // Rows where the two tables and the two columns part ways.
        QCOMPARE(ConvertForSendTxt(QString(QChar(0xD6))), QString("Oe "));   // Ö
        QCOMPARE(ConvertForKlkl(QString(QChar(0xD6))), QString("Oe"));
        QCOMPARE(ConvertForSendTxt(QString(QChar(0xE4))), QString("ae "));   // ä
        QCOMPARE(ConvertForKlkl(QString(QChar(0xE4))), QString("ae"));
        QCOMPARE(ConvertForSendTxt(QString(QChar(0xFC))), QString("ue"));    // ü keeps no blank
        QCOMPARE(ConvertForSendTxt(QString(QChar(0xDC))), QString("Ue"));
        for (const char16_t unchanged : {u'\u00E8', u'\u00E0', u'\u00F2', u'\u00F9', u'\u00DF'}) {
            QCOMPARE(ConvertForSendTxt(QString(QChar(unchanged))), QString(QChar(unchanged)));
            QCOMPARE(ConvertForKlkl(QString(QChar(unchanged))), QString(QChar(unchanged)));
        }
        QCOMPARE(ConvertForSendTxt("\r"), QString());
        QCOMPARE(ConvertForKlkl("\r"), QString());
        QCOMPARE(ConvertForSendTxt("\n"), QString("\n"));
        QCOMPARE(ConvertForKlkl("\n"), QString("\n"));
        QCOMPARE(ConvertForSendTxt(QString(QChar(0xB4))), QString("\""));
        QCOMPARE(ConvertForKlkl("@"), QString("(at)"));
        QCOMPARE(ConvertForSendTxt(QString(QChar(0xC9))), QString("e'"));    // É
    }

    void wholeTexts()
    {
        QCOMPARE(*transliterateText(QString::fromUtf8("Grüße")), QString("Gruesze"));
        // Characters beyond Latin-1 get their plain spelling first, and that
        // spelling goes through the table like typed text would.
        QCOMPARE(*transliterateText(QString::fromUtf8("„Grüße“ – 5 € …")), QString("'Gruesze' - 5 EUR ..."));
        QCOMPARE(*transliterateText(QString::fromUtf8("a😀b")), QString("a?b"));
        QCOMPARE(*transliterateText(QString::fromUtf8("x → y ≤ z, Łódź")), QString::fromUtf8("x -> y <= z, Lódz")); // ó is Latin-1 and stays
        // A character outside the basic plane that straddles two pieces of
        // the work stays one character.
        const QString longText = QString(65535, 'a') + QString::fromUtf8("😀") + "b";
        QCOMPARE(*transliterateText(longText), QString(65535, 'a') + "?b");
        // Files in either encoding give the same letters.
        const QByteArray utf8 = QString::fromUtf8("Grüße").toUtf8();
        const QByteArray latin1 = QString::fromUtf8("Grüße").toLatin1();
        QCOMPARE(*transliterateText(decodeFileBytes(utf8)), QString("Gruesze"));
        QCOMPARE(*transliterateText(decodeFileBytes(latin1)), QString("Gruesze"));
        // Asked to stop, the work gives up.
        QVERIFY(!transliterateText(longText, [] { return false; }));
    }

    void wrapFourLetterWords()
    {
        QStringList all;
        for (int i = 0; i < 100; ++i)
            all << QStringLiteral("w%1").arg(i, 3, 10, QChar('0'));
        const QString text = all.join(' ') + ' ';
        QString expected;
        for (int line = 0; line < 7; ++line)
            expected += QStringList(all.mid(line * 13, 13)).join(' ') + " " + CRLF; // 65 characters
        expected += QStringList(all.mid(91)).join(' ') + CRLF; // the last word without its blank
        QCOMPARE(WrapText(text, 68), expected);
        QCOMPARE(WrapText(text, 68).split(CRLF).first().size(), 65);
    }

    void wrapShortAndExactLines()
    {
        QCOMPARE(WrapText("  abc  ", 68), QString("abc") + CRLF);
        QCOMPARE(WrapText("", 68), CRLF);
        QCOMPARE(WrapText("   ", 68), CRLF);

        // 68 characters and the blank after them stay on one line ...
        const QString a64(64, 'a');
        QCOMPARE(WrapText(a64 + " bcd next", 68), a64 + " bcd " + CRLF + "next" + CRLF);
        // ... one character more moves the last word to the next line.
        QCOMPARE(WrapText(a64 + " bcde next", 68), a64 + " " + CRLF + "bcde next" + CRLF);
        // Seventeen three-letter words fill a line exactly.
        QCOMPARE(WrapText(words("abc", 18), 68), words("abc", 17) + CRLF + "abc" + CRLF);
        // Runs of blanks survive.
        QCOMPARE(WrapText("a   b", 68), QString("a   b") + CRLF);
        // Tabs are not blanks: they are neither trimmed nor break points.
        QCOMPARE(WrapText("\tab\t", 68), QString("\tab\t") + CRLF);
    }

    void wrapParagraphEnds()
    {
        QCOMPARE(WrapText("one two\r\nthree four\r\n", 68),
                 QString("one two\r\nthree four\r\n\r\n"));
        // The line feed after a paragraph end opens the next line and counts
        // toward it: 66 + 1 + "b " would fit a fresh line, not this one.
        const QString a66(66, 'a');
        QCOMPARE(WrapText("x\r\n" + a66 + " b next", 68),
                 "x\r\n" + a66 + " " + CRLF + "b next" + CRLF);
        // A carriage return that does not fit the pending line waits for
        // the next line.
        const QString line = words("abc", 17);
        QCOMPARE(WrapText(line + "end\r\nmore", 68), line + CRLF + "end\r\nmore" + CRLF);
    }

    void wrapLongWords()
    {
        // The pending words end their line, 69 characters of the long word
        // stand alone, the rest starts the next line with the words after it.
        const QString x150(150, 'x');
        QCOMPARE(WrapText("aa bb " + x150 + " cc dd", 68),
                 "aa bb " + CRLF + QString(69, 'x') + CRLF + QString(69, 'x') + CRLF + QString(12, 'x')
                     + " cc dd" + CRLF);
        // A carriage return beyond the cut ends the line that holds the rest
        // of the word ...
        QCOMPARE(WrapText("aa " + QString(80, 'y') + "\r" + QString(40, 'z') + " end", 68),
                 "aa " + CRLF + QString(69, 'y') + CRLF + QString(11, 'y') + "\r" + QString(40, 'z') + " end"
                     + CRLF);
        // ... and one that fits a fresh line is not cut through.
        QCOMPARE(WrapText("aa " + QString(66, 'y') + "\r" + QString(100, 'z') + " end", 68),
                 "aa " + CRLF + QString(66, 'y') + "\r" + QString(69, 'z') + CRLF + QString(31, 'z') + " end"
                     + CRLF);

        // Over many random texts: nothing is lost or moved, no line but the
        // last is longer than 69 characters, and the result ends the line.
        QRandomGenerator random(20260824);
        for (int round = 0; round < 300; ++round) {
            QString text;
            const int count = random.bounded(1, 40);
            for (int w = 0; w < count; ++w) {
                text += QString(random.bounded(1, 160), QChar('a' + w % 26));
                text += QString(random.bounded(1, 3), ' ');
            }
            const QString wrapped = WrapText(text, 68);
            QVERIFY(wrapped.endsWith(CRLF));
            QString joined = wrapped;
            joined.remove(CRLF);
            QCOMPARE(joined, text.trimmed());
            const QStringList lines = wrapped.split(CRLF);
            for (qsizetype i = 0; i + 2 < lines.size(); ++i)
                QVERIFY2(lines[i].size() <= 69, qPrintable(QString("round %1 line %2: %3").arg(round).arg(i).arg(lines[i])));
        }
    }

    void wrapStopsWhenAsked()
    {
        const QString big = words("abcd", 200000);
        int asked = 0;
        QVERIFY(!wrapText(big, 68, [&] { return ++asked < 3; }));
        QCOMPARE(asked, 3);
        QCOMPARE(*wrapText(big, 68, [] { return true; }), WrapText(big, 68));
    }

    void pauseReturnsAtOnceForNothing()
    {
        bool eventRan = false;
        QTimer::singleShot(0, this, [&] { eventRan = true; });
        Pause(0);
        Pause(-1);
        QVERIFY(!eventRan); // nothing was waited for, not even one round of events
        QElapsedTimer clock;
        clock.start();
        Pause(0.05);
        QVERIFY(eventRan);
        QVERIFY(clock.elapsed() >= 50);
    }

    void pacerKeepsThePace()
    {
        // Never faster than the pace over a run of characters ...
        CharacterPacer pacer(0.02);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 10; ++i)
            pacer.pauseAfterCharacter();
        QVERIFY(clock.elapsed() >= 200);
        // ... and after a long hold-up it does not rush the characters it
        // owes: only the first goes without a wait.
        QThread::msleep(700);
        clock.restart();
        for (int i = 0; i < 5; ++i)
            pacer.pauseAfterCharacter();
        QVERIFY2(clock.elapsed() >= 75, qPrintable(QString::number(clock.elapsed())));
        // No pace, no waiting, no events.
        bool eventRan = false;
        QTimer::singleShot(0, this, [&] { eventRan = true; });
        CharacterPacer none(0);
        none.pauseAfterCharacter();
        QVERIFY(!eventRan);
    }

    void cancelActsDuringPause()
    {
        AppState state;
        state.StopSend = false;
        frmCancelSend window(state, nullptr);
        window.showForTransmission();
        QTimer::singleShot(100, &window, [&] { window.cmdCancel->click(); });
        QElapsedTimer clock;
        clock.start();
        Pause(1);
        QVERIFY(state.StopSend);
        QVERIFY(clock.elapsed() >= 1000); // the pause itself runs its full time
    }
};

int main(int argc, char** argv)
{
    TextConversionTest test;
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textconversion.moc"
