// List window benchmark: a directory of 20,000 subscribers. Opening is the
// window made, phonebook.txt read, the list sorted by name and the window
// laid out and painted once; saving is every record rewritten in its slot
// together with RSend.txt. The header is built, previewed, written and
// painted. Each figure is the median of five runs.
#include "core/AppState.h"
#include "directory/PhonebookFile.h"
#include "lists/frmCirculair.h"
#include "lists/frmHeader.h"
#include "lists/frmPresets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchSupport.h"

namespace {

constexpr int kSubscribers = 20000;
constexpr int kRuns = 5;

bool writeDirectory(const QString& path)
{
    QRandomGenerator random(20000);
    static const char* const kSurnames[] = {"Meier", "Schmidt", "Huber", "Rossi", "Dubois", "Novak", "Jensen",
                                            "Kowalski", "Bianchi", "Keller"};
    QByteArray bytes;
    for (int i = 0; i < kSubscribers; ++i) {
        PhonebookRecord record;
        record.ID = qint16(i + 1);
        record.setNumber(QString::number(100000 + random.bounded(900000)));
        record.setName(QStringLiteral("%1, %2 %3").arg(kSurnames[random.bounded(10)]).arg(random.bounded(5000)).arg(i));
        record.Check = random.bounded(20) == 0 ? 1 : 0;
        record.RsGr2 = random.bounded(10) == 0 ? 1 : 0;
        record.SubsNr = qint16(i + 1);
        record.ChangeDate = "04.12.2026";
        bytes += encodeSlot(record);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double secondsOf(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    AppState state;
    state.folder = ProgramFolder(folder.path());
    state.ConfigLines = QStringList({"0", "dd/mm/yyyy", "12345 vornak d"});
    PrintedDialogs dialogs;
    if (!writeDirectory(state.folder.file("\\phonebook.txt"))) {
        std::fprintf(stderr, "bench_lists: cannot write the directory\n");
        return 1;
    }

    std::vector<double> opening, favouritesOpening, saving, header;
    for (int run = 0; run < kRuns; ++run) {
        opening.push_back(secondsOf([&] {
            frmCirculair window(state, dialogs);
            window.show();
            window.grab();
        }));
        favouritesOpening.push_back(secondsOf([&] {
            frmPresets window(state, dialogs, {}, {}, {});
            window.show();
            window.grab();
        }));

        frmCirculair window(state, dialogs);
        QAbstractItemModel* model = window.lvwStat->model();
        for (int row = run; row < kSubscribers; row += 97)
            model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
        saving.push_back(secondsOf([&] { window.lblSave_Click(); }));

        header.push_back(secondsOf([&] {
            frmHeader headerWindow(state, dialogs, {});
            headerWindow.show();
            headerWindow.grab();
        }));
    }
    if (dialogs.messages > 0)
        return 1;
    std::printf("lists_open_%d: %.3f s\n", kSubscribers, median(opening));
    std::printf("lists_favourites_open_%d: %.3f s\n", kSubscribers, median(favouritesOpening));
    std::printf("lists_save_%d: %.3f s\n", kSubscribers, median(saving));
    std::printf("lists_header_open_%d: %.3f s\n", kSubscribers, median(header));
    return 0;
}
