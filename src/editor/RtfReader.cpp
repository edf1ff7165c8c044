#include "editor/RtfReader.h"

#include "core/TextFiles.h"

#include <QSet>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

namespace rtf {

namespace {

// Groups whose contents are not text to show.
const QSet<QByteArray> kSkippedDestinations = {
    "fonttbl",   "colortbl",  "stylesheet", "info",        "pict",     "header",      "headerl",
    "headerr",   "headerf",   "footer",     "footerl",     "footerr",  "footerf",     "footnote",
    "listtable", "listoverridetable", "rsidtbl", "generator", "xmlnstbl", "themedata",
    "colorschememapping", "latentstyles", "datastore", "object", "objdata", "revtbl", "filetbl",
    "fldinst",   "pgdsctbl",  "pn",         "author",      "operator", "title",       "subject",
    "keywords",  "comment",   "doccomm",    "company",     "creatim",  "revtim",      "printim",
    "buptim",    "nonshppict", "userprops", "docvar",      "bkmkstart", "bkmkend",
};

// Beyond this depth groups no longer keep their own look: a document
// nested this deep is broken, and the reader must not grow without bound.
constexpr std::size_t kMaxDepth = 512;
// Twips to the pixels of a text document.
constexpr double kTwipsPerPixel = 15.0;

const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The look and the reading state a group carries; a group's end restores
// the state its start saved.
struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    ParagraphLayout layout;
    // Fallback characters written after each \u.
    int unicodeSkip = 1;
    // Inside a group whose text is not shown.
    bool skip = false;
};

class Reader {
public:
    explicit Reader(const QByteArray& in) : m_in(in) {}

    Document read()
    {
        while (m_pos < m_in.size() && !m_ended) {
            const char c = m_in[m_pos++];
            switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                readControl();
                break;
            case '\r':
            case '\n':
                break;
            default:
                addText(fromCp1252(static_cast<unsigned char>(c)));
                break;
            }
        }
        if (!m_paragraph.runs.isEmpty())
            endParagraph();
        return std::move(m_document);
    }

private:
    void openGroup()
    {
        m_pendingFallback = 0;
        if (m_saved.size() < kMaxDepth)
            m_saved.push_back(m_state);
        else
            ++m_overflow;
    }

    void closeGroup()
    {
        m_pendingFallback = 0;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_saved.empty()) {
            m_ended = true;
            return;
        }
        m_state = m_saved.back();
        m_saved.pop_back();
        // The document's outer group has closed: what follows is not part
        // of it.
        if (m_saved.empty())
            m_ended = true;
    }

    void readControl()
    {
        if (m_pos >= m_in.size())
            return;
        const char first = m_in[m_pos];
        if (!isLetter(first)) {
            ++m_pos;
            controlSymbol(first);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && isLetter(m_in[m_pos]))
            ++m_pos;
        // A view, and the set and table looked up through a copy that
        // shares its bytes: a document may hold millions of control words.
        const QByteArrayView word(m_in.constData() + start, std::min<qsizetype>(m_pos - start, 32));

        bool negative = false;
        if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && isDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        bool hasParameter = false;
        qint64 value = 0;
        int digits = 0;
        while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
            if (digits++ < 10)
                value = value * 10 + (m_in[m_pos] - '0');
            hasParameter = true;
            ++m_pos;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        value = std::clamp<qint64>(negative ? -value : value, INT_MIN, INT_MAX);
        controlWord(word, hasParameter, int(value));
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '\'': {
            const int high = m_pos < m_in.size() ? hexValue(m_in[m_pos]) : -1;
            const int low = m_pos + 1 < m_in.size() ? hexValue(m_in[m_pos + 1]) : -1;
            if (high < 0 || low < 0)
                return;
            m_pos += 2;
            addText(fromCp1252(static_cast<unsigned char>(high * 16 + low)));
            return;
        }
        case '{':
        case '}':
        case '\\':
            addText(QChar(c));
            return;
        case '~':
            addText(QChar(0x00A0));
            return;
        case '_':
            addText(QChar('-'));
            return;
        case '*':
            m_state.skip = true;
            return;
        case '\r':
        case '\n':
            if (consumeFallback())
                return;
            if (!m_state.skip)
                endParagraph();
            return;
        default:
            // \- (optional hyphen), \| \: and unknown symbols show nothing.
            consumeFallback();
            return;
        }
    }

    void controlWord(QByteArrayView word, bool hasParameter, int parameter)
    {
        if (word == "bin") {
            // Binary data: skipped byte for byte, whatever it holds.
            m_pos += std::min<qint64>(std::max(parameter, 0), m_in.size() - m_pos);
            return;
        }
        if (consumeFallback())
            return;
        if (kSkippedDestinations.contains(QByteArray::fromRawData(word.data(), word.size()))) {
            m_state.skip = true;
            return;
        }
        if (m_state.skip)
            return;
        const bool on = !hasParameter || parameter != 0;

        if (word == "par" || word == "sect" || word == "page" || word == "row")
            endParagraph();
        else if (word == "line")
            addText(QChar::LineSeparator);
        else if (word == "tab" || word == "cell")
            addText(QChar('\t'));
        else if (word == "pard")
            m_state.layout = ParagraphLayout();
        else if (word == "plain")
            resetLook();
        else if (word == "b")
            m_state.bold = on;
        else if (word == "i")
            m_state.italic = on;
        else if (word == "ulnone")
            m_state.underline = false;
        else if (word.startsWith("ul"))
            m_state.underline = on;
        else if (word == "fs")
            m_state.halfPoints = hasParameter && parameter > 0 ? parameter : 24;
        else if (word == "ql")
            m_state.layout.alignment = Qt::AlignLeft;
        else if (word == "qc")
            m_state.layout.alignment = Qt::AlignHCenter;
        else if (word == "qr")
            m_state.layout.alignment = Qt::AlignRight;
        else if (word == "qj")
            m_state.layout.alignment = Qt::AlignJustify;
        else if (word == "li")
            m_state.layout.leftIndent = twipsWithin(parameter);
        else if (word == "fi")
            m_state.layout.firstLineIndent = twipsWithin(parameter);
        else if (word == "sb")
            m_state.layout.spaceBefore = twipsWithin(parameter);
        else if (word == "sa")
            m_state.layout.spaceAfter = twipsWithin(parameter);
        else if (word == "uc")
            m_state.unicodeSkip = hasParameter ? std::max(parameter, 0) : 1;
        else if (word == "u" && hasParameter) {
            addText(QChar(char16_t(parameter < 0 ? parameter + 65536 : parameter)));
            m_pendingFallback = m_state.unicodeSkip;
        } else if (const QChar special = specialCharacter(word); !special.isNull())
            addText(special);
    }

    // Indents and spaces of more than a page are broken input.
    static int twipsWithin(int twips) { return std::clamp(twips, -15000, 15000); }

    static QChar specialCharacter(QByteArrayView word)
    {
        static const QHash<QByteArray, char16_t> characters = {
            {"emdash", 0x2014},    {"endash", 0x2013},    {"lquote", 0x2018}, {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"bullet", 0x2022}, {"emspace", 0x2003},
            {"enspace", 0x2002},   {"qmspace", 0x2005},
        };
        const auto found = characters.constFind(QByteArray::fromRawData(word.data(), word.size()));
        return found == characters.constEnd() ? QChar() : QChar(*found);
    }

    // The characters written after \u for readers without Unicode are left out.
    bool consumeFallback()
    {
        if (m_pendingFallback <= 0)
            return false;
        --m_pendingFallback;
        return true;
    }

    void resetLook()
    {
        m_state.bold = m_state.italic = m_state.underline = false;
        m_state.halfPoints = 24;
    }

    void addText(QChar c)
    {
        if (consumeFallback() || m_state.skip)
            return;
        if (m_characters++ >= kMaxCharacters)
            return cutHere();
        Run look;
        look.bold = m_state.bold;
        look.italic = m_state.italic;
        look.underline = m_state.underline;
        look.halfPoints = m_state.halfPoints;
        if (!m_paragraph.runs.isEmpty() && m_paragraph.runs.last().sameLookAs(look)) {
            m_paragraph.runs.last().text += c;
            return;
        }
        if (++m_runs > kMaxRuns)
            return cutHere();
        look.text = c;
        m_paragraph.runs << look;
    }

    void endParagraph()
    {
        if (m_document.paragraphs.size() >= kMaxParagraphs)
            return cutHere();
        m_paragraph.layout = m_state.layout;
        m_document.paragraphs << std::move(m_paragraph);
        m_paragraph = Paragraph();
    }

    // The rest of the input is not read.
    void cutHere()
    {
        m_document.cut = true;
        m_ended = true;
    }

    const QByteArray& m_in;
    qsizetype m_pos = 0;
    bool m_ended = false;
    GroupState m_state;
    std::vector<GroupState> m_saved;
    int m_overflow = 0;
    int m_pendingFallback = 0;
    qsizetype m_characters = 0;
    qsizetype m_runs = 0;
    Paragraph m_paragraph;
    Document m_document;
};

// What the window shows of a paragraph, run by run. Two kinds of text
// make the layout's time grow with the square of their length: a word that
// cannot break into lines, and combining marks far from the character they
// sit on. So a word gets an invisible place to break (a zero-width space)
// after every kLongWord characters, and a combining mark is shown only on a
// character that can carry it, at most kMaxMarks of them on one.
class ShownText {
public:
    QString of(const QString& text)
    {
        QString shown;
        shown.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            char32_t code = text[i].unicode();
            const bool pair = QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            if (pair)
                code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            if (QChar::isMark(code)) {
                if (m_marks < 0 || m_marks >= kMaxMarks) {
                    i += pair;
                    continue;
                }
                ++m_marks;
            } else {
                m_marks = carriesMarks(code) ? 0 : -1;
                if (isBreak(code))
                    m_wordLength = 0;
                else if (++m_wordLength > kLongWord) {
                    shown += QChar(0x200B);
                    m_wordLength = 1;
                }
            }
            shown += text[i];
            if (pair)
                shown += text[++i];
        }
        return shown;
    }

private:
    // Where a line may break without a mark of its own.
    static bool isBreak(char32_t code)
    {
        switch (code) {
        case ' ':
        case '\t':
        case QChar::LineSeparator:
        case 0x200B: // zero-width space
        case 0x2002: // en space
        case 0x2003: // em space
        case 0x2005: // four-per-em space
            return true;
        default:
            return false;
        }
    }

    // Letters, digits, signs and blanks; not controls, formatting
    // characters (such as the zero-width space) or unpaired surrogates.
    static bool carriesMarks(char32_t code)
    {
        switch (QChar::category(code)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return false;
        default:
            return true;
        }
    }

    int m_wordLength = 0;
    // Marks shown on the last character; -1 when it carries none.
    int m_marks = -1;
};

bool looksLikeRtf(const QByteArray& bytes)
{
    return bytes.trimmed().startsWith("{\\rtf");
}

Document plainDocument(const QByteArray& bytes)
{
    Document document;
    QString text = decodeFileBytes(bytes);
    if (text.size() > kMaxCharacters) {
        text.truncate(kMaxCharacters);
        document.cut = true;
    }
    QStringList lines = splitLines(text);
    if (lines.size() > kMaxParagraphs) {
        lines.resize(kMaxParagraphs);
        document.cut = true;
    }
    for (const QString& line : std::as_const(lines)) {
        Paragraph paragraph;
        if (!line.isEmpty())
            paragraph.runs << Run{line};
        document.paragraphs << paragraph;
    }
    return document;
}

} // namespace

QString Paragraph::text() const
{
    QString joined;
    for (const Run& run : runs)
        joined += run.text;
    return joined;
}

QString Document::plainText() const
{
    QStringList texts;
    for (const Paragraph& paragraph : paragraphs)
        texts << paragraph.text();
    return texts.join('\n');
}

QChar fromCp1252(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kCp1252High[byte - 0x80]);
    return QChar(byte);
}

Document parse(const QByteArray& bytes)
{
    if (!looksLikeRtf(bytes))
        return plainDocument(bytes);
    return Reader(bytes).read();
}

void fill(QTextDocument& target, const Document& document)
{
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const Paragraph& paragraph : document.paragraphs) {
        const ParagraphLayout& layout = paragraph.layout;
        QTextBlockFormat block;
        block.setAlignment(layout.alignment);
        block.setLeftMargin(std::max(layout.leftIndent, 0) / kTwipsPerPixel);
        block.setTextIndent(layout.firstLineIndent / kTwipsPerPixel);
        block.setTopMargin(std::max(layout.spaceBefore, 0) / kTwipsPerPixel);
        block.setBottomMargin(std::max(layout.spaceAfter, 0) / kTwipsPerPixel);
        if (layout.firstLineIndent < 0)
            block.setTabPositions({QTextOption::Tab(std::max(layout.leftIndent, 0) / kTwipsPerPixel,
                                                    QTextOption::LeftTab)});
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        ShownText shown;
        for (const Run& run : paragraph.runs) {
            QTextCharFormat look;
            look.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            look.setFontItalic(run.italic);
            look.setFontUnderline(run.underline);
            look.setFontPointSize(std::clamp(run.halfPoints / 2.0, 6.0, 48.0));
            cursor.insertText(shown.of(run.text), look);
        }
    }
    cursor.endEditBlock();
}

} // namespace rtf
