#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "text/TransmissionSteps.h"

class CommandLabel;
class QWidget;

// The text-file transmission and its four commands: "Send Text File" (a
// file the user picks), "Send RS List", "Send Headline" and "Send Message"
// (prepared files in the program folder). The file is spelled in the telex
// repertoire, wrapped to 68 characters, written to the scratch file
// "\SendFile.txt" and sent from there one character at a time.
class FileTransmission : public QObject {
    Q_OBJECT
public:
    FileTransmission(TransmissionSteps steps, std::function<void()> clearPreview, QObject* parent);

    // The four commands, in the order they stand.
    QList<QWidget*> commands() const;
    CommandLabel* lblSendText1;
    CommandLabel* lblSendHeader;
    CommandLabel* lblSendHeadlines;
    CommandLabel* lblSendMessage;

    void lblSendText1_Click();
    void lblSendHeader_Click();
    void lblSendHeadlines_Click();
    void lblSendMessage_Click();

    // Sends a file; with an empty path the user chooses one. Only mode 5 is
    // in use; any other mode behaves the same.
    void SendTextFile(const QString& path, int mode = 5);

    // The path of the file being (or last) sent.
    const QString& TransmitFile() const { return m_transmitFile; }
    // The characters read and sent since the last carriage return went out,
    // shown in lblMaxChar; it runs on from one transmission to the next.
    int TransmitColumn() const { return m_transmitColumn; }

    // Run before "Send Headline" sends "\Headline1.txt" (the headline
    // editor stores its headlines and writes the file).
    void setBeforeHeadlineSend(std::function<bool()> hook) { m_beforeHeadlineSend = std::move(hook); }

private:
    void runCommand(const QString& question, const QString& action, const QString& fileName,
                    bool headline = false);
    // The file dialog, again after a path that does not exist; nothing when
    // the user cancelled or the path cannot be looked up.
    std::optional<QString> chooseFile();
    std::optional<QString> prepare();
    void transmit(const QString& content);

    TransmissionSteps m_steps;
    std::function<void()> m_clearPreview;
    std::function<bool()> m_beforeHeadlineSend;
    QString m_transmitFile;
    int m_transmitColumn = 0;
};
