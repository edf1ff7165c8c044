// The message archive with 20,000 messages: how long the window waits for
// its list and its search, and how long the texts take to be read in the
// background.
//
// Prints:
//   archive_index_rebuild_20000: <ms> ms   the index rebuilt from the 20,000 files
//   archive_index_load_20000: <ms> ms      the list as the window opens it: the index, checked against the
//                                          file names, into the list and the search (the median of 5)
//   archive_texts_load_20000: <ms> ms      every text read on the loader's thread and taken into the search
//   archive_search_20000: <ms> ms          one search over every text, as typed into the search field
//                                          (the slowest of four queries, the median of 9 rounds each)
//   archive_search_hits: <count>           what the slowest query found, to show the work was done
#include "BenchSupport.h"

#include "archive/ArchiveListModel.h"
#include "archive/ArchiveStore.h"
#include "archive/ArchiveTextLoader.h"
#include "core/EventWait.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMessages = 20000;
constexpr int kRounds = 9;

const char* const kWords[] = {"weather", "report", "fair", "wind", "from", "the", "south", "west", "degrees",
                              "tomorrow", "clouds", "morning", "sun", "later", "greetings", "club", "station",
                              "meeting", "friday", "please", "confirm", "by", "telex", "price", "order",
                              "shipment", "arrives", "monday", "harbour", "train", "noted", "thanks"};

// A message of some 15 lines of 40 to 68 characters, with a reference of its own.
QByteArray messageText(int number, QRandomGenerator& random)
{
    QByteArray text = "ZCZC " + QByteArray::number(10000 + number) + "\r\n";
    const int lines = 8 + int(random.bounded(15));
    for (int line = 0; line < lines; ++line) {
        QByteArray words;
        const int width = 40 + int(random.bounded(29));
        while (words.size() < width)
            words += QByteArray(kWords[random.bounded(int(std::size(kWords)))]) + ' ';
        text += words.left(68).trimmed() + "\r\n";
    }
    return text + "ref " + QByteArray::number(number * 7 + 3) + "\r\nNNNN\r\n";
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    BenchFolder folder;
    QCoreApplication app(argc, argv);
    const QString archive = folder.path + "/archive";

    // The archive of a station that has run for years.
    QRandomGenerator random(4711);
    const QDateTime first(QDate(2024, 1, 1), QTime(8, 0));
    const ArchiveStore store(archive);
    for (int i = 0; i < kMessages; ++i) {
        const QDateTime start = first.addSecs(qint64(i) * 3700);
        const QString path = store.absolute(store.newMessageFile(start));
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(messageText(i, random)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        file.setFileTime(start.addSecs(60), QFileDevice::FileModificationTime);
    }

    QElapsedTimer clock;
    clock.start();
    QString error;
    if (!store.rebuildIndex(&error)) {
        std::fprintf(stderr, "the index: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("archive_index_rebuild_20000: %.0f ms\n", clock.nsecsElapsed() / 1e6);

    // What the window does before it shows its list (the median of 5).
    std::vector<double> opening;
    ArchiveStore::Listing listing;
    ArchiveListModel model;
    for (int round = 0; round < 5; ++round) {
        clock.restart();
        listing = store.list(false);
        model.setMessages(listing.messages);
        opening.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("archive_index_load_20000: %.0f ms\n", median(opening));
    if (listing.messages.size() != kMessages || listing.fromFiles != 0) {
        std::fprintf(stderr, "listed %lld messages, %d from their files\n", qlonglong(listing.messages.size()),
                     listing.fromFiles);
        return 1;
    }

    QStringList paths;
    for (const ArchivedMessage& message : listing.messages)
        paths << store.absolute(message.file);
    ArchiveTextLoader loader;
    QObject::connect(&loader, &ArchiveTextLoader::loaded, &model, &ArchiveListModel::setTexts);
    clock.restart();
    loader.load(paths);
    if (!EventWait::forSignal(&loader, &ArchiveTextLoader::finished, 120000) || model.textsKnown() != kMessages) {
        std::fprintf(stderr, "the texts were not read (%d)\n", model.textsKnown());
        return 1;
    }
    std::printf("archive_texts_load_20000: %.0f ms\n", clock.nsecsElapsed() / 1e6);

    // A reference found once, a common word, two words, and nothing: each
    // looks through every text.
    double slowest = 0;
    int hits = 0;
    for (const QString& query : {QString("ref 70003"), QString("harbour"), QString("CLUB friday"), QString("zqxw")}) {
        std::vector<double> rounds;
        for (int round = 0; round < kRounds; ++round) {
            model.setQuery(QString());
            clock.restart();
            model.setQuery(query);
            rounds.push_back(clock.nsecsElapsed() / 1e6);
        }
        if (median(rounds) >= slowest) {
            slowest = median(rounds);
            hits = model.rowCount();
        }
    }
    std::printf("archive_search_20000: %.1f ms\n", slowest);
    std::printf("archive_search_hits: %d\n", hits);
    return 0;
}
