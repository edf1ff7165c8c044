#pragma once

#include <QDateTime>
#include <QGroupBox>
#include <QHash>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/StatusPanel.h"
#include "app/TerminalContext.h"
#include "core/Widgets.h"
#include "appearance/Appearance.h"
#include "link/SerialLink.h"

struct AppState;
class AnalogClock;
class BroadcastSending;
class Dialogs;
class DirectoryPart;
class HeadlineEditor;
class LineCommands;
class ReceivePath;
class SettingsStore;
class SoundEffects;
class TerminalText;
class TextPart;

// The main window: the terminal text window, the status line and the command
// strip. Each subsystem keeps its logic in its own folder; this window owns
// the shared pieces and wires the commands to them.
class frmTerminal : public QWidget {
    Q_OBJECT
public:
    frmTerminal(AppState& state, Dialogs& dialogs, SettingsStore& settings, QWidget* parent = nullptr);
    ~frmTerminal() override;

    // Start-up: configuration file, settings store, command-line switches.
    void Form_Load(const QStringList& commandLineWords);

    TerminalContext& context() { return m_context; }
    SerialLink& link() { return m_link; }

    // A command label in one of the groups of the command strip; the parts
    // of the program add their commands through this.
    CommandLabel* addCommand(const QString& group, const QString& name, const QString& caption,
                             const QString& toolTip);

    // The one send operation: the text on the line as it stands.
    void SendToBox(const QString& text);

    // Received text into the terminal window (also used to show what is
    // being dialled).
    void ShowData(const QString& text);
    // Dials a number through the box and shows the name in the window.
    void CallNumber(const QString& CallNr, const QString& CallNm);

    ReceivePath& receivePath() { return *m_receive; }
    SoundEffects& sounds() { return *m_sounds; }

    // The once-a-second refresh of the clock, the date, the time and the
    // lamps.
    void Timer3_Timer();

    // Port commands.
    void lblOpen1_Click();
    void lblProps_Click();
    void lblExit_Click();

    // The unload sequence: waits for unsent output (asking Abort / Retry /
    // Ignore after the drain time), closes the port and ends every window.
    // Returns false when the user chose Abort.
    bool unload();
    void setDrainSeconds(int seconds) { m_drainSeconds = seconds; }

    // Text transmissions (text/TextPart): SendTxt sends a short text with
    // table B; SendKLKL sends the automatic answer "\klkl.txt" (the receive
    // path calls it); the hook runs before "Send Headline" sends its file.
    void SendTxt(const QString& text);
    void SendKLKL();
    void setBeforeHeadlineSend(std::function<bool()> hook);
    TextPart& textPart() { return *m_text; }

    // Elapsed-time clock of the open port.
    void StartClock();
    void StopClock();

    // Skins and colour pairs of the terminal window.
    void lblStandard_Click();
    void lblSteam_Click();
    void lbGnBk_Click();
    void lblBlWt_Click();
    void lblRdBl_Click();
    void lblYlBl_Click();
    void lblBkWt_Click();

    // The headline editor: opens the panel / saves the headlines and writes
    // the chosen one to "\Headline1.txt" (false when a file could not be
    // written; the user has been told).
    void lblHeadlineEditor_Click();
    bool lblExitHeadlineEditor_Click();
    HeadlineEditor& headlineEditor() { return *m_headlineEditor; }

    // Sets the hands of the analogue clock to the time of day.
    void DrawClock();
    // Reads phonebook.txt again into the favourites panel.
    void lblRefresh_Click();

    // Controls by their names.
    TerminalText* txtTerm;
    StatusPanel status;
    QWidget* desk;
    QLabel* lblVersion;
    QLabel* Label15;
    QLabel* lblElapsed;
    QLabel* lblDate;
    QLabel* lblTempo;
    QLabel* lblCport1;
    QLabel* lblStatus1;
    PictureLamp* imgPort1;
    CommandLabel* lblOpen1;
    CommandLabel* lblProps;
    CommandLabel* lblExit;
    CommandLabel* lblPaste;
    CommandLabel* lblSendText1;
    CommandLabel* lblSendHeader;
    CommandLabel* lblSendMessage;
    CommandLabel* lblSendHeadlines;
    CommandLabel* lblPuncher;
    CommandLabel* lblRSend_1;
    CommandLabel* lblRsend_2;
    QWidget* frameNumbers;
    QWidget* frameHeadLine;
    AnalogClock* Shape1;
    QTimer Timer1;
    QTimer Timer3;

signals:
    // The program has ended: every window is gone.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void applyCommandLine(const QStringList& words);
    bool restorePortSettings();
    void showPortState(bool open);
    void onDeviceLost(const QString& message);
    void applySkin(const Skin& skin);
    void applyColours(const ColourPair& colours);
    void centreOnScreen();

    AppState& m_state;
    Dialogs& m_dialogs;
    SettingsStore& m_settings;
    SerialLink m_link;
    TerminalContext m_context;
    SoundEffects* m_sounds;
    ReceivePath* m_receive;
    LineCommands* m_lineCommands;
    BroadcastSending* m_broadcast;
    QHash<QString, QGroupBox*> m_groups;
    QWidget* m_strip = nullptr;
    QDateTime m_startTime;
    int m_drainSeconds = 10;
    bool m_ended = false;
    std::unique_ptr<HeadlineEditor> m_headlineEditor;
    std::unique_ptr<DirectoryPart> m_directory;
    std::unique_ptr<TextPart> m_text;
};
