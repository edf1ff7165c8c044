#pragma once

#include "appearance/SoundEffects.h"

#include <QObject>

class CommandHost;
class CommandLabel;

// The sound switch and the three sound buttons, in the command group
// "Sound". lblSoundOn switches the sound effects on and confirms it with the
// cipher sound; lblSoundOff mutes them without a sound; the one in force is
// lit. Command1 to Command3
// play the cipher, key and motor sounds and hold the window's commands for a
// fixed time (the sound's length), the window still painting meanwhile.
class SoundCommands : public QObject {
    Q_OBJECT
public:
    // How long each command holds before it returns.
    static constexpr int kSoundOnHoldMs = 100;
    static constexpr int kCommand1HoldMs = 100;
    static constexpr int kCommand2HoldMs = SoundEffects::kKeySoundMs;
    static constexpr int kCommand3HoldMs = 2000;

    explicit SoundCommands(CommandHost& host);

    void lblSoundOn_Click();
    void lblSoundOff_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    CommandLabel* lblSoundOn;
    CommandLabel* lblSoundOff;
    CommandLabel* Command1;
    CommandLabel* Command2;
    CommandLabel* Command3;

private:
    // Lights the one of Sound On and Sound Off that is in force.
    void showSwitch();

    CommandHost& m_host;
};
