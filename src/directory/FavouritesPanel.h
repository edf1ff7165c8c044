#pragma once

#include "core/Operations.h"
#include "directory/PhonebookRecord.h"

#include <QObject>
#include <QStringList>
#include <QVector>
#include <array>

class CommandLabel;
class QWidget;
class CommandHost;

// The main window's favourites panel frameNumbers: up to 25 favourites of
// phonebook.txt, each on a label that dials it with one click.
class FavouritesPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int kLabels = 25;
    // Where the panel opens on the main window's desk, in twips.
    static constexpr int kTopTwips = 45;
    static constexpr int kLeftTwips = 13455;

    // Makes the panel frameNumbers on the host's desk (hidden) with the labels
    // lblCallNumbers_0 .. _24 and lblExitNumbers.
    FavouritesPanel(CommandHost& host, Dialler dial);

    // Reads the phonebook again and captions the labels (lblRefresh_Click).
    void refresh();
    // Refreshes and shows the panel (lblPhonebookShow_Click).
    void show();
    // lblExitNumbers_Click.
    void hide();
    // A click on label `index`: dials its number when the port is open.
    void lblCallNumbers_Click(int index);

    QWidget* frame() const { return m_frame; }
    std::array<CommandLabel*, kLabels> lblCallNumbers{};
    CommandLabel* lblExitNumbers = nullptr;

private:
    CommandHost& m_host;
    QWidget* m_frame;
    Dialler m_dial;
};

// The caption of a favourite: two spaces, the 12-character number as
// stored, spaces up to a width of 10 for the number without its trailing
// spaces, then the 40-character name as stored.
QString favouriteCaption(const PhonebookRecord& record);

// The 25 captions for the records in file order: labels without a
// favourite show their own index (" 0" .. " 24"); every record whose Check
// is not 0 takes the next label; favourites past the 25th are not shown.
QStringList favouriteCaptions(const QVector<PhonebookRecord>& records);

// What a click on a caption dials: the numeric value of its first 12
// characters as plain digits, and as display name four spaces followed by
// the whole caption.
struct DialRequest {
    QString number;
    QString name;
};
DialRequest dialRequestFor(const QString& caption);
