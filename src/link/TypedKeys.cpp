#include "link/TypedKeys.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "link/SerialLink.h"
#include "link/TerminalText.h"

TypedKeys::TypedKeys(CommandHost& host) : m_host(host)
{
    host.terminal().setKeyHandler([this](int code) { return keyPressed(code); });
}

bool TypedKeys::keyPressed(int code)
{
    SerialLink& link = m_host.link();
    if (!link.isOpen())
        return false;
    AppState& state = m_host.state();
    StatusPanel& status = m_host.status();
    if (code == 13) {
        endLine();
    } else {
        link.send(QString(QChar(code)));
        ++state.ColumnCount;
        status.showCount(state.ColumnCount);
        status.extendRuler();
        if (state.ColumnCount == kColumnYellow) {
            status.setColumnColor(StatusPanel::yellow());
        } else if (state.ColumnCount == kColumnRed) {
            m_host.dialogs().beep();
            status.setColumnColor(StatusPanel::red());
        } else if (state.ColumnCount > kLineLength) {
            endLine();
        }
    }
    m_host.terminal().showPending();
    return true;
}

void TypedKeys::endLine()
{
    m_host.link().send("\r");
    m_host.state().ColumnCount = 0;
    m_host.status().resetColumn();
}
