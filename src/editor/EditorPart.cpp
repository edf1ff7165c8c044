#include "editor/EditorPart.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Widgets.h"
#include "editor/frmEdit.h"
#include "editor/frmHelp.h"

EditorPart::EditorPart(CommandHost& host, ListsRefresher refreshLists, QObject* parent)
    : QObject(parent), m_host(host), m_refreshLists(std::move(refreshLists))
{
    setObjectName("EditorPart");
    lblAiuto = host.addCommand("Help", "lblAiuto", "Version Description", "Shows what is new in this version");
    connect(lblAiuto, &CommandLabel::clicked, this, &EditorPart::lblAiuto_Click);
}

void EditorPart::openEditor(const QString& file, int mode)
{
    AppState& state = m_host.state();
    state.EditFile = file;
    state.EditMode = mode;
    frmEdit editor(state, m_host.dialogs(), m_refreshLists, [this](QWidget* over) { showHelp(over); },
                   m_host.window());
    editor.runModal();
}

EditorOpener EditorPart::opener()
{
    return [this](const QString& file, int mode) { openEditor(file, mode); };
}

void EditorPart::showHelp(QWidget* over)
{
    frmHelp help(m_host.state().folder, m_host.settings(), over);
    help.runModal();
}

void EditorPart::lblAiuto_Click()
{
    showHelp(m_host.window());
}
