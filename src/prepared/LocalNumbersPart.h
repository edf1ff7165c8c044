#pragma once

#include "core/Operations.h"
#include "prepared/LocalNumbers.h"

#include <QObject>
#include <array>

class CommandHost;
class CommandLabel;
class QGroupBox;
class QLineEdit;

// The local and special numbers of the box: the list panel frameLocalCalls
// whose 18 buttons dial them, and the editor panel frameLocalTeleprinters
// that rewrites "\LocalTelex.txt". Both are panels on the desk; the commands
// "Local Numbers" and "Edit Local Nr." open them.
class LocalNumbersPart : public QObject {
    Q_OBJECT
public:
    // `refreshFavourites` brings the favourites panel up to date after the
    // editor has saved.
    LocalNumbersPart(CommandHost& host, Dialler dial, ListsRefresher refreshFavourites, QObject* parent = nullptr);

    // Reads the file, captions the buttons, shows the list.
    void lblLocalNumbersShow_Click();
    // Dials the number on button k when the port is open.
    void lblLocalTelex_Click(int index);
    void lblExitLocalTeleprinters_Click();
    // Reads the file into the fields and shows the editor panel.
    void lblEditLocal_Click();
    // Writes all 18 lines, closes the editor and refreshes the favourites.
    // When the file cannot be written the user is told, the panel stays
    // open with the fields as typed, and the result is false.
    bool lblExitLocalNumbers_Click();

    QGroupBox* frameLocalCalls;
    std::array<CommandLabel*, localnumbers::kEntries> lblLocalTelex{};
    CommandLabel* lblExitLocalTeleprinters;

    QGroupBox* frameLocalTeleprinters;
    std::array<QLineEdit*, localnumbers::kEntries> txtLocalNumber{};
    std::array<QLineEdit*, localnumbers::kEntries> txtLocalName{};
    CommandLabel* lblExitLocalNumbers;

    CommandLabel* lblLocalNumbersShow;
    CommandLabel* lblEditLocal;

private:
    void buildList();
    void buildEditor();
    // The entries of the file; entries it has no line for are empty.
    localnumbers::Entries readEntries();
    void showCaptions(const localnumbers::Entries& entries);
    QString path() const;

    CommandHost& m_host;
    Dialler m_dial;
    ListsRefresher m_refreshFavourites;
};
