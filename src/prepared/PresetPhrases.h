#pragma once

#include "core/Operations.h"

#include <QObject>
#include <QStringList>
#include <array>

class CommandHost;
class CommandLabel;
class QWidget;

namespace presetphrases {

constexpr int kPhrases = 10;

// The captions of the ten phrase labels: the first ten lines of the phrase
// file's text; labels without a line get an empty caption.
QStringList captionsFromText(const QString& text);

} // namespace presetphrases

// The ten preset phrases: one-click texts from "\QuillnetPresetText.txt",
// shown as the labels lblPresetText_0 .. _9 on a small panel of the desk.
// A click sends the phrase as a line of its own through SendTxt while a call
// is in progress.
class PresetPhrases : public QObject {
    Q_OBJECT
public:
    // The labels stay empty until load().
    PresetPhrases(CommandHost& host, TextSender sendText, QObject* parent = nullptr);

    // Reads the phrase file into the captions: a step of start-up, so the
    // file is read again only at the next start.
    void load();
    // Sends phrase k: needs a call in progress and the port open.
    void lblPresetText_Click(int index);

    QWidget* framePresetText;
    std::array<CommandLabel*, presetphrases::kPhrases> lblPresetText{};

private:
    CommandHost& m_host;
    TextSender m_sendText;
};
