#include "appearance/FontSettings.h"

#include "core/SettingsStore.h"
#include "core/VbText.h"

#include <QFontInfo>
#include <cmath>

namespace fontsettings {

namespace {

double luminance(const QColor& colour)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) + 0.0722 * channel(colour.blue());
}

std::optional<bool> flag(const QString& text)
{
    if (text == "1")
        return true;
    if (text == "0")
        return false;
    return std::nullopt;
}

} // namespace

QString colourValue(const QColor& colour)
{
    const qint64 value = qint64(colour.red()) + 256 * qint64(colour.green()) + 65536 * qint64(colour.blue());
    return QString::number(value);
}

std::optional<QColor> colourFromValue(const QString& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0 || value > 0xFFFFFF)
        return std::nullopt;
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

bool readsOn(const QColor& text, const QColor& background)
{
    const double a = luminance(text) + 0.05;
    const double b = luminance(background) + 0.05;
    return std::max(a, b) / std::min(a, b) >= 3.0;
}

StoredFont read(const SettingsStore& settings)
{
    StoredFont stored;
    stored.name = settings.get(setting_keys::FontName);
    stored.size = leadingNumber(settings.get(setting_keys::FontSize));
    stored.bold = flag(settings.get(setting_keys::FontBold));
    stored.italic = flag(settings.get(setting_keys::FontItalic));
    stored.colour = colourFromValue(settings.get(setting_keys::FontColor));
    return stored;
}

void write(SettingsStore& settings, const QFont& font, const QColor& colour)
{
    const double size = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    settings.save(setting_keys::FontName, font.family());
    settings.save(setting_keys::FontSize, QString::number(size));
    settings.save(setting_keys::FontColor, colourValue(colour));
    settings.save(setting_keys::FontBold, font.bold() ? "1" : "0");
    settings.save(setting_keys::FontItalic, font.italic() ? "1" : "0");
}

QFont restoredFont(const QFont& designed, const StoredFont& stored, bool familyInstalled)
{
    QFont font = designed;
    const bool sameFamily = stored.name.compare(designed.family(), Qt::CaseInsensitive) == 0;
    if (familyInstalled && !sameFamily)
        font.setFamily(stored.name);
    if (stored.size > 0)
        font.setPointSizeF(stored.size);
    const bool designedFamily = sameFamily || !familyInstalled;
    font.setBold(stored.bold.value_or(designedFamily && designed.bold()));
    font.setItalic(stored.italic.value_or(false));
    return font;
}

} // namespace fontsettings
