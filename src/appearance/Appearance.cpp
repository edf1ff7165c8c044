#include "appearance/Appearance.h"

#include "appearance/AnalogClock.h"
#include "appearance/FontSettings.h"
#include "appearance/PaperPicture.h"
#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/DataFile.h"
#include "core/Desk.h"
#include "core/Dialogs.h"
#include "core/SettingsStore.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"
#include "link/TerminalText.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPixmap>
#include <QUrl>

namespace {

const QString kColourTip = QStringLiteral("Change Fore & Back color of the Text Window");
const QString kTeleprinterFace = QStringLiteral("Stg 100 f.e.");
const QString kTypewriterFace = QStringLiteral("Tlwg Typewriter");
// The font dialog opens on the teleprinter face, not bold, in blue.
const QString kDialogFace = QStringLiteral("stg 100 f.e.");
const QColor kDialogColour(0, 0, 255);

// A colour command: a small swatch showing the pair it chooses.
struct Swatch {
    const char* name;
    void (Appearance::*click)();
    const ColourPair& pair;
};

const Swatch kSwatches[] = {
    {"lbGnBk", &Appearance::lbGnBk_Click, colours::GreenOnBlack},
    {"lblBlWt", &Appearance::lblBlWt_Click, colours::CyanOnWhite},
    {"lblRdBl", &Appearance::lblRdBl_Click, colours::RedOnBlack},
    {"lblYlBl", &Appearance::lblYlBl_Click, colours::WhiteOnBlue},
    {"lblBkWt", &Appearance::lblBkWt_Click, colours::NavyOnWhite},
};

// A picture file; none for what is not a regular file, so a pipe in its
// place never holds up the window (core/DataFile).
QPixmap pictureFile(const QString& path)
{
    QPixmap picture;
    const FileBytes file = readFileBytes(path);
    if (file.read())
        picture.loadFromData(file.bytes);
    return picture;
}

// A picture of the program folder; on a screen of twice the pixels (or
// more) its twice-as-large sibling "name@2x.ext", when there is one, so the
// desk stays sharp.
QPixmap densestPicture(const ProgramFolder& folder, const QString& name)
{
    const QString path = folder.file(name);
    if (qApp && qApp->devicePixelRatio() >= 1.5) {
        const QFileInfo file(path);
        const QString dense = file.path() + "/" + file.completeBaseName() + "@2x." + file.suffix();
        const QPixmap picture = pictureFile(dense);
        if (!picture.isNull())
            return picture;
    }
    return pictureFile(path);
}

// That picture, read when it is first drawn. The folder outlives every
// picture of the window.
LazyPicture pictureForScreen(const ProgramFolder& folder, const QString& name)
{
    return LazyPicture([&folder, name] { return densestPicture(folder, name); });
}

QRect placeOf(const Skin& skin)
{
    return QRect(skin.left, skin.top, skin.width, skin.height);
}

// The ruler: 3 pixels below the text window, 4 pixels high, as wide.
QRect rulerPlaceOf(const Skin& skin)
{
    return QRect(skin.left, skin.top + skin.height + 45, skin.width, 60);
}

} // namespace

Appearance::Appearance(CommandHost& host, QObject* parent)
    : QObject(parent), m_host(host), Shape1(new AnalogClock(&host.desk()))
{
    setObjectName("Appearance");
    Desk& desk = host.desk();
    const ProgramFolder& folder = host.state().folder;
    picQuillnetPapier[1] =
        new PaperPicture("picQuillnetPapier_1", pictureForScreen(folder, paper::EdgePicture), paper::EdgePlace, desk);
    picQuillnetPapier[0] =
        new PaperPicture("picQuillnetPapier_0", pictureForScreen(folder, paper::SheetPicture), paper::SheetPlace, desk);
    host.terminal().setFont(designedFont());
    host.status().Line1->followText(&host.terminal());
    connect(&desk, &Desk::layoutChanged, this, [this] { m_host.terminal().setZoom(m_host.desk().scale()); });

    for (const Swatch& swatch : kSwatches) {
        CommandLabel* label = host.addCommand("Look", swatch.name, "Aa", kColourTip);
        label->setCaptionColor(swatch.pair.text);
        label->setFaceColor(swatch.pair.background);
        connect(label, &CommandLabel::clicked, this, swatch.click);
    }
    connect(host.addCommand("Look", "lblStandard", "Standard", "Standard skin"), &CommandLabel::clicked, this,
            &Appearance::lblStandard_Click);
    connect(host.addCommand("Look", "lblSteam", "Steampunk", "Steampunk skin"), &CommandLabel::clicked, this,
            &Appearance::lblSteam_Click);
    connect(host.addCommand("Look", "lblFont", "Font", "Set font for the telex window"), &CommandLabel::clicked,
            this, &Appearance::lblFont_Click);
    connect(host.addCommand("Look", "lblHomepage", "Homepage", "Opens the Vornak Homepage in your browser"),
            &CommandLabel::clicked, this, &Appearance::lblHomepage_Click);
    applySkin(skins::Standard);
}

QFont Appearance::designedFont()
{
    QFont font = QFontDatabase::hasFamily(kTeleprinterFace) ? QFont(kTeleprinterFace, 11)
                                                            : QFont(kTypewriterFace, 11, QFont::Bold);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

void Appearance::applySkin(const Skin& skin)
{
    m_skin = &skin;
    Desk& desk = m_host.desk();
    desk.setSkin(pictureForScreen(m_host.state().folder, skin.picture), skin.plainColour, skin.bands);
    // The text window zooms its own font with the desk (TerminalText::setZoom).
    const Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;
    desk.place(&m_host.terminal(), placeOf(skin), QSize(), topLeft, false);
    desk.place(m_host.status().Line1, rulerPlaceOf(skin), QSize(), topLeft, false);
    for (PaperPicture* picture : picQuillnetPapier)
        picture->setVisible(skin.paperShown);
    m_host.terminal().setFrameShape(skin.textFrame ? QFrame::StyledPanel : QFrame::NoFrame);
}

void Appearance::applyColours(const ColourPair& colours)
{
    TerminalText& terminal = m_host.terminal();
    QPalette palette = terminal.palette();
    palette.setColor(QPalette::Text, colours.text);
    palette.setColor(QPalette::Base, colours.background);
    terminal.setPalette(palette);
}

void Appearance::lblFont_Click()
{
    TerminalText& terminal = m_host.terminal();
    QFont preset = terminal.font();
    if (QFontDatabase::hasFamily(kDialogFace))
        preset.setFamily(kDialogFace);
    preset.setBold(false);
    const std::optional<Dialogs::FontChoice> choice = m_host.dialogs().chooseFont({preset, kDialogColour});
    if (!choice)
        return;

    QFont font = terminal.font();
    font.setFamily(choice->font.family());
    if (choice->font.pointSizeF() > 0)
        font.setPointSizeF(choice->font.pointSizeF());
    else if (choice->font.pixelSize() > 0)
        font.setPixelSize(choice->font.pixelSize());
    font.setBold(choice->font.bold());
    font.setItalic(choice->font.italic());
    terminal.setFont(font);
    QPalette palette = terminal.palette();
    palette.setColor(QPalette::Text, choice->color);
    terminal.setPalette(palette);
    fontsettings::write(m_host.settings(), font, choice->color);
}

void Appearance::restoreFont()
{
    const fontsettings::StoredFont stored = fontsettings::read(m_host.settings());
    if (stored.name.isEmpty())
        return;
    TerminalText& terminal = m_host.terminal();
    terminal.setFont(fontsettings::restoredFont(designedFont(), stored, QFontDatabase::hasFamily(stored.name)));
    // The chosen colour comes back too, unless the window's background of
    // the moment would hide it (the colour pair is not kept).
    QPalette palette = terminal.palette();
    if (stored.colour && fontsettings::readsOn(*stored.colour, palette.color(QPalette::Base))) {
        palette.setColor(QPalette::Text, *stored.colour);
        terminal.setPalette(palette);
    }
}

void Appearance::lblHomepage_Click()
{
    SettingsStore& settings = m_host.settings();
    const QString address = settings.get(setting_keys::Homepage).trimmed();
    Dialogs& dialogs = m_host.dialogs();
    if (address.isEmpty()) {
        dialogs.message("No homepage address is set. Write it into " + settings.location()
                            + " as the line Address=https://... in the section [Homepage].",
                        Dialogs::Icon::Information);
        return;
    }
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid() || !dialogs.openExternal(url))
        dialogs.warn("The homepage " + address + " cannot be opened: no browser took the address.");
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
