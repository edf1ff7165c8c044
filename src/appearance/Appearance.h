#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include "appearance/Looks.h"

class AnalogClock;
class CommandHost;

// How the main window looks: the two skins (the desk's picture and where
// the terminal text window sits on it), the five colour pairs of the
// terminal text window, the font kept in the settings store, the
// command-line switches that choose a skin and colours at start-up, and the
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

    // The skin's picture on the desk and the terminal text window (with its
    // ruler) where the skin places it; the colours stay.
    void applySkin(const Skin& skin);
    // The text and background colours of the terminal text window; the
    // placement stays.
    void applyColours(const ColourPair& colours);

    // The font kept in the settings store, when one is kept (start-up).
    void restoreFont();
    // "/steam", "/Color1" .. "/Color4" in the order given; other words are
    // ignored.
    void applyCommandLine(const QStringList& words);

    // Sets the clock's hands to the time of day.
    void DrawClock(const QDateTime& now);

private:
    CommandHost& m_host;
    AnalogClock* Shape1;
};
