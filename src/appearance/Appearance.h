#pragma once

#include <QDateTime>
#include <QFont>
#include <QObject>
#include <QStringList>
#include <array>

#include "appearance/Looks.h"

class AnalogClock;
class CommandHost;
class PaperPicture;

// How the main window looks: the two skins (the desk's picture, the paper
// behind the text window and where the terminal text window sits), the
// five colour pairs of the terminal text window, its font (chosen in the
// font dialog, kept in the settings store), the command-line switches that
// choose a skin and colours at start-up, the homepage command and the
// analogue clock on the desk. Its commands stand in the "Look" group.
class Appearance : public QObject {
    Q_OBJECT
public:
    explicit Appearance(CommandHost& host, QObject* parent = nullptr);

    void lblStandard_Click() { applySkin(skins::Standard); }
    void lblSteam_Click() { applySkin(skins::Steampunk); }
    void lbGnBk_Click() { applyColours(colours::GreenOnBlack); }
    void lblBlWt_Click() { applyColours(colours::CyanOnWhite); }
    void lblRdBl_Click() { applyColours(colours::RedOnBlack); }
    void lblYlBl_Click() { applyColours(colours::WhiteOnBlue); }
    void lblBkWt_Click() { applyColours(colours::NavyOnWhite); }
    // The font dialog: applies the chosen font and colour to the terminal
    // text window and keeps them in the settings store; cancelled, nothing
    // changes.
    void lblFont_Click();
    // Opens the homepage address of the settings store in the browser.
    void lblHomepage_Click();

    // The skin's picture on the desk, the paper shown or hidden, and the
    // terminal text window (with its ruler) where the skin places it; the
    // colours stay.
    void applySkin(const Skin& skin);
    const Skin& skin() const { return *m_skin; }
    // The text and background colours of the terminal text window; the
    // placement stays.
    void applyColours(const ColourPair& colours);

    // The font the terminal text window has before any choice: the
    // teleprinter face "Stg 100 f.e." when it is installed, else the bold
    // typewriter face "Tlwg Typewriter", both at 11 points.
    static QFont designedFont();

    // The font (and, when it reads on the background, the colour) kept in
    // the settings store, when one is kept (start-up).
    void restoreFont();
    // "/steam", "/Color1" .. "/Color4" in the order given; other words are
    // ignored.
    void applyCommandLine(const QStringList& words);

    // Sets the clock's hands to the time of day.
    void DrawClock(const QDateTime& now);

private:
    CommandHost& m_host;
    AnalogClock* Shape1;
    std::array<PaperPicture*, 2> picQuillnetPapier{};
    const Skin* m_skin = &skins::Standard;
};
