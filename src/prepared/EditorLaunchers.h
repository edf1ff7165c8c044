#pragma once

#include "core/Operations.h"

#include <QObject>

class CommandHost;
class CommandLabel;

// The commands that open the message editor on a prepared text: the KLKL
// answer, the standard message, the preset phrases, the configuration file,
// and the free editor on a file of the user's choice.
class EditorLaunchers : public QObject {
    Q_OBJECT
public:
    // The commands go into the command group `group`.
    EditorLaunchers(CommandHost& host, EditorOpener openEditor, const QString& group = QStringLiteral("Texts"),
                    QObject* parent = nullptr);

    void lblEditKLKL_Click() { launch(0); }
    void lblEditRund_Click() { launch(1); }
    void lblEditData_Click() { launch(2); }
    void lblEditConfig_Click() { launch(3); }
    void lblEditor_Click() { launch(4); }

    CommandLabel* lblEditKLKL;
    CommandLabel* lblEditRund;
    CommandLabel* lblEditData;
    CommandLabel* lblEditConfig;
    // Shows a pencil instead of a caption.
    CommandLabel* lblEditor;

private:
    void launch(int launcher);

    CommandHost& m_host;
    EditorOpener m_openEditor;
};
