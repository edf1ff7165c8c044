#include "appearance/Appearance.h"

#include "app/CommandHost.h"
#include "appearance/AnalogClock.h"
#include "core/AppState.h"
#include "core/Desk.h"
#include "core/SettingsStore.h"
#include "core/StatusPanel.h"
#include "core/VbText.h"
#include "core/Widgets.h"
#include "link/TerminalText.h"

#include <QPixmap>

namespace {

// A colour command: a small swatch showing the pair it chooses.
struct Swatch {
    const char* name;
    void (Appearance::*click)();
    const char* style;
};

const Swatch kSwatches[] = {
    {"lbGnBk", &Appearance::lbGnBk_Click, "QLabel { background: black; color: #00ff00; }"},
    {"lblBlWt", &Appearance::lblBlWt_Click, "QLabel { background: white; color: cyan; }"},
    {"lblRdBl", &Appearance::lblRdBl_Click, "QLabel { background: black; color: red; }"},
    {"lblYlBl", &Appearance::lblYlBl_Click, "QLabel { background: blue; color: white; }"},
    {"lblBkWt", &Appearance::lblBkWt_Click, "QLabel { background: white; color: navy; }"},
};

} // namespace

Appearance::Appearance(CommandHost& host, QObject* parent)
    : QObject(parent), m_host(host), Shape1(new AnalogClock(&host.desk()))
{
    for (const Swatch& swatch : kSwatches) {
        CommandLabel* label =
            host.addCommand("Look", swatch.name, "Aa", "Change Fore & Back color of the Text Window");
        label->setStyleSheet(swatch.style);
        label->setFixedWidth(32);
        connect(label, &CommandLabel::clicked, this, swatch.click);
    }
    connect(host.addCommand("Look", "lblStandard", "Standard", "Standard skin"), &CommandLabel::clicked, this,
            &Appearance::lblStandard_Click);
    connect(host.addCommand("Look", "lblSteam", "Steampunk", "Steampunk skin"), &CommandLabel::clicked, this,
            &Appearance::lblSteam_Click);
    applySkin(skins::Standard);
}

void Appearance::applySkin(const Skin& skin)
{
    m_host.terminal().setGeometry(twips(skin.left), twips(skin.top), twips(skin.width), twips(skin.height));
    m_host.status().Line1->setGeometry(twips(skin.left), twips(skin.top + skin.height) + 3, twips(skin.width), 4);
    Desk& desk = m_host.desk();
    const QPixmap picture(m_host.state().folder.file(skin.picture));
    QPalette palette = desk.palette();
    if (!picture.isNull())
        palette.setBrush(QPalette::Window, QBrush(picture.scaled(desk.size())));
    else
        palette.setBrush(QPalette::Window, skin.paperShown ? QColor(0xD8D0C0) : QColor(0x5A4632));
    desk.setPalette(palette);
}

void Appearance::applyColours(const ColourPair& colours)
{
    TerminalText& terminal = m_host.terminal();
    QPalette palette = terminal.palette();
    palette.setColor(QPalette::Text, colours.text);
    palette.setColor(QPalette::Base, colours.background);
    terminal.setPalette(palette);
}

void Appearance::restoreFont()
{
    const SettingsStore& settings = m_host.settings();
    const QString fontName = settings.get(setting_keys::FontName);
    if (fontName.isEmpty())
        return;
    TerminalText& terminal = m_host.terminal();
    QFont font = terminal.font();
    font.setFamily(fontName);
    const double size = leadingNumber(settings.get(setting_keys::FontSize));
    if (size > 0)
        font.setPointSizeF(size);
    terminal.setFont(font);
}

void Appearance::applyCommandLine(const QStringList& words)
{
    for (const QString& word : words) {
        if (word == "/steam")
            lblSteam_Click();
        else if (word == "/Color1")
            lbGnBk_Click();
        else if (word == "/Color2")
            lblBlWt_Click();
        else if (word == "/Color3")
            lblRdBl_Click();
        else if (word == "/Color4")
            lblYlBl_Click();
    }
}

void Appearance::DrawClock(const QDateTime& now)
{
    Shape1->DrawClock(now);
}
