#pragma once

#include <QString>
#include <functional>

// The named operations the parts hand each other. Each is owned by one part
// and given, when the main window is put together, to the parts that use it;
// a part never reaches another part through the main window.

// CallNumber, owned by the line commands: dials a number through the box and
// shows the name in the terminal window.
using Dialler = std::function<void(const QString& CallNr, const QString& CallNm)>;

// ShowData, owned by the receive path: puts text into the terminal window the
// way received text goes in.
using TextDisplay = std::function<void(const QString& text)>;

// SendTxt, owned by the text transmissions: sends a short text one character
// at a time, spelled with table B and paced by CharDelay.
using TextSender = std::function<void(const QString& text)>;

// Opens the message editor modally on a file (EditFile, a full path) in one
// of its edit modes (EditMode); returns when the editor has closed.
using EditorOpener = std::function<void(const QString& EditFile, int EditMode)>;

// lblRefresh_Click, owned by the phonebook commands: reads the favourites
// (and the other lists of the main window) again after a file changed.
using ListsRefresher = std::function<void()>;
