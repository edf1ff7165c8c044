// Opening the help window on a hostile local copy of the help document, as
// large as a download may be (16 MB): a flood of paragraph marks, a plain
// file of 1 MB lines, and one unbroken word. Each case runs in a process of
// its own, so its peak memory is its own. "Open" is reading the file,
// building the document, the window shown (offscreen), the whole document
// laid out, and the window painted at the top and at the end.
//
// Prints help_open_16mb (s) and help_open_16mb_rss (MB), the worst of the
// three, and each case's figures.
//
//   bench_help                 the three cases of 16 MB
//   bench_help --mb N          the three cases of N MB
#include "BenchSupport.h"
#include "core/EventWait.h"
#include "core/SettingsStore.h"
#include "editor/frmHelp.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

namespace {

struct Case {
    const char* name;
    QByteArray (*make)(qsizetype size);
};

QByteArray paragraphMarks(qsizetype size)
{
    QByteArray bytes = "{\\rtf1 ";
    bytes += QByteArray("\\par").repeated((size - bytes.size() - 1) / 4);
    return bytes + "}";
}

QByteArray megabyteLines(qsizetype size)
{
    const QByteArray words = "the quick brown fox jumps over the lazy dog ";
    QByteArray line = words.repeated((1 << 20) / words.size());
    line += "\r\n";
    QByteArray bytes = line.repeated(size / line.size());
    return bytes + words.left(size - bytes.size());
}

QByteArray unbrokenWord(qsizetype size)
{
    QByteArray bytes = "{\\rtf1 ";
    bytes += QByteArray(size - bytes.size() - 1, 'x');
    return bytes + "}";
}

const Case kCases[] = {
    {"par_flood", paragraphMarks},
    {"mb_lines", megabyteLines},
    {"unbroken_word", unbrokenWord},
};

// One case, in this process: the program folder's wnew.rtf is already the
// hostile document. Prints "seconds peak-megabytes".
int openOnce(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SettingsStore settings; // no web folder: the window shows the local copy
    const ProgramFolder folder(qEnvironmentVariable("VORNAK_DIR"));

    QElapsedTimer clock;
    clock.start();
    frmHelp help(folder, settings);
    double seconds = 0;
    // Runs once the window waits for the user, as it does when opened.
    QTimer::singleShot(0, &help, [&] {
        QTextEdit* text = help.RichTextBox1;
        QTextDocument* document = text->document();
        // The layout goes on in steps on a timer; this asks for all of it now.
        document->documentLayout()->blockBoundingRect(document->lastBlock());
        text->viewport()->repaint();
        text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
        text->viewport()->repaint();
        seconds = clock.nsecsElapsed() / 1e9;
        if (qEnvironmentVariableIsSet("BENCH_HELP_DEBUG"))
            std::fprintf(stderr, "blocks %d chars %d height %g, ends: %s\n", document->blockCount(),
                         document->characterCount(), document->documentLayout()->documentSize().height(),
                         qPrintable(document->lastBlock().text().right(60)));
        help.close();
    });
    help.runModal();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f %.0f\n", seconds, usage.ru_maxrss / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && QByteArray(argv[1]) == "--open")
        return openOnce(argc, argv);

    int megabytes = 16;
    if (argc > 2 && QByteArray(argv[1]) == "--mb")
        megabytes = std::max(1, QByteArray(argv[2]).toInt());
    BenchFolder folder;
    QCoreApplication app(argc, argv);
    const QString prefix = QStringLiteral("help_open_%1mb").arg(megabytes);

    double worstSeconds = 0, worstMegabytes = 0;
    for (const Case& c : kCases) {
        QFile file(folder.path + "/wnew.rtf");
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(c.make(qsizetype(megabytes) << 20)) < 0)
            return 1;
        file.close();
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {"--open"});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            std::fprintf(stderr, "%s: the help window did not open\n", c.name);
            return 1;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        const double seconds = figures.value(0).toDouble(), peak = figures.value(1).toDouble();
        std::printf("%s_%s: %.2f s\n", qPrintable(prefix), c.name, seconds);
        std::printf("%s_%s_rss: %.0f MB\n", qPrintable(prefix), c.name, peak);
        worstSeconds = std::max(worstSeconds, seconds);
        worstMegabytes = std::max(worstMegabytes, peak);
    }
    std::printf("%s: %.2f s\n", qPrintable(prefix), worstSeconds);
    std::printf("%s_rss: %.0f MB\n", qPrintable(prefix), worstMegabytes);
    return 0;
}
