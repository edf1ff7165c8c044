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

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qWarning("cannot read %s", qPrintable(path));
    return file.readAll();
}

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

QStringList paragraphTexts(const Document& document)
{
    QStringList texts;
    for (const rtf::Paragraph& paragraph : document.paragraphs)
        texts << paragraph.text();
    return texts;
}

// The run that holds `text` (the first one containing it).
rtf::Run runWith(const Document& document, const QString& text)
{
    for (const rtf::Paragraph& paragraph : document.paragraphs) {
        for (const rtf::Run& run : paragraph.runs) {
            if (run.text.contains(text))
                return run;
        }
    }
    qWarning("no run holds %s", qPrintable(text));
    return {};
}

} // namespace

class RtfReaderTest : public QObject {
    Q_OBJECT

private slots:
    void wordProcessorDocument()
    {
        const Document document = parse(fileBytes(besideThisTest("wordprocessor-sample.rtf")));
        // Tables, document information, the page header, the picture, the
        // field instruction and every \* group leave nothing behind.
        QCOMPARE(paragraphTexts(document),
                 QStringList({"Telex notes",
                              QString::fromUtf8("The machine in München prints bold, italic and underlined words."),
                              QString::fromUtf8("The fee is 5 €") + QChar::LineSeparator + "per call\t(see the fee list).",
                              QString::fromUtf8("‘small print’ – end")}));

        const rtf::Run heading = runWith(document, "Telex notes");
        QVERIFY(heading.bold);
        QCOMPARE(heading.halfPoints, 32);
        QCOMPARE(document.paragraphs[0].layout.alignment, Qt::AlignHCenter);

        const rtf::Run plain = runWith(document, "The machine");
        QVERIFY(!plain.bold && !plain.italic && !plain.underline);
        QCOMPARE(plain.halfPoints, 22);
        QVERIFY(runWith(document, "bold").bold);
        QVERIFY(!runWith(document, "bold").italic);
        QVERIFY(runWith(document, "italic").italic);
        QVERIFY(runWith(document, "underlined").underline);
        QVERIFY(!runWith(document, " words.").underline);
        QVERIFY(runWith(document, "the fee list").underline);
        QCOMPARE(document.paragraphs[1].layout.alignment, Qt::AlignLeft);

        QCOMPARE(runWith(document, "small print").halfPoints, 16);
        QCOMPARE(document.paragraphs[3].layout.alignment, Qt::AlignRight);
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
        const char* skipped = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red1\green2\blue3;})"
                              R"({\stylesheet{\s1 heading 1;}}{\info{\title T}{\author A}})"
                              R"({\*\generator Writer;}{\*\unknowndestination text}{\pict 0a0b}{\footer F}A)"
                              R"({\field{\*\fldinst HYPERLINK "x"}{\fldrslt B}}C})";
        QCOMPARE(parse(skipped).plainText(), QString("ABC"));

        // The look of a group ends with the group; \plain and \pard reset.
        const Document looks =
            parse(R"({\rtf1\fs30 a{\b\i\ul b}c\b d\plain e\par\qc f\pard g\par\ul h\ulnone i\ul0 j\b1 k\b0 l})");
        QCOMPARE(paragraphTexts(looks), QStringList({"abcde", "fg", "hijkl"}));
        QCOMPARE(looks.paragraphs[0].runs.size(), 5);
        const rtf::Run b = runWith(looks, "b");
        QVERIFY(b.bold && b.italic && b.underline);
        QCOMPARE(b.halfPoints, 30);
        const rtf::Run c = runWith(looks, "c");
        QVERIFY(!c.bold && !c.italic && !c.underline);
        QVERIFY(runWith(looks, "d").bold);
        QCOMPARE(runWith(looks, "e").halfPoints, 24);
        // \pard comes before the paragraph mark: the paragraph is left-aligned.
        QCOMPARE(looks.paragraphs[1].layout.alignment, Qt::AlignLeft);
        QVERIFY(runWith(looks, "h").underline);
        QVERIFY(!runWith(looks, "i").underline);
        QVERIFY(runWith(looks, "k").bold && !runWith(looks, "l").bold);

        // Empty paragraphs stay; nothing after the outer group is read.
        QCOMPARE(paragraphTexts(parse(R"({\rtf1 a\par\par b\par}trailing {\b text})")), QStringList({"a", "", "b"}));
    }

    void brokenInput()
    {
        // Truncated: what was read so far is shown, the open paragraph too.
        QCOMPARE(paragraphTexts(parse(R"({\rtf1 first\par second {\b bo)")), QStringList({"first", "second bo"}));
        // An escape cut short leaves its characters as text.
        QCOMPARE(paragraphTexts(parse(R"({\rtf1 a\'e)")), QStringList({"ae"}));
        QCOMPARE(paragraphTexts(parse(R"({\rtf1 a\'zzb\)")), QStringList({"azzb"}));
        QCOMPARE(paragraphTexts(parse(R"({\rtf1 a\u)")), QStringList({"a"}));
        // A stray closing brace ends the document.
        QCOMPARE(paragraphTexts(parse(R"({\rtf1 a}} b)")), QStringList({"a"}));
        // Absurd numbers and word lengths.
        QCOMPARE(parse(R"({\rtf1\fs99999999999999999999 x\bin99999999999 y})").plainText(), QString("x"));
        const QByteArray longWord = "{\\rtf1 \\" + QByteArray(100000, 'x') + " y}";
        QCOMPARE(parse(longWord).plainText(), QString("y"));

        // 10,000 open braces, never closed: the text inside is still read,
        // and closing them all comes back to the outer look.
        const QByteArray deep = "{\\rtf1 a" + QByteArray(10000, '{') + "\\b b";
        QCOMPARE(parse(deep).plainText(), QString("ab"));
        const QByteArray deepClosed =
            "{\\rtf1 a" + QByteArray(10000, '{') + "\\b b" + QByteArray(10000, '}') + "c}";
        const Document closed = parse(deepClosed);
        QCOMPARE(closed.plainText(), QString("abc"));
        QVERIFY(!runWith(closed, "c").bold);

        // A huge document: the text is cut at a size a window can show.
        QByteArray huge = "{\\rtf1 ";
        huge += QByteArray("0123456789\\par ").repeated(300000);
        huge += "}";
        const Document big = parse(huge);
        QVERIFY(big.paragraphs.size() >= 50000);
        QVERIFY(big.plainText().size() <= 1'100'000);
        QVERIFY(big.paragraphs.first().text() == "0123456789");

        // Text that is not rich text is shown as plain lines.
        QCOMPARE(paragraphTexts(parse("Line one\r\nLine {two}\r\n")), QStringList({"Line one", "Line {two}"}));
        QVERIFY(parse(QByteArray()).paragraphs.isEmpty());
    }

    void filledIntoTextDocument()
    {
        const Document document = parse(R"({\rtf1\qc\sa240\b\fs40 Head\par\pard\plain\li360\fi-360\sb60 )"
                                         R"(\i it\i0  \ul u\ulnone\fs2  tiny\fs400  huge\par})");
        QCOMPARE(document.paragraphs[0].layout.spaceAfter, 240);
        QCOMPARE(document.paragraphs[1].layout.spaceAfter, 0);
        QCOMPARE(document.paragraphs[1].layout.leftIndent, 360);
        QCOMPARE(document.paragraphs[1].layout.firstLineIndent, -360);
        QTextDocument target;
        target.setPlainText("old text");
        rtf::fill(target, document);
        QCOMPARE(target.blockCount(), 2);
        QCOMPARE(target.toPlainText(), QString("Head\nit u tiny huge"));

        const QTextBlock head = target.firstBlock();
        QCOMPARE(head.blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(head.blockFormat().bottomMargin(), 16.0);
        const QTextBlockFormat hanging = head.next().blockFormat();
        QCOMPARE(hanging.leftMargin(), 24.0);
        QCOMPARE(hanging.textIndent(), -24.0);
        QCOMPARE(hanging.topMargin(), 4.0);
        QCOMPARE(hanging.tabPositions().size(), 1);
        const QTextCharFormat headLook = head.begin().fragment().charFormat();
        QCOMPARE(headLook.fontWeight(), int(QFont::Bold));
        QCOMPARE(headLook.fontPointSize(), 20.0);

        QList<QTextCharFormat> looks;
        for (auto it = head.next().begin(); !it.atEnd(); ++it)
            looks << it.fragment().charFormat();
        QCOMPARE(looks.size(), 5);
        QVERIFY(looks[0].fontItalic() && looks[0].fontWeight() == QFont::Normal);
        QVERIFY(looks[2].fontUnderline());
        // Sizes stay readable.
        QCOMPARE(looks[3].fontPointSize(), 6.0);
        QCOMPARE(looks[4].fontPointSize(), 48.0);
    }
};

QTEST_GUILESS_MAIN(RtfReaderTest)
#include "tst_rtfreader.moc"
