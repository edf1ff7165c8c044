#include "appearance/SoundCommands.h"

#include "appearance/SoundEffects.h"
#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/EventWait.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"

namespace {
const QString kGroup = QStringLiteral("Sound");
// The switch shows its state as the klkl key does: the one in force is lit.
const QColor kCaptionLit(0x00FF00);
const QColor kCaptionPlain(0xFFFFFF);
} // namespace

SoundCommands::SoundCommands(CommandHost& host) : QObject(host.window()), m_host(host)
{
    lblSoundOn = host.addCommand(kGroup, "lblSoundOn", "Sound On", "Enable Soundeffects");
    lblSoundOff = host.addCommand(kGroup, "lblSoundOff", "Sound Off", "Mute Soundeffects");
    Command1 = host.addCommand(kGroup, "Command1", "Command1", QString());
    Command2 = host.addCommand(kGroup, "Command2", "Command2", QString());
    Command3 = host.addCommand(kGroup, "Command3", "Command3", QString());
    connect(lblSoundOn, &CommandLabel::clicked, this, &SoundCommands::lblSoundOn_Click);
    connect(lblSoundOff, &CommandLabel::clicked, this, &SoundCommands::lblSoundOff_Click);
    connect(Command1, &CommandLabel::clicked, this, &SoundCommands::Command1_Click);
    connect(Command2, &CommandLabel::clicked, this, &SoundCommands::Command2_Click);
    connect(Command3, &CommandLabel::clicked, this, &SoundCommands::Command3_Click);
    showSwitch();
}

void SoundCommands::showSwitch()
{
    const bool muted = m_host.state().SoundMuted;
    lblSoundOn->setCaptionColor(muted ? kCaptionPlain : kCaptionLit);
    lblSoundOff->setCaptionColor(muted ? kCaptionLit : kCaptionPlain);
}

void SoundCommands::lblSoundOn_Click()
{
    m_host.state().SoundMuted = false;
    showSwitch();
    m_host.sounds().play("\\soundcipher.wav");
    EventWait::forMs(kSoundOnHoldMs);
    m_host.status().setAction("Sound On");
}

void SoundCommands::lblSoundOff_Click()
{
    m_host.state().SoundMuted = true;
    showSwitch();
    m_host.status().setAction("Sound Off");
}

// A sound button is a request to hear that sound: it plays even while the
// effects are muted (the display sound checks the switch itself).
void SoundCommands::Command1_Click() { m_host.sounds().playHeld("\\soundcipher.wav", kCommand1HoldMs); }
void SoundCommands::Command2_Click() { m_host.sounds().playHeld("\\soundplain.wav", kCommand2HoldMs); }
void SoundCommands::Command3_Click() { m_host.sounds().playHeld("\\soundrun.wav", kCommand3HoldMs); }
