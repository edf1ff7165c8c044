#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "core/ProgramFolder.h"

// The program-wide state shared by every window. One instance is owned by the
// application and handed to each part by reference; nothing here is global.
struct AppState {
    // The 21 value lines of QuillnetUsb.cfg and the values drawn from them.
    QStringList ConfigLines;
    qint16 DialPrefix = 0;
    QString DateFormat;
    QString StationId;
    QString DirectoryServer;
    double CharDelay = 0.0;
    double RSendService1 = 0.0;
    double RSendService2 = 0.0;

    // A call is in progress: from a dial request until go-ahead or close.
    bool ConnectionActive = false;
    // Sound effects off. Every run starts muted.
    bool SoundMuted = true;
    // Characters typed on the current line.
    qint16 ColumnCount = 0;

    // Character-by-character transmissions: false while one runs, true once
    // cancelled or finished.
    bool StopSend = false;
    // True: the next paste fills the preview; false: it transmits.
    bool PreviewMode = true;
    // Automatic answer to "klkl": switched on / being sent.
    bool KlklAuto = false;
    bool KlklBusy = false;
    // A broadcast call is pending / its receiver list has been sent.
    bool RSendPending = false;
    bool RSendListSent = false;
    // Chosen headline layout 0, 1 or 2.
    int HeadlineSelect = 0;
    // File and mode with which the message editor opens.
    QString EditFile;
    int EditMode = 0;
    // Tape picture drawing position and the puncher loop's stop flag.
    int PunchX = 0;
    bool PunchStop = false;
    // Check state of the rows of the favourites and broadcast windows.
    QVector<qint16> CheckState;

    // The folder that holds every data file.
    ProgramFolder folder;

    // The time of day; tests replace it to get repeatable clocks and dates.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};
