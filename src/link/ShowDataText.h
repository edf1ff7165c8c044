#pragma once

#include <QString>

// What received text does to the terminal window, before it is inserted:
// backspaces take the character before them away (a backspace at the head
// of the text takes the window's last character instead), line feeds are
// dropped and every carriage return gets a line feed after it.
struct ShowDataEdit {
    QString insert;              // the text to insert at the end of the window
    bool replaceLastChar = false; // the insertion replaces the window's last character
};

ShowDataEdit prepareShowData(const QString& received);

// The window keeps at most this many characters before new text arrives;
// past it, the first kTrimCount are dropped at once.
constexpr int kWindowLimit = 16000;
constexpr int kTrimCount = 4096;
