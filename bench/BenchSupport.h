#pragma once

// What the benchmark programs share.

#include "core/Dialogs.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

// A fresh program folder (with the shipped defaults) and settings store for
// one benchmark run, and no display unless `onDisplay`. Make it before the
// application: it points the environment at them.
struct BenchFolder {
    QTemporaryDir temporary;
    QString path = temporary.path() + "/program";

    explicit BenchFolder(bool onDisplay = false)
    {
        QDir().mkpath(path);
        QDir().mkpath(temporary.path() + "/config");
        if (!onDisplay)
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("VORNAK_DIR", path.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (temporary.path() + "/config").toLocal8Bit());
        ProgramFolder::fillWithDefaults(path);
    }
    bool valid() const { return temporary.isValid(); }
};

// Message boxes become lines on stderr: a benchmark has nobody to click.
class PrintedDialogs : public Dialogs {
public:
    Answer message(const QString& text, Icon, Buttons, Answer defaultAnswer, const QString&) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++messages;
        return defaultAnswer;
    }
    void beep() override {}
    QString openFile(const FileRequest&) override { return {}; }
    QString saveFile(const FileRequest&) override { return {}; }
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
    bool openExternal(const QUrl&) override { return false; }
    int messages = 0;
};

// CPU time the process has used so far, user and system, in seconds.
inline double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
