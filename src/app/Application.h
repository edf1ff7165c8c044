#pragma once

#include <QStringList>

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

// Runs `vornak station` without a window (`arguments`: what follows
// "station") until SIGTERM or SIGINT stops it. Needs only a Qt core
// application.
int runStation(const QStringList& arguments);
