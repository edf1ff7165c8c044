#pragma once

#include <QString>

// Every key of the per-user settings store, with its section. Nothing else
// in the program spells a section or key name.
struct SettingKey {
    QString section;
    QString key;
};

namespace setting_keys {

// The port: settings string ("9600,n,8,1"), port number, flow control.
inline const SettingKey PortSettings{"Properties", "Settings"};
inline const SettingKey CommPort{"Properties", "CommPort"};
inline const SettingKey Handshaking{"Properties", "Handshaking"};

// "1": when the open port's device vanishes, the port is opened again as
// soon as the same device comes back.
inline const SettingKey ReopenPort{"Properties", "ReopenPort"};

// "1": everything that goes over the line is written to the traffic
// journal (the program folder's journal/ folder, one file a day).
inline const SettingKey JournalOn{"Journal", "On"};

// "1": the window keeps every received message in the archive (the
// program folder's archive/ folder); a message ends after QuietSeconds of
// quiet (30 when not set). "1" in Notice: a desktop notice when a message
// starts while the window is not active. PaperPicture "0": printed and PDF
// telexes on plain white instead of the paper picture.
inline const SettingKey ArchiveOn{"Archive", "On"};
inline const SettingKey ArchiveQuietSeconds{"Archive", "QuietSeconds"};
inline const SettingKey ArchiveNotice{"Archive", "Notice"};
inline const SettingKey PrintOnPaperPicture{"Archive", "PaperPicture"};

// The terminal window's font.
inline const SettingKey FontName{"Font", "FontName"};
inline const SettingKey FontSize{"Font", "FontSize"};
inline const SettingKey FontColor{"Font", "FontColor"};
// Whether the chosen font is bold or italic ("1" or "0"), so that a restored
// font is the one chosen and not the designed font's weight in its family.
inline const SettingKey FontBold{"Font", "FontBold"};
inline const SettingKey FontItalic{"Font", "FontItalic"};

// The web page the "Homepage" command opens in the browser (an http or
// https address); empty: the command says where to set one.
inline const SettingKey Homepage{"Homepage", "Address"};

// The headline layout chosen last, written at exit.
inline const SettingKey HeadlineOption{"HeadlineSelect", "Option"};

// The web folder the help document "wnew.rtf" is fetched from (an http or
// https address); empty: the help window shows its local copy only.
inline const SettingKey HelpWebFolder{"Help", "WebFolder"};

// The device behind port number N ("Ports"/"Com<N>"), when the user maps one.
inline SettingKey portDevice(int number)
{
    return {"Ports", QStringLiteral("Com%1").arg(number)};
}

} // namespace setting_keys
