// Where the keyboard goes in the main window after a click, and what a
// screen reader learns of each control.
#include "directory/DirectoryFixtures.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "app/CommandStrip.h"

#include <QAccessible>
#include <QClipboard>
#include <QLineEdit>

class KeyboardTest : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void init() { env.reset(); }

    void clicksLeaveTheKeyboardWhereTheUserTypes()
    {
        writeDirectory(env, {record(1, "4711", "Directory Service", 1), record(2, "158578", "Meier", 1)});
        env.writeFile("\\LocalTelex.txt", "12    time service\r\n");
        TerminalRig rig(env);
        rig.t().show();
        rig.text().setFocus();
        QTimer closer; // the user closes each window a command opens
        connect(&closer, &QTimer::timeout, [&rig] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window != &rig.t() && window->isVisible())
                    window->close();
        });
        closer.start(50);

        // A click, then letters typed as the keyboard delivers them (to the
        // focus widget, once the window manager has given the main window
        // back the keyboard): they reach the line, or the field named.
        int clicks = 0;
        const auto clickAndType = [&](QWidget* control, const QString& field = QString()) {
            const QString name = control->objectName();
            rig.state.ConnectionActive = true;
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2));
            rig.box.readFor(100); // what the click sent
            rig.t().activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &rig.t());
            const QString typed = QStringLiteral("z%1").arg(clicks++ % 10);
            rig.state.ColumnCount = 0; // no carriage return at the line's end
            QTest::keyClicks(QApplication::focusWidget(), typed);
            const bool toLine = field.isEmpty();
            const QString line = QString::fromLatin1(toLine ? rig.box.waitForBytes(2, 2000) : rig.box.readFor(50));
            QCOMPARE(line + "|" + name, (toLine ? typed : QString()) + "|" + name);
            QVERIFY2(toLine || rig.control<QLineEdit>(field)->text().contains(typed), qPrintable(name));
        };

        // Every command of the strip but "EXIT"; the puncher opens below.
        for (CommandLabel* command : rig.control<CommandStrip>("commandStrip")->findChildren<CommandLabel*>()) {
            if (command->objectName() == "lblOpen1")
                QTest::mouseClick(command, Qt::LeftButton); // closed, to open again
            if (command->objectName() != "lblExit" && command->objectName() != "lblPuncher")
                clickAndType(command);
        }
        // Each panel's rows, buttons, options and lists. Only a field takes
        // the keyboard (clicked into, or the puncher's as it opens: "control
        // >field"), and a closing panel gives it back.
        for (const QString step :
             {"lblPhonebookShow", "lblCallNumbers_1", "lblCallNumbers_0", "lblExitNumbers", "lblLocalNumbersShow",
              "lblLocalTelex_0", "lblExitLocalTeleprinters", "lblEditLocal", "txtLocalName_0>txtLocalName_0",
              "lblExitLocalNumbers", "lblHeadlineEditor", "Option1_1", "lblView", "lstHeadlines", "lblClsPreview",
              "txtHeadlines_1>txtHeadlines_1", "Option1_2>txtHeadlines_1", "lblExitHeadlineEditor", "lblPresetText_0",
              "lblPaste", "RichTextBox1", "cmdExitPreview", "lblPuncher>txtInput", "picPunch>txtInput",
              "cmdPunch>txtInput", "cmdEndPunch"}) {
            QWidget* control = rig.control(step.section('>', 0, 0));
            QVERIFY2(control && control->isVisible(), qPrintable(step));
            clickAndType(control, step.section('>', 1));
        }
    }

    void everyControlTellsAScreenReaderWhatItIs()
    {
        writeDirectory(env, {record(1, "4711", "Directory Service", 1)});
        TerminalRig rig(env);
        rig.state.ConnectionActive = true;
        for (const char* panel : {"lblPhonebookShow", "lblLocalNumbersShow", "lblEditLocal", "lblHeadlineEditor",
                                  "lblPaste", "lblPuncher"})
            rig.click(panel);

        // Every command, and every other control the keyboard reaches, of
        // the window and its panels: a name, its tool tip (a command's with
        // the key) as description; a command is a button that can be pressed.
        const auto said = [](QWidget* control, QAccessible::Text kind) {
            return QAccessible::queryAccessibleInterface(control)->text(kind);
        };
        QStringList walked;
        for (QWidget* control : rig.t().findChildren<QWidget*>()) {
            auto* command = qobject_cast<CommandLabel*>(control);
            if (control->window() != &rig.t() || control->isHidden()
                || (!command && !(control->focusPolicy() & Qt::TabFocus)))
                continue;
            walked << control->objectName();
            const QByteArray name = control->objectName().toLatin1();
            QVERIFY2(!said(control, QAccessible::Name).trimmed().isEmpty(), name);
            QVERIFY2(said(control, QAccessible::Description).contains(control->toolTip()), name);
            if (!command)
                continue;
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(command);
            QVERIFY2(button->role() == QAccessible::Button, name);
            const QStringList actions = button->actionInterface()->actionNames();
            QVERIFY2(actions.contains(QAccessibleActionInterface::pressAction()), name);
            QVERIFY2(said(command, QAccessible::Description) == command->shownToolTip(), name);
            QVERIFY2(command->text().trimmed().isEmpty() || said(command, QAccessible::Name) == command->text(), name);
        }
        for (const char* name : {"lblOpen1", "lblCallNumbers_0", "lblLocalTelex_17", "txtLocalName_17", "Option1_2",
                                 "txtHeadlines_32", "lblPresetText_9", "RichTextBox1", "cmdExitPreview", "txtInput",
                                 "txtTerm"})
            QVERIFY2(walked.contains(name), name);

        // The name follows the caption; pressing clicks the command.
        CommandLabel* port = rig.command("lblOpen1");
        QVERIFY(said(port, QAccessible::Name).startsWith("Close Port"));
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(port);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(port->text().startsWith("Open Port") && said(port, QAccessible::Name) == port->text());
    }
};

VORNAK_TEST_MAIN(KeyboardTest)

#include "tst_keyboard.moc"
