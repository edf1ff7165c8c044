// How the desk grows (the mapping of the design and the banded drawing of a
// picture), the font as the settings store keeps it, and the skins, colours,
// font dialog, font restore and homepage command on a host of their own.
#include "support/TestHost.h"
#include "support/TestMain.h"

#include "appearance/Appearance.h"
#include "appearance/FontSettings.h"
#include "appearance/PaperPicture.h"

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QSettings>

using namespace deskgeometry;

namespace {

using Colours = std::pair<QColor, QColor>;

// The text and background colours of the terminal text window.
Colours coloursOf(TerminalText& terminal)
{
    return {terminal.palette().color(QPalette::Text), terminal.palette().color(QPalette::Base)};
}

// A picture of 120 x 40 design pixels: red left of the band across (x <
// 40), the band 40..60 white with a black column at 50, blue right of it;
// a grey row at y 15 inside the band down (10..20).
QPixmap bandedPicture(int scale)
{
    QImage image(120 * scale, 40 * scale, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.fillRect(0, 0, 40, 40, Qt::red);
    painter.fillRect(40, 0, 20, 40, Qt::white);
    painter.fillRect(50, 0, 1, 40, Qt::black);
    painter.fillRect(60, 0, 60, 40, Qt::blue);
    painter.fillRect(0, 15, 120, 1, Qt::gray);
    painter.end();
    return QPixmap::fromImage(image);
}

QImage drawnAt(const QPixmap& picture, const QSize& size, const Bands& bands)
{
    QImage target(size, QImage::Format_RGB32);
    target.fill(Qt::green); // a colour the picture does not hold
    QPainter painter(&target);
    drawBanded(painter, target.rect(), picture, QSize(120, 40), bands);
    painter.end();
    return target;
}

} // namespace

class LooksTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void theDesignKeepsItsPlacesOutsideTheBands()
    {
        // Before, through and after a band grown by 300; a band of no length
        // splits the axis at its place.
        const Band across{440, 480}, empty{440, 440};
        const std::tuple<int, Band, int, int> coordinates[] = {
            {100, across, 300, 100}, {440, across, 300, 440}, {460, across, 300, 440 + 170},
            {480, across, 300, 780}, {1200, across, 300, 1500}, {439, empty, 10, 439}, {440, empty, 10, 450}};
        for (const auto& [design, band, grown, mapped] : coordinates)
            QCOMPARE(mapCoordinate(design, band, grown), mapped);

        // A panel below the band down moves down and grows across (the text
        // window and the clock on a grown desk are seen in the window tests).
        const Bands bands{{440, 480}, {188, 201}};
        QCOMPARE(mapRect(QRect(36, 330, 825, 12), bands, QSize(1500, 600)), QRect(36, 558, 1125, 12));

        // The bands seen from a picture lying at (40, 23) of the design.
        const Bands inside = bandsWithin(bands, QRect(40, 23, 817, 307));
        QCOMPARE(QList<int>({inside.across.start, inside.down.end}), QList<int>({400, 178}));
    }

    void aPictureIsDrawnWholeWithItsBandsRepeated()
    {
        const Bands bands{{40, 60}, {10, 20}};
        for (int scale : {1, 2}) {
            const QPixmap picture = bandedPicture(scale);
            // 40 more pixels across: the band, 20 wide, shows three times;
            // 20 more down: the band, 10 high, shows three times.
            const QImage wider = drawnAt(picture, QSize(160, 40), bands);
            const QImage taller = drawnAt(picture, QSize(120, 60), bands);
            const std::tuple<const QImage*, int, int, Qt::GlobalColor> pixels[] = {
                {&wider, 39, 5, Qt::red},     {&wider, 40, 5, Qt::white},   {&wider, 50, 5, Qt::black},
                {&wider, 70, 5, Qt::black},   {&wider, 90, 5, Qt::black},   {&wider, 99, 5, Qt::white},
                {&wider, 100, 5, Qt::blue},   {&wider, 159, 39, Qt::blue},  {&taller, 100, 15, Qt::gray},
                {&taller, 100, 25, Qt::gray}, {&taller, 100, 35, Qt::gray}, {&taller, 100, 14, Qt::blue},
                {&taller, 100, 16, Qt::blue}, {&taller, 100, 34, Qt::blue}, {&taller, 100, 36, Qt::blue},
                {&taller, 100, 59, Qt::blue}};
            for (const auto& [image, x, y, colour] : pixels)
                QCOMPARE(QColor(image->pixel(x, y)), QColor(colour));
        }
        // At any size nothing of the target is left bare.
        const QPixmap picture = bandedPicture(1);
        for (const QSize size : {QSize(120, 40), QSize(121, 41), QSize(157, 83), QSize(333, 47), QSize(999, 401)}) {
            const QImage image = drawnAt(picture, size, bands);
            int bare = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    bare += QColor(image.pixel(x, y)) == QColor(Qt::green) ? 1 : 0;
            }
            QVERIFY2(bare == 0, qPrintable(QStringLiteral("%1 bare pixels at %2 x %3")
                                               .arg(bare).arg(size.width()).arg(size.height())));
        }
    }

    void theFontAsTheStoreKeepsIt()
    {
        // Red + 256 x green + 65536 x blue as decimal text, and back.
        const std::pair<QColor, QString> values[] = {
            {QColor(0, 0, 255), "16711680"}, {QColor(255, 0, 0), "255"}, {QColor(1, 2, 3), "197121"}};
        for (const auto& [colour, value] : values) {
            QCOMPARE(fontsettings::colourValue(colour), value);
            QCOMPARE(fontsettings::colourFromValue(value), std::optional<QColor>(colour));
        }
        QCOMPARE(fontsettings::colourFromValue(" 255 "), std::optional<QColor>(QColor(255, 0, 0)));
        for (const char* wrong : {"", "blue", "-1", "16777216", "12.5"})
            QVERIFY2(!fontsettings::colourFromValue(wrong), wrong);

        using fontsettings::readsOn;
        QCOMPARE(QList<bool>({readsOn(QColor(0, 0, 128), Qt::white), readsOn(Qt::white, QColor(0, 0, 255)),
                              readsOn(Qt::white, Qt::white), readsOn(QColor(255, 255, 0), Qt::white)}),
                 QList<bool>({true, true, false, false}));

        // Another family: its size, and not the designed face's bold. The
        // designed family keeps its bold; a size of nothing keeps 11. A
        // family that is not installed leaves the designed face, in the
        // kept size. Kept weight and slant win.
        const QFont designed("Tlwg Typewriter", 11, QFont::Bold);
        const std::tuple<fontsettings::StoredFont, bool, QString> fonts[] = {
            {{"DejaVu Sans Mono", 14, {}, {}, {}}, true, "DejaVu Sans Mono 14"},
            {{"tlwg typewriter", 0, {}, {}, {}}, true, "Tlwg Typewriter 11 bold"},
            {{"No Such Face", 13, {}, {}, {}}, false, "Tlwg Typewriter 13 bold"},
            {{"DejaVu Sans Mono", 9, true, true, {}}, true, "DejaVu Sans Mono 9 bold italic"}};
        for (const auto& [stored, installed, expected] : fonts) {
            const QFont font = fontsettings::restoredFont(designed, stored, installed);
            QCOMPARE(QStringLiteral("%1 %2%3%4").arg(font.family()).arg(font.pointSize())
                         .arg(font.bold() ? " bold" : "", font.italic() ? " italic" : ""), expected);
        }
    }

    void skinsColoursAndSwitchesLeaveEachOtherAlone()
    {
        TestHost host(env);
        Appearance looks(host);
        TerminalText& terminal = host.terminal();
        QWidget* sheet = host.desk().findChild<QWidget*>("picQuillnetPapier_0");
        QWidget* edge = host.desk().findChild<QWidget*>("picQuillnetPapier_1");
        QVERIFY(sheet && edge);

        // The standard skin: the text window at its twips, the paper round
        // it (its margin is seen in the window tests), the ruler right under.
        const QRect standard(790 / 15, 525 / 15, 11895 / 15, 4245 / 15);
        QCOMPARE(terminal.geometry(), standard);
        QVERIFY(sheet->isVisibleTo(&host) && edge->isVisibleTo(&host));
        QCOMPARE(edge->geometry().top(), sheet->geometry().bottom() + 1);
        QCOMPARE(host.status().Line1->geometry(), QRect(standard.left(), standard.bottom() + 1 + 3, standard.width(), 4));

        // Every pair of its command; the colours keep the skin's placement,
        // and a skin chosen after them keeps the colours.
        const QRect steam(780 / 15, 585 / 15, 11895 / 15, 4185 / 15);
        const std::tuple<QString, QColor, QColor, QString> pairs[] = {
            {"lbGnBk", QColor(0, 255, 0), QColor(0, 0, 0), "lblSteam"},
            {"lblBlWt", QColor(0, 255, 255), QColor(255, 255, 255), "lblStandard"},
            {"lblRdBl", QColor(255, 0, 0), QColor(0, 0, 0), "lblSteam"},
            {"lblYlBl", QColor(255, 255, 255), QColor(0, 0, 255), "lblSteam"},
            {"lblBkWt", QColor(0, 0, 128), QColor(255, 255, 255), "lblStandard"}};
        QRect place = standard;
        for (const auto& [name, text, back, skin] : pairs) {
            host.click(name);
            QCOMPARE(terminal.geometry(), place);
            QCOMPARE(coloursOf(terminal), Colours(text, back));
            QCOMPARE(host.command(name)->toolTip(), QString("Change Fore & Back color of the Text Window"));
            host.click(skin);
            place = skin == "lblSteam" ? steam : standard;
            QCOMPARE(terminal.geometry(), place);
            QCOMPARE(coloursOf(terminal), Colours(text, back));
            QCOMPARE(QList<bool>({sheet->isVisibleTo(&host), edge->isVisibleTo(&host)}),
                     QList<bool>(2, skin == "lblStandard"));
        }

        // The start-up switches act in their order; others, and other
        // spellings, are ignored ("/Color2 /steam" through the start-up).
        looks.applyCommandLine({"/Color1", "/steam", "/Color3", "/COLOR4", "/Color5", "steam"});
        QCOMPARE(coloursOf(terminal), Colours(QColor(255, 0, 0), QColor(0, 0, 0)));
        QCOMPARE(&looks.skin(), &skins::Steampunk);

        // A missing skin picture leaves the plain desk, without a word; the
        // standard picture's own right edge is the desk's.
        QFile::remove(env.file("\\Skin-Pnk.jpg"));
        host.click("lblSteam");
        QCOMPARE(terminal.geometry(), steam);
        QCOMPARE(QColor(host.desk().grab().toImage().pixel(1195, 200)), skins::Steampunk.plainColour);
        host.click("lblStandard");
        QCOMPARE(QColor(host.desk().grab().toImage().pixel(1199, 5)),
                 QColor(QImage(env.file("\\Skin-Std.jpg")).pixel(1199, 5)));
        QVERIFY(host.scripted.asked.isEmpty());
    }

    void theFontDialogAppliesKeepsAndRestores()
    {
        QFont chosen("DejaVu Sans Mono", 13);
        chosen.setBold(true);
        chosen.setItalic(true);
        const auto isChosen = [](const QFont& font) {
            return font.family() == "DejaVu Sans Mono" && font.pointSize() == 13 && font.bold() && font.italic();
        };
        {
            TestHost host(env);
            Appearance looks(host);
            TerminalText& terminal = host.terminal();
            // No font kept: the designed one stays.
            looks.restoreFont();
            QCOMPARE(terminal.font(), Appearance::designedFont());

            // Cancelled: nothing changes, nothing is kept.
            looks.applyColours(colours::GreenOnBlack);
            host.click("lblFont");
            QCOMPARE(terminal.font(), Appearance::designedFont());
            QCOMPARE(coloursOf(terminal).first, QColor(0, 255, 0));
            for (const SettingKey& key : {setting_keys::FontName, setting_keys::FontSize, setting_keys::FontColor})
                QVERIFY(host.settings().get(key).isEmpty());

            // The dialog opens on blue, not bold, on the teleprinter face
            // where it is installed.
            host.scripted.font = Dialogs::FontChoice{chosen, QColor(0, 0, 200)};
            host.click("lblFont");
            QVERIFY(host.scripted.fontPreset);
            QCOMPARE(host.scripted.fontPreset->color, QColor(0, 0, 255));
            QVERIFY(!host.scripted.fontPreset->font.bold());
            if (QFontDatabase::hasFamily("stg 100 f.e."))
                QCOMPARE(host.scripted.fontPreset->font.family().toLower(), QString("stg 100 f.e."));
            QVERIFY(isChosen(terminal.font()));
            QCOMPARE(coloursOf(terminal).first, QColor(0, 0, 200));
            QVERIFY(host.settings().sync() && host.scripted.asked.isEmpty());
        }

        // What reached the settings file, read by a store of its own.
        const QSettings file(QSettings::IniFormat, QSettings::UserScope, "vornak", kAppTitle);
        QVERIFY2(file.fileName().startsWith(env.configHome()) && QFile::exists(file.fileName()),
                 qPrintable(file.fileName()));
        QCOMPARE(QStringList({file.value("Font/FontName").toString(), file.value("Font/FontSize").toString(),
                              file.value("Font/FontColor").toString()}),
                 QStringList({"DejaVu Sans Mono", "13", QString::number(200 * 65536)}));

        // The next start takes it back, colour included; a kept colour comes
        // back only where it reads on the background.
        TestHost next(env);
        Appearance looks(next);
        looks.applyColours(colours::BlackOnWhite);
        looks.restoreFont();
        QVERIFY(isChosen(next.terminal().font()));
        QCOMPARE(coloursOf(next.terminal()).first, QColor(0, 0, 200));
        looks.applyColours(colours::BlackOnWhite);
        next.settings().save(setting_keys::FontColor, "16777215"); // white
        looks.restoreFont();
        QCOMPARE(coloursOf(next.terminal()).first, QColor(0, 0, 0));
    }

    void theHomepageOpensTheAddressOfTheSettings()
    {
        TestHost host(env);
        Appearance looks(host);
        ScriptedDialogs& dialogs = host.scripted;
        QCOMPARE(host.command("lblHomepage")->toolTip(), QString("Opens the Vornak Homepage in your browser"));
        // No address: where to write one.
        host.click("lblHomepage");
        QVERIFY(dialogs.opened.isEmpty());
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY(dialogs.asked[0].text.contains("[Homepage]") && dialogs.asked[0].text.contains(host.settings().location()));

        dialogs.clear();
        host.settings().save(setting_keys::Homepage, " https://example.org/vornak ");
        host.click("lblHomepage");
        QCOMPARE(dialogs.opened, QList<QUrl>{QUrl("https://example.org/vornak")});
        QVERIFY(dialogs.asked.isEmpty());
        // No browser took it: a warning that names it.
        dialogs.openSucceeds = false;
        host.click("lblHomepage");
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(dialogs.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(dialogs.asked[0].text.contains("https://example.org/vornak"));
    }
};

VORNAK_TEST_MAIN(LooksTest)

#include "tst_looks.moc"
