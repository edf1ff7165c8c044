#include "link/Guards.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Dialogs.h"
#include "link/SerialLink.h"

namespace {

bool portGuard(const SerialLink& link, Dialogs& dialogs, bool beepFirst)
{
    if (link.isOpen())
        return true;
    if (beepFirst)
        dialogs.beep();
    dialogs.message("Open Communication Port First ..... ");
    return false;
}

bool connectionGuard(const AppState& state, Dialogs& dialogs)
{
    if (state.ConnectionActive)
        return true;
    dialogs.beep();
    dialogs.message(" No existing connection active ......");
    return false;
}

} // namespace

bool portGuard(CommandHost& host, bool beepFirst)
{
    return portGuard(host.link(), host.dialogs(), beepFirst);
}

bool connectionGuard(CommandHost& host)
{
    return connectionGuard(host.state(), host.dialogs());
}
