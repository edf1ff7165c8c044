// Where the keyboard goes in the main window: a click on a command, a panel
// row or a panel's button leaves it where the user types.
#include "directory/DirectoryFixtures.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "app/CommandStrip.h"

#include <QAccessible>
#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>

class KeyboardTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

    // Types a few letters as the keyboard delivers them: to the widget
    // that has the focus.
    static void type(const QString& letters)
    {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QTest::keyClicks(focused, letters);
    }

    // Closes whatever window a click opened over the main window (the
    // user closing it); the window manager then gives the main window back
    // its keyboard.
    static void closeOtherWindows(TerminalRig& rig)
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != &rig.t() && window->isVisible())
                window->close();
        }
        if (QApplication::activeWindow() != &rig.t()) {
            rig.t().activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &rig.t());
        }
    }

private slots:
    void init() { env.reset(); }

    void clicksLeaveTheKeyboardWhereTheUserTypes()
    {
        writeDirectory(env, {record(1, "4711", "Directory Service", 1), record(2, "158578", "Meier", 1)});
        env.writeFile("\\LocalTelex.txt", "12    time service\r\n");
        TerminalRig rig(env);
        rig.t().show();
        rig.t().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.t()));
        rig.text().setFocus();
        QGuiApplication::clipboard()->setText("pasted");
        // Modal windows a command opens are closed as soon as they show.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        closer.start(50);
        int letters = 0;

        // A click on something of the main window, then typing: the letters
        // reach the line, or the named field.
        const auto clickAndType = [&](QWidget* control, const QString& field = QString()) {
            const QString name = control->objectName();
            rig.state.ConnectionActive = true;
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2));
            rig.box.readFor(50); // whatever the click sent
            closeOtherWindows(rig);
            const QString typed = QStringLiteral("z%1").arg(letters++ % 10);
            rig.state.ColumnCount = 0; // no carriage return at the line's end
            type(typed);
            if (field.isEmpty()) {
                QCOMPARE(QString::fromLatin1(rig.box.waitForBytes(2, 2000)) + "|" + name, typed + "|" + name);
            } else {
                auto* input = rig.control<QLineEdit>(field);
                QVERIFY2(input->text().contains(typed), qPrintable(name));
                QCOMPARE(rig.box.readFor(50), QByteArray());
            }
        };

        // Every command of the strip. "EXIT" ends the program and is left
        // out, the puncher is opened with the panels below; the port is
        // closed and opened again by its command.
        const QStringList notClicked = {"lblExit", "lblPuncher"};
        for (CommandLabel* command : rig.control<CommandStrip>("commandStrip")->findChildren<CommandLabel*>()) {
            if (notClicked.contains(command->objectName()))
                continue;
            if (command->objectName() == "lblOpen1")
                QTest::mouseClick(command, Qt::LeftButton);
            clickAndType(command);
        }

        // The panels: each row and button. Panels with fields take the
        // keyboard only when a field is clicked, and give it back when they
        // close.
        const struct {
            const char* control;
            const char* field; // where typing goes afterwards; none: the line
        } steps[] = {
            {"lblPhonebookShow", nullptr},       {"lblCallNumbers_1", nullptr},
            {"lblCallNumbers_0", nullptr},       {"lblExitNumbers", nullptr},
            {"lblLocalNumbersShow", nullptr},    {"lblLocalTelex_0", nullptr},
            {"lblExitLocalTeleprinters", nullptr}, {"lblEditLocal", nullptr},
            {"txtLocalName_0", "txtLocalName_0"}, {"lblExitLocalNumbers", nullptr},
            {"lblHeadlineEditor", nullptr},      {"Option1_1", nullptr},
            {"Option1_0", nullptr},              {"lblView", nullptr},
            {"lstHeadlines", nullptr},           {"lblClsPreview", nullptr},
            {"txtHeadlines_1", "txtHeadlines_1"}, {"Option1_2", "txtHeadlines_1"},
            {"lblExitHeadlineEditor", nullptr},  {"lblPresetText_0", nullptr},
            {"lblPaste", nullptr},               {"RichTextBox1", nullptr},
            {"cmdExitPreview", nullptr},         {"lblPuncher", "txtInput"},
            {"picPunch", "txtInput"},            {"cmdPunch", "txtInput"},
            {"cmdEndPunch", nullptr},
        };
        for (const auto& step : steps) {
            QWidget* control = rig.control(step.control);
            QVERIFY2(control && control->isVisible(), step.control);
            clickAndType(control, step.field);
        }
    }

    void everyControlTellsAScreenReaderWhatItIs()
    {
        writeDirectory(env, {record(1, "4711", "Directory Service", 1)});
        TerminalRig rig(env);
        rig.state.ConnectionActive = true;
        QGuiApplication::clipboard()->setText("pasted");
        for (const char* panel : {"lblPhonebookShow", "lblLocalNumbersShow", "lblEditLocal", "lblHeadlineEditor",
                                  "lblPaste", "lblPuncher"})
            rig.click(panel);

        // Every command, and every other control the keyboard can reach,
        // of the window and its panels: a name, and the tool tip (with the
        // command's key) as its description.
        const auto said = [](QWidget* control, QAccessible::Text kind) {
            return QAccessible::queryAccessibleInterface(control)->text(kind);
        };
        QStringList unnamed;
        QStringList walked;
        for (QWidget* control : rig.t().findChildren<QWidget*>()) {
            auto* command = qobject_cast<CommandLabel*>(control);
            if (control->window() != &rig.t() || control->isHidden()
                || (!command && !(control->focusPolicy() & Qt::TabFocus)))
                continue;
            const QString name = control->objectName();
            walked << name;
            if (said(control, QAccessible::Name).trimmed().isEmpty())
                unnamed << name;
            if (!command) {
                QVERIFY2(said(control, QAccessible::Description).contains(control->toolTip()), qPrintable(name));
                continue;
            }
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(command);
            QVERIFY2(button->role() == QAccessible::Button, qPrintable(name));
            QVERIFY2(button->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
                     qPrintable(name));
            if (!command->text().trimmed().isEmpty())
                QCOMPARE(said(command, QAccessible::Name), command->text());
            QCOMPARE(said(command, QAccessible::Description), command->shownToolTip());
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        // The walk reached the strip and every panel.
        for (const char* name : {"lblOpen1", "lblSoundOff", "lblCallNumbers_0", "lblExitNumbers", "lblLocalTelex_0",
                                 "txtLocalName_17", "lblExitLocalNumbers", "Option1_2", "txtHeadlines_32", "lblView",
                                 "lblPresetText_9", "RichTextBox1", "cmdExitPreview", "txtInput", "cmdPunch", "txtTerm"})
            QVERIFY2(walked.contains(name), name);

        // The name follows the caption; pressing clicks the command.
        CommandLabel* port = rig.command("lblOpen1");
        QVERIFY(said(port, QAccessible::Name).startsWith("Close Port"));
        QAccessible::queryAccessibleInterface(port)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QVERIFY(port->text().startsWith("Open Port"));
        QCOMPARE(said(port, QAccessible::Name), port->text());
    }
};

VORNAK_TEST_MAIN(KeyboardTest)

#include "tst_keyboard.moc"
