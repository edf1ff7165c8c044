// The help document's rich-text reader: a document as a word processor
// saves it, the escapes, the groups that are not text, and broken input.
#include "editor/RtfReader.h"

#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using rtf::Document;
using rtf::parse;

namespace {

// A file that lies beside this test's source. The compiler may name the
// source relative to the build folder.
QString besideThisTest(const QString& name)
{
    const QFileInfo source(QStringLiteral(__FILE__));
    QString folder = source.path();
    if (source.isRelative())
        folder = qEnvironmentVariable("VORNAK_BUILD_DIR", QDir::currentPath()) + "/" + folder;
    return folder + "/" + name;
}

// Each paragraph as its alignment ("L", "C", "R", "J") and its runs, each
// run as its text in brackets and its look: "b", "i", "u", size in half points.
QStringList described(const Document& document)
{
    QStringList paragraphs;
    for (const rtf::Paragraph& paragraph : document.paragraphs) {
        const Qt::Alignment align = paragraph.layout.alignment;
        QString line = align == Qt::AlignHCenter ? "C" : align == Qt::AlignRight ? "R" : align == Qt::AlignLeft ? "L" : "J";
        for (const rtf::Run& run : paragraph.runs)
            line += QStringLiteral(" [%1]%2%3%4%5").arg(run.text, run.bold ? "b" : "", run.italic ? "i" : "",
                                                        run.underline ? "u" : "").arg(run.halfPoints);
        paragraphs << line;
    }
    return paragraphs;
}

} // namespace

class RtfReaderTest : public QObject {
    Q_OBJECT

private slots:
    void wordProcessorDocument()
    {
        // Tables, document information, the page header, the picture, the
        // field instruction and every \* group leave nothing behind; the
        // runs keep their looks, the paragraphs their alignment.
        QFile sample(besideThisTest("wordprocessor-sample.rtf"));
        QVERIFY2(sample.open(QIODevice::ReadOnly), qPrintable(sample.fileName()));
        const Document document = parse(sample.readAll());
        QCOMPARE(described(document),
                 QStringList({"C [Telex notes]b32",
                              QString::fromUtf8("L [The machine in München prints ]22 [bold]b22 [, ]22 [italic]i22 "
                                                "[ and ]22 [underlined]u22 [ words.]22"),
                              QString::fromUtf8("L [The fee is 5 €") + QChar::LineSeparator
                                  + "per call\t(see ]22 [the fee list]u22 [).]22",
                              QString::fromUtf8("R [‘small print’ – end]16")}));
    }

    void escapesAndSpecialCharacters()
    {
        struct Case {
            const char* rtf;
            QString text;
        };
        const Case cases[] = {
            // \'hh is a byte of code page 1252: Latin-1 above 0xA0, the
            // typographic characters between 0x80 and 0x9F.
            {R"({\rtf1 M\'fcller \'e4\'F6 \'80 \'93q\'94 \'96})", QString::fromUtf8("Müller äö € “q” –")},
            // \uN with one fallback character by default, \ucN for more,
            // negative values for the upper half, and a pair for characters
            // beyond 16 bits.
            {R"({\rtf1 a\u8364?b {\uc2\u8364??c} {\uc0\u8364 d} \u-3913?e})",
             QString::fromUtf8("a€b €c €d ") + QChar(0xF0B7) + "e"},
            {R"({\rtf1\uc1 x\u-10179?\u-8704?y})", QString::fromUtf8("x😀y")},
            // A fallback given as \'hh counts as one character.
            {R"({\rtf1 \u228\'e4!})", QString::fromUtf8("ä!")},
            // The fallback ends with its group.
            {R"({\rtf1 {\uc3\u8364}abc})", QString::fromUtf8("€abc")},
            // Escaped braces and backslash, non-breaking space and hyphens,
            // the optional hyphen shows nothing.
            {R"({\rtf1 \{x\} a\\b c\~d e\_f g\-h})", QString("{x} a\\b c") + QChar(0xA0) + "d e-f gh"},
            {R"({\rtf1 \lquote q\rquote  \ldblquote d\rdblquote  \bullet \emdash \endash})",
             QString::fromUtf8("‘q’ “d” •—–")},
            // A control word ends at its space, which it takes; line ends in
            // the source are not text.
            {"{\\rtf1 \\b bold\\b0  plain\r\nnext}", "bold plainnext"},
            // \bin data is skipped byte for byte, braces and all.
            {"{\\rtf1 a{\\*\\blip\\bin5 }{\\{x}b}", "ab"},
            {"{\\rtf1 a\\bin3 }}}b}", "ab"},
        };
        for (const Case& c : cases)
            QCOMPARE(parse(c.rtf).plainText(), c.text);
    }

    void groupsThatAreNotText()
    {
        // The footer, as the header in the word processor's document.
        QCOMPARE(parse(R"({\rtf1 A{\footer F}B})").plainText(), QString("AB"));

        // The look of a group ends with the group; \plain and \pard reset,
        // and \pard before the paragraph mark leaves the paragraph left-aligned.
        const Document looks =
            parse(R"({\rtf1\fs30 a{\b\i\ul b}c\b d\plain e\par\qc f\pard g\par\ul h\ulnone i\ul0 j\b1 k\b0 l})");
        QCOMPARE(described(looks),
                 QStringList({"L [a]30 [b]biu30 [c]30 [d]b30 [e]24", "L [fg]24", "L [h]u24 [ij]24 [k]b24 [l]24"}));

        // Empty paragraphs stay; nothing after the outer group is read.
        QCOMPARE(parse(R"({\rtf1 a\par\par b\par}trailing {\b text})").plainText(), QString("a\n\nb"));
    }

    void brokenInput()
    {
        const std::pair<QByteArray, QString> cases[] = {
            // Truncated: what was read so far is shown, the open paragraph too.
            {R"({\rtf1 first\par second {\b bo)", "first\nsecond bo"},
            // An escape cut short leaves its characters as text.
            {R"({\rtf1 a\'e)", "ae"}, {R"({\rtf1 a\'zzb\)", "azzb"}, {R"({\rtf1 a\u)", "a"},
            // A stray closing brace ends the document.
            {R"({\rtf1 a}} b)", "a"},
            // Absurd numbers and word lengths.
            {R"({\rtf1\fs99999999999999999999 x\bin99999999999 y})", "x"},
            {"{\\rtf1 \\" + QByteArray(100000, 'x') + " y}", "y"},
            // 10,000 open braces, never closed: the text inside is still read.
            {"{\\rtf1 a" + QByteArray(10000, '{') + "\\b b", "ab"},
            // Text that is not rich text is shown as plain lines.
            {"Line one\r\nLine {two}\r\n", "Line one\nLine {two}"},
        };
        for (const auto& [rtf, text] : cases)
            QCOMPARE(parse(rtf).plainText(), text);
        // Closing 10,000 braces comes back to the outer look.
        const QByteArray deepClosed =
            "{\\rtf1 a" + QByteArray(10000, '{') + "\\b b" + QByteArray(10000, '}') + "c}";
        QCOMPARE(described(parse(deepClosed)), QStringList({"L [a]24 [b]b24 [c]24"}));

        QVERIFY(parse(QByteArray()).paragraphs.isEmpty());
    }

    void documentsBeyondTheLimits()
    {
        // Cut, paragraphs, characters and runs read of floods as large as a
        // download, and of documents just at the limits.
        const auto rtf = [](const QByteArray& body) { return "{\\rtf1 " + body + "}"; };
        const std::pair<QByteArray, QList<qsizetype>> rows[] = {
            {rtf(QByteArray(16 << 20, 'x')), {1, 1, rtf::kMaxCharacters, 1}},
            {rtf(QByteArray(rtf::kMaxCharacters, 'x')), {0, 1, rtf::kMaxCharacters, 1}},
            {rtf(QByteArray("\\par").repeated(rtf::kMaxParagraphs)), {0, rtf::kMaxParagraphs, 0, 0}},
            {rtf(QByteArray("{\\b x}y").repeated(rtf::kMaxRuns)), {1, 1, rtf::kMaxRuns, rtf::kMaxRuns}},
            {QByteArray("\r\n").repeated(8 << 20), {1, rtf::kMaxParagraphs, 0, 0}},
        };
        for (const auto& [input, expected] : rows) {
            const Document document = parse(input);
            QList<qsizetype> read = {document.cut, document.paragraphs.size(), 0, 0};
            for (const rtf::Paragraph& paragraph : document.paragraphs) {
                read[2] += paragraph.text().size();
                read[3] += paragraph.runs.size();
            }
            QCOMPARE(read, expected);
        }
    }

    void filledIntoTextDocument()
    {
        const Document document = parse(R"({\rtf1\qc\sa240\b\fs40 Head\par\pard\plain\li360\fi-360\sb60 )"
                                         R"(\i it\i0  \ul u\ulnone\fs2  tiny\fs400  huge\par})");
        QTextDocument target;
        target.setPlainText("old text");
        rtf::fill(target, document);
        QCOMPARE(target.blockCount(), 2);
        QCOMPARE(target.toPlainText(), QString("Head\nit u tiny huge"));

        // Twips become points: 240 twips are 16 points; \pard ends the space after.
        const QTextBlock head = target.firstBlock();
        QCOMPARE(head.blockFormat().alignment(), Qt::AlignHCenter);
        const QTextBlockFormat hanging = head.next().blockFormat();
        QCOMPARE(QList<qreal>({head.blockFormat().bottomMargin(), hanging.bottomMargin(), hanging.leftMargin(),
                               hanging.textIndent(), hanging.topMargin()}),
                 QList<qreal>({16.0, 0.0, 24.0, -24.0, 4.0}));
        QCOMPARE(hanging.tabPositions().size(), 1);

        // Each fragment's text and look; sizes stay readable.
        const auto looks = [](const QTextBlock& block) {
            QStringList runs;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat look = it.fragment().charFormat();
                runs << QStringLiteral("[%1]%2%3%4%5")
                            .arg(it.fragment().text(), look.fontWeight() == QFont::Bold ? "b" : "",
                                 look.fontItalic() ? "i" : "", look.fontUnderline() ? "u" : "")
                            .arg(look.fontPointSize());
            }
            return runs.join(' ');
        };
        QCOMPARE(looks(head) + " | " + looks(head.next()),
                 QString("[Head]b20 | [it]i12 [ ]12 [u]u12 [ tiny]6 [ huge]48"));
    }

    void longWordsAndMarksAsShown()
    {
        // A word gets a zero-width space after each 80 characters, counted
        // across runs and without its marks; a character keeps 8 marks; a
        // mark on a formatting or control character is left out.
        const QString x80(80, 'x'), zw(QChar(0x200B)), acute(QChar(0x301));
        const QString mathA = QString::fromUcs4(U"\U0001D400"), high = QString::fromUcs4(U"\U0001D167");
        const std::pair<QStringList, QString> rows[] = {
            {{QString(161, 'x') + " " + x80}, x80 + zw + x80 + zw + "x " + x80},
            {{x80.left(50), x80.left(31)}, x80.left(50) + x80.left(30) + zw + "x"},
            {{("a" + acute).repeated(81)}, ("a" + acute).repeated(80) + zw + "a" + acute},
            {{mathA + high.repeated(9) + acute, zw + acute + "\t" + acute + " " + acute}, mathA + high.repeated(8) + zw + "\t " + acute},
        };
        for (const auto& [runs, shown] : rows) {
            Document document{{rtf::Paragraph()}};
            for (const QString& text : runs)
                document.paragraphs[0].runs << rtf::Run{text, document.paragraphs[0].runs.size() % 2 == 1};
            QTextDocument target;
            rtf::fill(target, document);
            QCOMPARE(target.toRawText(), shown);
        }
    }
};

QTEST_GUILESS_MAIN(RtfReaderTest)
#include "tst_rtfreader.moc"
