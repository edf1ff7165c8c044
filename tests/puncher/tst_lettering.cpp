// Human-readable tape lettering: the sequences Puncher builds, and what the
// box punches for them read back through a letters-case code table of the
// test's own.
#include "puncher/Lettering.h"

#include <QHash>
#include <QtTest>

namespace {

const QString kCR = QString(QChar(13));
const QString kSO = QString(QChar(14));

QString lettered(const QString& text)
{
    QString sequence;
    Puncher(text, sequence);
    return sequence;
}

QString blanks(int count)
{
    return QString(count, '#');
}

// The five-hole letters-case code of every letter and the blank, holes
// numbered across the tape.
const QHash<QChar, QString> kLettersCase = {
    {'A', "12"},   {'B', "145"},  {'C', "234"},  {'D', "14"},   {'E', "1"},    {'F', "134"},
    {'G', "245"},  {'H', "35"},   {'I', "23"},   {'J', "124"},  {'K', "1234"}, {'L', "25"},
    {'M', "345"},  {'N', "34"},   {'O', "45"},   {'P', "235"},  {'Q', "1235"}, {'R', "24"},
    {'S', "13"},   {'T', "5"},    {'U', "123"},  {'V', "2345"}, {'W', "125"},  {'X', "1345"},
    {'Y', "135"},  {'Z', "15"},   {' ', "3"},
};

// The tape columns the box punches for a lettering sequence: a letter or a
// blank as its code, code 14 as all five holes, ESC J and ESC M as the
// line-feed and carriage-return codes, "#" as a column without code holes.
// Anything else cannot be punched and fails the test.
QStringList punchedColumns(const QString& sequence)
{
    QStringList columns;
    for (int i = 0; i < sequence.size(); ++i) {
        const QChar c = sequence[i];
        if (c == QChar(27) && i + 1 < sequence.size() && (sequence[i + 1] == 'J' || sequence[i + 1] == 'M')) {
            columns << (sequence[++i] == 'J' ? "2" : "4");
        } else if (c == QChar(14)) {
            columns << "12345";
        } else if (c == '#') {
            columns << "";
        } else if (kLettersCase.contains(c)) {
            columns << kLettersCase[c];
        } else {
            columns << QStringLiteral("<unpunchable %1>").arg(c.unicode());
        }
    }
    return columns;
}

} // namespace

class LetteringTest : public QObject {
    Q_OBJECT

private slots:
    void sequences()
    {
        const QString leader = kCR + blanks(5);
        const QString trailer = blanks(4);
        const QString ab = leader + "VSSV#" + kSO + "YYR#" + trailer;
        QCOMPARE(lettered("AB"), ab);
        // Lower case is lettered as upper case.
        QCOMPARE(lettered("ab"), ab);
        // Leader and trailer alone; a blank is four blank columns with no gap.
        QCOMPARE(lettered(""), kCR + blanks(9));
        QCOMPARE(lettered("A B"), leader + "VSSV#" + "####" + kSO + "YYR#" + trailer);
        // A text of characters without lettering leaves no trace between
        // the letters (each alone is checked in the 8-bit range below).
        QCOMPARE(lettered("A:,\r\n\tÄ" + kSO + QChar(27) + "B"), ab);

        // The result replaces what the string held.
        QString converted = "left over";
        Puncher("=", converted);
        QCOMPARE(converted, kCR + blanks(5) + "HHHH#" + trailer);
    }

    void everyRowPunchesTheColumnsItClaims()
    {
        // Each character's columns, left to right, as the letter is meant to
        // look on the tape; the gap after it is one blank column.
        const QList<std::pair<QChar, QString>> rows = {
            {'A', "2345 13 13 2345"},   {'B', "12345 135 135 24"},   {'C', "234 15 15 24"},
            {'D', "12345 15 15 234"},   {'E', "12345 135 135 15"},   {'F', "12345 13 13 1"},
            {'G', "234 15 135 134"},    {'H', "12345 3 3 12345"},    {'I', "15 12345 15"},
            {'J', "34 5 5 1234"},       {'K', "12345 3 24 15"},      {'L', "12345 5 5 5"},
            {'M', "12345 2 3 2 12345"}, {'N', "12345 2 3 12345"},    {'O', "234 15 15 234"},
            {'P', "12345 13 13 23"},    {'Q', "234 15 135 234 5"},   {'R', "12345 13 14 25"},
            {'S', "25 135 135 14"},     {'T', "1 1 12345 1 1"},      {'U', "1234 5 5 1234"},
            {'V', "12 34 5 34 12"},     {'W', "1234 5 34 5 1234"},   {'X', "15 24 3 24 15"},
            {'Y', "1 2 345 2 1"},       {'Z', "145 135 15 125 15"},  {'1', "25 12345 5"},
            {'2', "25 145 135 25"},     {'3', "14 15 135 124"},      {'4', "3 23 12345 3"},
            {'5', "125 135 135 14"},    {'6', "234 135 135 4"},      {'7', "12 1 1345 12"},
            {'8', "24 135 135 24"},     {'9', "2 135 135 234"},      {'0', "234 15 15 234"},
            {'+', "3 3 12345 3 3"},     {'-', "3 3 3 3 3"},          {'?', "2 1 135 2"},
            {'/', "5 4 3 2 1"},         {'\'', "12"},                {'(', "234 15"},
            {'.', "5"},                 {')', "15 234"},             {'&', "24 135 24 35"},
            {'=', "35 35 35 35"},
        };
        const QString leader = kCR + blanks(5);
        const QString trailer = blanks(4);
        for (const auto& [character, claimed] : rows) {
            const QString sequence = lettered(character);
            QVERIFY2(sequence.startsWith(leader) && sequence.endsWith(trailer), qPrintable(QString(character)));
            const QString letter = sequence.mid(leader.size(), sequence.size() - leader.size() - trailer.size());
            QCOMPARE(punchedColumns(letter), claimed.split(' ') << ""); // the gap after the letter
        }

        // No other character of the 8-bit range is lettered, and none of
        // them leaves a gap: the colon and the comma, accented letters,
        // line breaks, tabs, control codes.
        QString lettered8bit;
        for (int code = 0; code < 256; ++code) {
            if (lettered(QString(QChar(code))) != kCR + blanks(9))
                lettered8bit += QChar(code);
        }
        QCOMPARE(lettered8bit, QString(" &'()+-./0123456789=?ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    }
};

QTEST_GUILESS_MAIN(LetteringTest)
#include "tst_lettering.moc"
