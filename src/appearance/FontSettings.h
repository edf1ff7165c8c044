#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class SettingsStore;

// The terminal window's font as the settings store keeps it (section
// "Font"), and how a kept font becomes the window's font.
namespace fontsettings {

struct StoredFont {
    QString name;
    double size = 0;             // points; 0 when none is kept
    std::optional<bool> bold;    // nothing when not kept
    std::optional<bool> italic;
    std::optional<QColor> colour;
};

// The colour as the store keeps it: red + 256 x green + 65536 x blue, as
// decimal text.
QString colourValue(const QColor& colour);
// The colour of such a text; nothing for a text that is not a whole number
// from 0 to 16777215.
std::optional<QColor> colourFromValue(const QString& text);

// Whether text of one colour reads on a background: a contrast ratio of at
// least 3 to 1 between their luminances.
bool readsOn(const QColor& text, const QColor& background);

StoredFont read(const SettingsStore& settings);
// Keeps name, size, bold, italic and colour.
void write(SettingsStore& settings, const QFont& font, const QColor& colour);

// The window's font for a kept one, starting from the designed font: the
// kept family when it is installed (else the designed one), the kept size,
// bold and italic as kept. A font kept without its weight is bold only when
// the designed family stays, whose bold is part of its design.
QFont restoredFont(const QFont& designed, const StoredFont& stored, bool familyInstalled);

} // namespace fontsettings
