#pragma once

#include <QStringList>
#include <QtGlobal>

// Names the application "vornak" (the name of its data and settings
// folders). No display name is given: the window system would add it to
// every window caption, and each window's caption is exactly its own text.
void nameApplication();

// Starts the terminal window on the program folder and settings of this
// user and runs it until it ends; the arguments are the command line
// without the program name.
int runTerminal(const QStringList& arguments);

// Runs `vornak send` without a window (`arguments`: what follows "send"):
// the program folder, configuration and settings of this user, output on
// the standard streams. Needs only a Qt core application.
int runSend(const QStringList& arguments);

// The message handler while the widget application is made. Qt's messages
// go to standard error as Qt writes them; the fatal one (no window system
// could be started: no display named, or one that cannot be reached) would
// abort the program with a core dump. This handler ends it instead with a
// line saying why and exit status 1.
void endWithoutWindowSystem(QtMsgType type, const QMessageLogContext& context, const QString& message);

// Runs `vornak station` without a window (`arguments`: what follows
// "station") until SIGTERM or SIGINT stops it. Needs only a Qt core
// application.
int runStation(const QStringList& arguments);
