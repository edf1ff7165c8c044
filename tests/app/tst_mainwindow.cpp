// The main window as a whole: where the command strip breaks its rows, the
// window at the sizes of common screens (groups without holes or clipped
// captions, the status readings apart, the desk growing around its clock,
// the favourites beside the clock), the ruler under the caret, the command
// keys and the klkl key, and text from outside shown as it stands.
#include "directory/DirectoryFixtures.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "app/CommandKeys.h"
#include "app/CommandStrip.h"
#include "app/QtDialogs.h"
#include "appearance/Looks.h"
#include "core/Desk.h"
#include "directory/FavouritesPanel.h"
#include "directory/PhonebookCommands.h"
#include "directory/frmUpdate.h"
#include "lists/frmCirculair.h"
#include "lists/frmHeader.h"
#include "lists/frmPresets.h"
#include "prepared/Headlines.h"
#include "text/KlklAnswer.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <sys/stat.h>

namespace {

QRect rectIn(const QWidget* widget, const QWidget* ancestor)
{
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

// Shows the rig's window at a size and lets its layout settle: the strip
// as high as its groups need at its width.
void showAt(TerminalRig& rig, const QSize& size)
{
    frmTerminal& window = rig.t();
    if (!window.isVisible()) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    if (size.isValid())
        window.resize(size);
    auto* strip = rig.control<CommandStrip>("commandStrip");
    QTRY_VERIFY(size.isEmpty() || window.width() == size.width());
    QTRY_COMPARE(strip->height(), strip->heightForWidth(strip->width()));
    QTRY_COMPARE(strip->minimumHeight(), strip->height());
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // The strip of the window: its shown groups, none overlapping another
    // or leaving the strip, every row filled from edge to edge, every
    // command inside its group; the colour swatches alike and evenly
    // spaced; the readings of the status line in their order and apart.
    // (Whether captions fit is the layout test's.)
    void checkLayout(TerminalRig& rig)
    {
        auto* strip = rig.control<CommandStrip>("commandStrip");
        QMap<int, QList<QRect>> rows;
        QList<QRect> groups;
        for (QGroupBox* group : strip->findChildren<QGroupBox*>()) {
            if (group->isHidden())
                continue;
            const QRect place = group->geometry();
            QVERIFY2(strip->rect().contains(place), qPrintable(group->objectName()));
            for (const QRect& other : std::as_const(groups))
                QVERIFY2(!other.intersects(place), qPrintable(group->objectName()));
            groups << place;
            rows[place.top()] << place;
            for (CommandLabel* command : group->findChildren<CommandLabel*>())
                QVERIFY2(group->contentsRect().contains(command->geometry()), qPrintable(command->objectName()));
        }
        QVERIFY(groups.size() >= 9);
        for (const QList<QRect>& row : std::as_const(rows)) {
            int left = strip->width();
            int right = 0;
            for (const QRect& place : row) {
                left = std::min(left, place.left());
                right = std::max(right, place.right());
                QCOMPARE(place.height(), row.first().height());
            }
            QCOMPARE(left, 0);
            QCOMPARE(right, strip->width() - 1);
        }

        QList<QRect> swatches;
        for (const char* name : {"lbGnBk", "lblBlWt", "lblRdBl", "lblYlBl", "lblBkWt"})
            swatches << rig.command(name)->geometry();
        const int firstGap = swatches[1].left() - swatches[0].right();
        for (int i = 1; i < swatches.size(); ++i) {
            QCOMPARE(swatches[i].top(), swatches[0].top());
            QVERIFY(std::abs(swatches[i].width() - swatches[0].width()) <= 1);
            QVERIFY(std::abs(swatches[i].left() - swatches[i - 1].right() - firstGap) <= 1);
        }

        StatusPanel& status = rig.status();
        const QList<QWidget*> row = {status.imgPort1, status.lblCport1, status.lblStatus1, status.lblAction,
                                     rig.control("lblMaxCharCaption"), status.lblMaxChar, status.lblElapsed,
                                     status.lblDate, status.lblTempo, status.imgRX, status.imgTX};
        for (int i = 1; i < row.size(); ++i)
            QVERIFY2(row[i]->geometry().left() > row[i - 1]->geometry().right() + 1, qPrintable(row[i]->objectName()));
        QCOMPARE(rig.control("lblMaxCharCaption")->toolTip(), status.lblMaxChar->toolTip());
    }

private slots:
    void init() { env.reset(); }

    void theStripBreaksIntoFewAndEvenRows()
    {
        using striprows::rowStarts;
        // Filling rows greedily would leave 1212 and 506; even rows are 806
        // and 912. The fewest rows come first, and of even choices the
        // earlier rows take more. A group wider than the strip stands alone.
        const std::tuple<QList<int>, int, int, QList<int>> rows[] = {
            {{}, 6, 1000, {}},
            {{300, 300}, 6, 1000, {0}},
            {{400, 400, 400, 400, 100}, 6, 1300, {0, 2}},
            {{500, 500, 500, 500, 500}, 0, 1000, {0, 2, 4}},
            {{100, 1500, 100}, 6, 1200, {0, 1, 2}}};
        for (const auto& [widths, gap, available, starts] : rows)
            QCOMPARE(rowStarts(widths, gap, available), starts);
        // That no row of the real groups is wider than the strip is seen in
        // the window at every size below.

        using striprows::filledWidths;
        QCOMPARE(filledWidths({100, 300}, 6, 506), QList<int>({125, 375}));
        QCOMPARE(filledWidths({1, 1, 1}, 0, 4), QList<int>({1, 1, 2}));
        QCOMPARE(filledWidths({400, 500}, 6, 800), QList<int>({400, 500}));
    }

    void theWindowAtCommonScreenSizes()
    {
        TerminalRig rig(env, false);
        rig.status().lblCport1->setText("Com: Unknown");
        rig.status().lblStatus1->setText("115200,n,8,1");
        rig.status().lblElapsed->setText("00:12:34 ");
        showAt(rig, QSize());
        frmTerminal& window = rig.t();
        Desk& desk = window.desk();
        auto* clock = rig.control("Shape1");
        auto* phrases = rig.control("framePresetText");
        auto* sheet = rig.control("picQuillnetPapier_0");
        TerminalText& text = rig.text();
        const QImage picture(env.file("\\Skin-Std.jpg"));
        const QRect designText = text.geometry();
        const QRect designClock = clock->geometry();

        // As it opens: the desk at the design's size, the whole window on a
        // 1366 x 768 screen with room for a title bar and a panel.
        QCOMPARE(desk.size(), deskgeometry::kDesignSize);
        QVERIFY2(window.height() <= 768 - 60, qPrintable(QString::number(window.height())));

        // The favourites beside the clock. None yet: no row of bare numbers,
        // a word on where to mark them.
        QWidget* favourites = rig.control("frameNumbers");
        auto* none = favourites->findChild<QLabel*>("lblNoFavourites");
        const auto favourite = [favourites](int i) {
            return favourites->findChild<CommandLabel*>(QStringLiteral("lblCallNumbers_%1").arg(i));
        };
        rig.click("lblPhonebookShow");
        QVERIFY(favourites->isVisible() && none->isVisibleTo(favourites));
        for (int i = 0; i < FavouritesPanel::kLabels; ++i)
            QVERIFY(!favourite(i)->isVisibleTo(favourites));
        writeDirectory(env, {record(1, "4711", "Quillnet Directory Service Amsterdam", 1),
                             record(2, "123456789012", "Meier", 1), record(3, "55", "Local test", 1)});
        rig.click("lblRefresh");
        QVERIFY(!none->isVisibleTo(favourites));

        for (const QSize size : {QSize(), QSize(1366, 700), QSize(1600, 1000), QSize(2200, 1300)}) {
            showAt(rig, size);
            checkLayout(rig);
            // The desk takes what the window gains; the text window grows by
            // all of it, the clock keeps its size and its distance from the
            // desk's right edge.
            const QSize extra = desk.size() - deskgeometry::kDesignSize;
            QVERIFY(size.isEmpty() || (extra.width() > 0 && extra.height() > 0));
            QCOMPARE(text.geometry(), designText.adjusted(0, 0, extra.width(), extra.height()));
            QCOMPARE(clock->geometry(), designClock.translated(extra.width(), 0));
            // The phrases within the desk; nothing over another.
            QVERIFY(!clock->geometry().intersects(text.geometry()) && desk.rect().contains(phrases->geometry()));
            QVERIFY(!phrases->geometry().intersects(clock->geometry()) && !phrases->geometry().intersects(text.geometry()));
            QCOMPARE(sheet->geometry(), text.geometry().adjusted(-12, -12, 12, 12));
            // Each favourite readable on its panel, the panel clear of the clock.
            QVERIFY(desk.rect().contains(favourites->geometry()) && !favourites->geometry().intersects(clock->geometry()));
            int listed = 0;
            for (int i = 0; i < FavouritesPanel::kLabels; ++i) {
                CommandLabel* label = favourite(i);
                if (!label->isVisibleTo(favourites))
                    continue;
                ++listed;
                QVERIFY(label->font().pixelSize() >= 12 || label->font().pointSize() >= 9);
                QVERIFY2(favourites->rect().contains(rectIn(label, favourites)), qPrintable(label->text()));
            }
            QCOMPARE(listed, 3);
            // The skin reaches every edge of the desk: its own corners are
            // the desk's corners.
            const QImage shown = desk.grab().toImage();
            QCOMPARE(QColor(shown.pixel(desk.width() - 1, 5)), QColor(picture.pixel(1199, 5)));
            QCOMPARE(QColor(shown.pixel(0, desk.height() - 1)), QColor(picture.pixel(0, 371)));
            QCOMPARE(QColor(shown.pixel(desk.width() - 1, desk.height() - 1)), QColor(picture.pixel(1199, 371)));
        }

        // A date format longer than the usual one still shows whole.
        StatusPanel& status = rig.status();
        status.showDateTime("Wednesday, 24 December 2026", "23:59:59");
        QTRY_VERIFY(status.lblDate->geometry().right() < status.lblTempo->geometry().left());
        checkLayout(rig);

        // Narrow and low: the strip takes more rows, the desk shows the design
        // scaled down, and the window keeps the height both need rather than
        // clipping them.
        showAt(rig, QSize(900, 300));
        checkLayout(rig);
        QTRY_COMPARE(desk.height(), desk.minimumSizeHint().height());
        QVERIFY(desk.scale() < 0.75 && window.height() < 669);
        QVERIFY(std::abs(clock->height() - designClock.height() * desk.scale()) <= 1);
        QVERIFY(!clock->geometry().intersects(text.geometry()) && desk.rect().contains(clock->geometry()));
    }

    void theRulerEndsUnderTheCaretInAnyFont()
    {
        TerminalRig rig(env);
        TerminalText& text = rig.text();
        RulerLine* ruler = rig.status().Line1;
        Desk& desk = rig.t().desk();
        QList<double> columnWidths;
        // Last, the window at its smallest: the text's font shrinks with the desk.
        const std::pair<QSize, QFont> cases[] = {{QSize(), QFont("DejaVu Sans Mono", 10)},
                                                 {QSize(), QFont("Tlwg Typewriter", 14, QFont::Bold)},
                                                 {QSize(900, 600), QFont("Tlwg Typewriter", 14, QFont::Bold)}};
        for (const auto& [size, font] : cases) {
            showAt(rig, size);
            rig.dialogs.font = Dialogs::FontChoice{font, QColor(0, 0, 0)};
            rig.click("lblFont");
            QCOMPARE(text.font().family(), font.family());
            rig.click("lblClear");
            text.setFocus();
            // Sixty typed characters go to the box, and the box prints them back.
            const QString line(60, 'x');
            QTest::keyClicks(&text, line);
            QCOMPARE(rig.received(60), line.toLatin1());
            rig.ShowData(line);
            text.showPending();

            const double caret = text.viewport()->mapTo(&desk, text.cursorRect().topLeft()).x();
            const double end = ruler->mapTo(&desk, QPoint(0, 0)).x() + ruler->endX();
            const double column = ruler->columnWidth();
            QVERIFY2(std::abs(end - caret) <= column,
                     qPrintable(QStringLiteral("%1: ruler at %2, caret at %3").arg(font.family()).arg(end).arg(caret)));
            columnWidths << column;
        }
        // The fonts differ enough that one fixed step could not serve them.
        QVERIFY(std::abs(columnWidths[0] - columnWidths[1]) * 60 > 2 * std::max(columnWidths[0], columnWidths[1]));
        QVERIFY(std::abs(columnWidths[1] - columnWidths[2]) * 60 > 2 * columnWidths[1]);

        // Typed character by character, the ruler and the counter on screen
        // are what a full repaint draws.
        rig.click("lblClear");
        QTest::qWait(50);
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(&text, 'y');
            QTest::qWait(5);
        }
        QVERIFY(drawnAsRepainted(ruler));
        QVERIFY(drawnAsRepainted(rig.status().lblMaxChar));
    }

    void keysClickCommandsWithoutTypingIntoTheLine()
    {
        TerminalRig rig(env);
        showAt(rig, QSize());
        rig.t().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.t()));
        TerminalText& text = rig.text();
        text.setFocus();

        // A line command's key sends its sequence and nothing of the key.
        QTest::keyClick(&text, Qt::Key_F7);
        QCOMPARE(rig.received(1), QByteArray("\x07"));
        QTest::keyClick(&text, Qt::Key_F5, Qt::ShiftModifier); // the box's status
        QCOMPARE(rig.received(1), QByteArray("\x14"));
        // Typed text still goes to the box.
        QTest::keyClicks(&text, "ab");
        QCOMPARE(rig.received(2), QByteArray("ab"));

        // A send command's key: the klkl switch. Off, it is a key like the
        // others; on, only its edge is lit.
        CommandLabel* klkl = rig.part<TextTransmissions>().klkl().lblKlKl;
        CommandLabel* other = rig.command("lblSendHeader");
        QCOMPARE(klkl->height(), other->height());
        auto edgeAndFace = [](CommandLabel* key) {
            const QImage image = key->grab().toImage();
            return std::pair{QColor(image.pixel(0, image.height() / 2)), QColor(image.pixel(3, image.height() / 2))};
        };
        QCOMPARE(edgeAndFace(klkl), edgeAndFace(other));
        QTest::keyClick(&text, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(rig.state.KlklAuto, true);
        const auto [edge, face] = edgeAndFace(klkl);
        QVERIFY2(edge.green() > edge.red() + 40, qPrintable(edge.name()));
        QCOMPARE(face, edgeAndFace(other).second);
        QTest::keyClick(&text, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(rig.state.KlklAuto, false);
        QCOMPARE(edgeAndFace(klkl), edgeAndFace(other));
        QCOMPARE(rig.received(0, 200), QByteArray());

        // F10 leads to the first command, Tab on through the commands, Space
        // clicks one, Escape goes back to the terminal window.
        QTest::keyClick(&text, Qt::Key_F10);
        QCOMPARE(QApplication::focusWidget(), rig.command("lblOpen1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), rig.command("lblExit")); // "Port Settings" waits for a closed port
        CommandLabel* bell = rig.command("lblBell");
        bell->setFocus(Qt::TabFocusReason);
        QTest::keyClick(bell, Qt::Key_Space);
        QCOMPARE(rig.received(1), QByteArray("\x07"));
        QTest::keyClick(bell, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), &text);
        QCOMPARE(rig.received(0, 200), QByteArray()); // no escape went to the box

        // With the port closed, the key of a command that needs it does nothing.
        rig.click("lblOpen1");
        rig.box.readFor(200);
        QVERIFY(!rig.command("lblPaste")->isEnabled());
        rig.dialogs.clear();
        QTest::keyClick(&text, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(rig.dialogs.asked.isEmpty());
        QVERIFY(!rig.t().desk().findChild<QWidget*>("tabPreview")->isVisible());
    }

    void everyLineAndSendCommandHasAKeyThatCannotBeText()
    {
        TerminalRig rig(env, false);
        QSet<QString> names;
        QSet<QKeySequence> keys;
        for (const commandkeys::CommandKey& entry : commandkeys::all()) {
            const QString name = entry.name;
            names << name;
            keys << entry.key;
            CommandLabel* command = rig.command(name);
            QVERIFY2(command, qPrintable(name));
            QCOMPARE(command->shortcut(), entry.key);
            QVERIFY(command->shownToolTip().endsWith("(" + entry.key.toString(QKeySequence::NativeText) + ")"));
            QVERIFY(!command->shownToolTip().startsWith("  ")); // the tool tip itself leads
            const QKeyCombination key = entry.key[0];
            const bool functionKey = key.key() >= Qt::Key_F1 && key.key() <= Qt::Key_F12;
            QVERIFY2(functionKey || key.keyboardModifiers().testFlag(Qt::ControlModifier), qPrintable(name));
        }
        // The commands and their keys are all different.
        QCOMPARE(names.size(), commandkeys::all().size());
        QCOMPARE(keys.size(), commandkeys::all().size());
        // Every command of the line and of sending has one.
        for (const char* group : {"groupLine", "groupSend"}) {
            for (CommandLabel* command : rig.control(group)->findChildren<CommandLabel*>())
                QVERIFY2(!command->shortcut().isEmpty(), qPrintable(command->objectName()));
        }
        // The tool tips keep their own words.
        CommandLabel* bell = rig.command("lblBell");
        QCOMPARE(bell->toolTip() + "|" + bell->shownToolTip(),
                 "Rings Bell|Rings Bell  (" + QKeySequence(Qt::Key_F7).toString(QKeySequence::NativeText) + ")");
    }

    void outsideTextIsShownAsItStands()
    {
        // Markup in the data files, in names from the directory server and in
        // a message is shown as it stands. Obeyed, the picture tag would open
        // a pipe that nobody writes, and the window would wait for good.
        QTemporaryDir dir("/tmp/vkXXXXXX"); // short: the tag fits a 40-character name
        QCOMPARE(::mkfifo(QFile::encodeName(dir.path() + "/p").constData(), 0600), 0);
        // In name order, the phonebook's order after a download.
        const QStringList hostile = {"&lt;b&gt; AT&amp;T", "<b>x</b>", "<font size=6>BIG</font>",
                                     "<img src=\"" + dir.path() + "/p\">"};
        env.writeFile("\\QuillnetPresetText.txt", hostile.join("\r\n").toLatin1());
        env.writeFile("\\LocalTelex.txt", ("11    " + hostile.join("\r\n11    ")).toLatin1());
        QStringList fields = headlines::defaultFields();
        const int field[] = {0, 1, 2, 4}; // not the owner number, date or time: those are rewritten
        QByteArray served;
        QVector<PhonebookRecord> marked;
        for (int k = 0; k < hostile.size(); ++k) {
            fields[field[k]] = hostile[k];
            served += QByteArray::number(100 + k) + "," + hostile[k].toLatin1() + "\n";
            marked << record(k + 1, QString::number(100 + k), "Old", 1, 1);
        }
        env.writeFile("\\Headlines.txt", headlines::fileText(fields).toLatin1());
        env.writeFile("\\served.csv", served);
        writeDirectory(env, marked);
        const QString station = "<b>x</b> [*] d"; // "[*]" would mark a title as unsaved
        const QByteArray config = env.readFile("\\QuillnetUsb.cfg");
        env.writeFile("\\QuillnetUsb.cfg", QByteArray(config).replace("12345 vornak d", station.toLatin1()));

        TerminalRig rig(env);
        showAt(rig, QSize(1920, 1080));
        // The directory server renames the favourites and receivers.
        DirServerProcess server({"--csv", env.file("\\served.csv")});
        rig.part<PhonebookCommands>().updateOptions.port = server.port();
        rig.dialogs.answers = {Dialogs::Answer::Yes};
        QTimer::singleShot(0, this, [] {
            if (auto* update = qobject_cast<frmUpdate*>(QApplication::activeModalWidget())) {
                update->lblRetrieve_Click();
                update->lblExit_Click();
            }
        });
        for (const char* command : {"lblUpdate", "lblLocalNumbersShow", "lblPhonebookShow", "lblHeadlineEditor"})
            rig.click(command);
        QTest::mouseClick(rig.command("lblCallNumbers_3"), Qt::LeftButton);
        QVERIFY2(rig.action().contains(hostile[3]), qPrintable(rig.action()));
        frmPresets favourites(rig.state, rig.dialogs, {}, {}, {}, &rig.t());
        frmCirculair receivers(rig.state, rig.dialogs, &rig.t());
        frmHeader header(rig.state, rig.dialogs, {}, &rig.t());
        const auto box = QtDialogs::messageBox("No copy of " + hostile[3], Dialogs::Icon::Exclamation,
                                               Dialogs::Buttons::Ok, Dialogs::Answer::Ok, QString(), nullptr);
        // Every label of every window is plain; painted, none opens anything.
        for (QWidget* window : QWidgetList{&favourites, &receivers, &header, box.get(), &rig.t()}) {
            window->show();
            window->grab();
            for (QLabel* label : window->findChildren<QLabel*>())
                QVERIFY2(label->textFormat() == Qt::PlainText || label->text().isEmpty(), qPrintable(label->text()));
        }
        for (int k = 0; k < hostile.size(); ++k) {
            QCOMPARE(rig.command(QStringLiteral("lblPresetText_%1").arg(k))->text(), hostile[k]);
            QCOMPARE(rig.command(QStringLiteral("lblLocalTelex_%1").arg(k))->text(), "11      " + hostile[k]);
            QCOMPARE(rig.control<QLineEdit>(QStringLiteral("txtHeadlines_%1").arg(field[k]))->text(), hostile[k]);
            CommandLabel* favourite = rig.command(QStringLiteral("lblCallNumbers_%1").arg(k));
            QVERIFY2(favourite->text().trimmed().endsWith(" " + hostile[k]), qPrintable(favourite->text()));
            QCOMPARE(shownToolTipOf(favourite), favourite->text().trimmed());
        }
        QCOMPARE(box->findChild<QLabel*>("qt_msgbox_label")->text(), "No copy of " + hostile[3]);
        QCOMPARE(rig.t().windowHandle()->title(), kAppTitle + "  " + station);
        QCOMPARE(rig.dialogs.asked.size(), 1); // the question before the update; no warning
    }
};

VORNAK_TEST_MAIN(MainWindowTest)

#include "tst_mainwindow.moc"
