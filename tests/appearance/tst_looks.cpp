// How the desk grows (the mapping of the design and the banded drawing of a
// picture), the font as the settings store keeps it, and the skins, colours,
// font dialog, font restore and homepage command on a host of their own.
#include "support/TestHost.h"
#include "support/TestMain.h"

#include "appearance/Appearance.h"
#include "appearance/FontSettings.h"
#include "appearance/PaperPicture.h"
#include "core/Desk.h"

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QSettings>
#include <QtTest>

using namespace deskgeometry;

namespace {

// The host with dialogs of the test's own, to see what a dialog was asked.
class ForwardingHost : public CommandHost {
public:
    ForwardingHost(TestHost& host, Dialogs& dialogs) : m_host(host), m_dialogs(dialogs) {}
    CommandLabel* addCommand(const QString& group, const QString& name, const QString& caption,
                             const QString& toolTip) override
    {
        return m_host.addCommand(group, name, caption, toolTip);
    }
    Desk& desk() override { return m_host.desk(); }
    QWidget* window() override { return &m_host; }
    TerminalText& terminal() override { return m_host.terminal(); }
    StatusPanel& status() override { return m_host.status(); }
    SerialLink& link() override { return m_host.link(); }
    SoundEffects& sounds() override { return m_host.sounds(); }
    Dialogs& dialogs() override { return m_dialogs; }
    AppState& state() override { return m_host.state(); }
    SettingsStore& settings() override { return m_host.settings(); }

private:
    TestHost& m_host;
    Dialogs& m_dialogs;
};

class PresetRecorder : public ScriptedDialogs {
public:
    std::optional<FontChoice> preset;
    std::optional<FontChoice> chooseFont(const FontChoice& asked) override
    {
        preset = asked;
        return ScriptedDialogs::chooseFont(asked);
    }
};

QColor textColour(TerminalText& terminal)
{
    return terminal.palette().color(QPalette::Text);
}

QColor backColour(TerminalText& terminal)
{
    return terminal.palette().color(QPalette::Base);
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
        const Band across{440, 480};
        QCOMPARE(mapCoordinate(100, across, 300), 100);
        QCOMPARE(mapCoordinate(440, across, 300), 440);
        QCOMPARE(mapCoordinate(460, across, 300), 440 + 170); // halfway through the grown band
        QCOMPARE(mapCoordinate(480, across, 300), 780);
        QCOMPARE(mapCoordinate(1200, across, 300), 1500);
        // A band of no length splits the axis at its place.
        QCOMPARE(mapCoordinate(439, Band{440, 440}, 10), 439);
        QCOMPARE(mapCoordinate(440, Band{440, 440}, 10), 450);

        // The text window grows by all the desk gains, the clock keeps its
        // size at the same distance from the right edge, a panel below the
        // band down moves down.
        const Bands bands{{440, 480}, {188, 201}};
        const QSize grown(1500, 600);
        QCOMPARE(mapRect(QRect(52, 35, 793, 283), bands, grown), QRect(52, 35, 793 + 300, 283 + 228));
        QCOMPARE(mapRect(QRect(960, 40, 130, 130), bands, grown), QRect(1260, 40, 130, 130));
        QCOMPARE(mapRect(QRect(36, 330, 825, 12), bands, grown), QRect(36, 558, 1125, 12));
        QCOMPARE(mapRect(QRect(52, 35, 793, 283), bands, kDesignSize), QRect(52, 35, 793, 283));

        // The bands seen from a picture lying at (40, 23) of the design.
        const Bands inside = bandsWithin(bands, QRect(40, 23, 817, 307));
        QCOMPARE(inside.across.start, 400);
        QCOMPARE(inside.down.end, 178);
    }

    void aPictureIsDrawnWholeWithItsBandsRepeated()
    {
        const Bands bands{{40, 60}, {10, 20}};
        for (int scale : {1, 2}) {
            const QPixmap picture = bandedPicture(scale);
            // 40 more pixels across: the band, 20 wide, shows three times.
            const QImage wider = drawnAt(picture, QSize(160, 40), bands);
            QCOMPARE(QColor(wider.pixel(39, 5)), QColor(Qt::red));
            QCOMPARE(QColor(wider.pixel(40, 5)), QColor(Qt::white));
            for (int x : {50, 70, 90})
                QCOMPARE(QColor(wider.pixel(x, 5)), QColor(Qt::black));
            QCOMPARE(QColor(wider.pixel(99, 5)), QColor(Qt::white));
            QCOMPARE(QColor(wider.pixel(100, 5)), QColor(Qt::blue));
            QCOMPARE(QColor(wider.pixel(159, 39)), QColor(Qt::blue));
            // 20 more down: the band, 10 high, shows three times.
            const QImage taller = drawnAt(picture, QSize(120, 60), bands);
            for (int y : {15, 25, 35})
                QCOMPARE(QColor(taller.pixel(100, y)), QColor(Qt::gray));
            for (int y : {14, 16, 34, 36, 59})
                QCOMPARE(QColor(taller.pixel(100, y)), QColor(Qt::blue));
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
        QCOMPARE(fontsettings::colourValue(QColor(0, 0, 255)), QString("16711680"));
        QCOMPARE(fontsettings::colourValue(QColor(255, 0, 0)), QString("255"));
        QCOMPARE(fontsettings::colourValue(QColor(1, 2, 3)), QString("197121"));
        QCOMPARE(fontsettings::colourFromValue("197121"), std::optional<QColor>(QColor(1, 2, 3)));
        QCOMPARE(fontsettings::colourFromValue(" 255 "), std::optional<QColor>(QColor(255, 0, 0)));
        for (const char* wrong : {"", "blue", "-1", "16777216", "12.5"})
            QVERIFY2(!fontsettings::colourFromValue(wrong), wrong);

        QVERIFY(fontsettings::readsOn(QColor(0, 0, 128), Qt::white));
        QVERIFY(fontsettings::readsOn(Qt::white, QColor(0, 0, 255)));
        QVERIFY(!fontsettings::readsOn(Qt::white, Qt::white));
        QVERIFY(!fontsettings::readsOn(QColor(255, 255, 0), Qt::white));

        const QFont designed("Tlwg Typewriter", 11, QFont::Bold);
        // Another family: its size, and not the designed face's bold.
        QFont font = fontsettings::restoredFont(designed, {"DejaVu Sans Mono", 14, {}, {}, {}}, true);
        QCOMPARE(font.family(), QString("DejaVu Sans Mono"));
        QCOMPARE(font.pointSize(), 14);
        QVERIFY(!font.bold() && !font.italic());
        // The designed family keeps its bold; a size of nothing keeps 11.
        font = fontsettings::restoredFont(designed, {"tlwg typewriter", 0, {}, {}, {}}, true);
        QVERIFY(font.bold());
        QCOMPARE(font.pointSize(), 11);
        // A family that is not installed leaves the designed face, in the kept size.
        font = fontsettings::restoredFont(designed, {"No Such Face", 13, {}, {}, {}}, false);
        QCOMPARE(font.family(), QString("Tlwg Typewriter"));
        QVERIFY(font.bold());
        QCOMPARE(font.pointSize(), 13);
        // Kept weight and slant win.
        font = fontsettings::restoredFont(designed, {"DejaVu Sans Mono", 9, true, true, {}}, true);
        QVERIFY(font.bold() && font.italic());
    }

    void skinsAndColourPairsLeaveEachOtherAlone()
    {
        TestHost host(env);
        Appearance looks(host);
        TerminalText& terminal = host.terminal();
        QWidget* sheet = host.desk().findChild<QWidget*>("picQuillnetPapier_0");
        QWidget* edge = host.desk().findChild<QWidget*>("picQuillnetPapier_1");
        QVERIFY(sheet && edge);

        // The standard skin: the text window at its twips, the paper round
        // it, the ruler right under it.
        const QRect standard(790 / 15, 525 / 15, 11895 / 15, 4245 / 15);
        QCOMPARE(terminal.geometry(), standard);
        QVERIFY(sheet->isVisibleTo(&host) && edge->isVisibleTo(&host));
        QCOMPARE(sheet->geometry(), standard.adjusted(-12, -12, 12, 12));
        QCOMPARE(edge->geometry().top(), sheet->geometry().bottom() + 1);
        QCOMPARE(host.status().Line1->geometry(), QRect(standard.left(), standard.bottom() + 1 + 3, standard.width(), 4));

        // Skin, then colours: the placement stays.
        host.click("lblSteam");
        const QRect steam(780 / 15, 585 / 15, 11895 / 15, 4185 / 15);
        QCOMPARE(terminal.geometry(), steam);
        QVERIFY(!sheet->isVisibleTo(&host) && !edge->isVisibleTo(&host));
        host.click("lbGnBk");
        QCOMPARE(terminal.geometry(), steam);
        QCOMPARE(textColour(terminal), QColor(0, 255, 0));
        QCOMPARE(backColour(terminal), QColor(0, 0, 0));

        // Colours, then a skin: the colours stay.
        host.click("lblYlBl");
        host.click("lblStandard");
        QCOMPARE(terminal.geometry(), standard);
        QVERIFY(sheet->isVisibleTo(&host));
        QCOMPARE(textColour(terminal), QColor(255, 255, 255));
        QCOMPARE(backColour(terminal), QColor(0, 0, 255));

        // Every pair of its command.
        const QList<std::tuple<QString, QColor, QColor>> pairs = {
            {"lbGnBk", QColor(0, 255, 0), QColor(0, 0, 0)},         {"lblBlWt", QColor(0, 255, 255), QColor(255, 255, 255)},
            {"lblRdBl", QColor(255, 0, 0), QColor(0, 0, 0)},        {"lblYlBl", QColor(255, 255, 255), QColor(0, 0, 255)},
            {"lblBkWt", QColor(0, 0, 128), QColor(255, 255, 255)}};
        for (const auto& [name, text, back] : pairs) {
            host.click(name);
            QCOMPARE(textColour(terminal), text);
            QCOMPARE(backColour(terminal), back);
            QCOMPARE(host.command(name)->toolTip(), QString("Change Fore & Back color of the Text Window"));
        }
        QVERIFY(host.scripted.asked.isEmpty());
    }

    void switchesActInTheirOrder()
    {
        TestHost host(env);
        Appearance looks(host);
        looks.applyCommandLine({"/Color2", "/steam"});
        QCOMPARE(textColour(host.terminal()), QColor(0, 255, 255));
        QCOMPARE(backColour(host.terminal()), QColor(255, 255, 255));
        QCOMPARE(host.terminal().geometry().top(), 585 / 15);

        looks.applyCommandLine({"/Color1", "/COLOR3", "/Color5", "steam", "/Color3"});
        QCOMPARE(textColour(host.terminal()), QColor(255, 0, 0));
        QCOMPARE(backColour(host.terminal()), QColor(0, 0, 0));
        QCOMPARE(&looks.skin(), &skins::Steampunk);
    }

    void aMissingSkinPictureLeavesThePlainDesk()
    {
        QFile::remove(env.file("\\Skin-Pnk.jpg"));
        TestHost host(env);
        Appearance looks(host);
        host.click("lblSteam");
        QVERIFY(host.scripted.asked.isEmpty());
        QCOMPARE(host.terminal().geometry().top(), 585 / 15);
        const QImage desk = host.desk().grab().toImage();
        QCOMPARE(QColor(desk.pixel(1195, 200)), skins::Steampunk.plainColour);
        // The standard picture is there: its own right edge is the desk's.
        host.click("lblStandard");
        const QImage standard = host.desk().grab().toImage();
        const QImage picture(env.file("\\Skin-Std.jpg"));
        QCOMPARE(QColor(standard.pixel(1199, 5)), QColor(picture.pixel(1199, 5)));
    }

    void theFontDialogAppliesKeepsAndRestores()
    {
        const QFont chosen = [] {
            QFont font("DejaVu Sans Mono", 13);
            font.setBold(true);
            font.setItalic(true);
            return font;
        }();
        {
            TestHost host(env);
            PresetRecorder dialogs;
            ForwardingHost forwarding(host, dialogs);
            Appearance looks(forwarding);
            QCOMPARE(host.terminal().font(), Appearance::designedFont());
            dialogs.font = Dialogs::FontChoice{chosen, QColor(0, 0, 200)};
            host.click("lblFont");

            // The dialog opened on blue, not bold, on the teleprinter face
            // where it is installed.
            QVERIFY(dialogs.preset);
            QCOMPARE(dialogs.preset->color, QColor(0, 0, 255));
            QVERIFY(!dialogs.preset->font.bold());
            if (QFontDatabase::hasFamily("stg 100 f.e."))
                QCOMPARE(dialogs.preset->font.family().toLower(), QString("stg 100 f.e."));

            const QFont font = host.terminal().font();
            QCOMPARE(font.family(), QString("DejaVu Sans Mono"));
            QCOMPARE(font.pointSize(), 13);
            QVERIFY(font.bold() && font.italic());
            QCOMPARE(textColour(host.terminal()), QColor(0, 0, 200));
            QVERIFY(host.settings().sync());
        }

        // What reached the settings file, read by a store of its own.
        const QSettings file(QSettings::IniFormat, QSettings::UserScope, "vornak", kAppTitle);
        QVERIFY2(QFile::exists(file.fileName()), qPrintable(file.fileName()));
        QVERIFY(file.fileName().startsWith(env.configHome()));
        QCOMPARE(file.value("Font/FontName").toString(), QString("DejaVu Sans Mono"));
        QCOMPARE(file.value("Font/FontSize").toString(), QString("13"));
        QCOMPARE(file.value("Font/FontColor").toString(), QString::number(200 * 65536));

        // The next start takes it back, colour included.
        TestHost next(env);
        Appearance looks(next);
        looks.applyColours(colours::BlackOnWhite);
        looks.restoreFont();
        QCOMPARE(next.terminal().font().family(), QString("DejaVu Sans Mono"));
        QCOMPARE(next.terminal().font().pointSize(), 13);
        QVERIFY(next.terminal().font().bold() && next.terminal().font().italic());
        QCOMPARE(textColour(next.terminal()), QColor(0, 0, 200));
    }

    void aCancelledFontDialogChangesNothing()
    {
        TestHost host(env);
        Appearance looks(host);
        looks.applyColours(colours::GreenOnBlack);
        const QFont before = host.terminal().font();
        host.scripted.font.reset();
        host.click("lblFont");
        QCOMPARE(host.terminal().font(), before);
        QCOMPARE(textColour(host.terminal()), QColor(0, 255, 0));
        for (const SettingKey& key : {setting_keys::FontName, setting_keys::FontSize, setting_keys::FontColor})
            QVERIFY(host.settings().get(key).isEmpty());
        QVERIFY(host.scripted.asked.isEmpty());
    }

    void aKeptColourComesBackOnlyWhereItReads()
    {
        TestHost host(env);
        Appearance looks(host);
        // No font kept: the designed one stays.
        looks.restoreFont();
        QCOMPARE(host.terminal().font(), Appearance::designedFont());

        host.settings().save(setting_keys::FontName, "DejaVu Sans Mono");
        host.settings().save(setting_keys::FontColor, "16777215"); // white
        looks.applyColours(colours::BlackOnWhite);
        looks.restoreFont();
        QCOMPARE(host.terminal().font().family(), QString("DejaVu Sans Mono"));
        QCOMPARE(textColour(host.terminal()), QColor(0, 0, 0));

        host.settings().save(setting_keys::FontColor, "8388608"); // navy
        looks.restoreFont();
        QCOMPARE(textColour(host.terminal()), QColor(0, 0, 128));
    }

    void theHomepageOpensTheAddressOfTheSettings()
    {
        TestHost host(env);
        Appearance looks(host);
        QCOMPARE(host.command("lblHomepage")->toolTip(), QString("Opens the Vornak Homepage in your browser"));
        host.click("lblHomepage");
        QVERIFY(host.scripted.opened.isEmpty());
        QCOMPARE(host.scripted.asked.size(), 1);
        QVERIFY(host.scripted.asked[0].text.contains("[Homepage]"));
        QVERIFY(host.scripted.asked[0].text.contains(host.settings().location()));

        host.scripted.clear();
        host.settings().save(setting_keys::Homepage, " https://example.org/vornak ");
        host.click("lblHomepage");
        QCOMPARE(host.scripted.opened, QList<QUrl>{QUrl("https://example.org/vornak")});
        QVERIFY(host.scripted.asked.isEmpty());

        host.scripted.openSucceeds = false;
        host.click("lblHomepage");
        QCOMPARE(host.scripted.asked.size(), 1);
        QCOMPARE(host.scripted.asked[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(host.scripted.asked[0].text.contains("https://example.org/vornak"));
    }
};

VORNAK_TEST_MAIN(LooksTest)

#include "tst_looks.moc"
