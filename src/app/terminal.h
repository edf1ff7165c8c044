#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

#include "core/CommandHost.h"
#include "core/StatusPanel.h"
#include "link/SerialLink.h"

class Appearance;
class BroadcastSending;
class CommandStrip;
class HeadlineEditor;
class LineCommands;
class PhonebookCommands;
class PortCommands;
class PresetPhrases;
class QLabel;
class ReceivePath;
class TextTransmissions;
class TypedKeys;

// The main window: a composition of the program's parts. It owns the shared
// pieces (the desk with the terminal text window, the status line, the
// serial line, the sounds) and the command strip, offers them to the parts
// through the CommandHost interface, hands each part the operations of the
// others it needs, and runs start-up and shut-down. The parts create and
// wire their own commands and panels.
class frmTerminal : public QWidget, public CommandHost {
    Q_OBJECT
public:
    frmTerminal(AppState& state, Dialogs& dialogs, SettingsStore& settings, QWidget* parent = nullptr);
    ~frmTerminal() override;

    // Start-up: configuration file, settings store, command-line switches.
    void Form_Load(const QStringList& commandLineWords);

    // The unload sequence: waits for unsent output (asking Abort / Retry /
    // Ignore after the drain time), closes the port and ends every window.
    // Returns false when the user chose Abort.
    bool unload();
    void setDrainSeconds(int seconds) { m_drainSeconds = seconds; }

    // The once-a-second refresh of the clock, the date, the time and the
    // lamps.
    void Timer3_Timer();

    // What the parts are given.
    CommandLabel* addCommand(const QString& group, const QString& name, const QString& caption,
                             const QString& toolTip) override;
    Desk& desk() override { return *m_desk; }
    QWidget* window() override { return this; }
    TerminalText& terminal() override { return *txtTerm; }
    StatusPanel& status() override { return m_status; }
    SerialLink& link() override { return m_link; }
    SoundEffects& sounds() override { return *m_sounds; }
    Dialogs& dialogs() override { return m_dialogs; }
    AppState& state() override { return m_state; }
    SettingsStore& settings() override { return m_settings; }

signals:
    // The program has ended: every window is gone.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildParts();
    void lblExit_Click();
    // The window at its designed size (the desk at the design's size, the
    // command strip as high as that width needs), smaller on a screen that
    // cannot hold it, centred on the screen.
    void centreOnScreen();

    AppState& m_state;
    Dialogs& m_dialogs;
    SettingsStore& m_settings;
    StatusPanel m_status;
    SerialLink m_link;
    SoundEffects* m_sounds;
    Desk* m_desk = nullptr;
    TerminalText* txtTerm = nullptr;
    CommandStrip* m_strip = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label15 = nullptr;
    QTimer Timer3;

    PortCommands* m_port = nullptr;
    ReceivePath* m_receive = nullptr;
    std::unique_ptr<TypedKeys> m_keys;
    TextTransmissions* m_texts = nullptr;
    LineCommands* m_lineCommands = nullptr;
    HeadlineEditor* m_headlines = nullptr;
    PhonebookCommands* m_phonebook = nullptr;
    BroadcastSending* m_broadcast = nullptr;
    PresetPhrases* m_phrases = nullptr;
    Appearance* m_appearance = nullptr;

    int m_drainSeconds = 10;
    bool m_ended = false;
};
