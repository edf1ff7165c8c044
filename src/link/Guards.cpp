#include "link/Guards.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "app/TerminalContext.h"
#include "link/SerialLink.h"

bool portGuard(TerminalContext& context, bool beepFirst)
{
    if (context.link.isOpen())
        return true;
    if (beepFirst)
        context.dialogs.beep();
    context.dialogs.message("Open Communication Port First ..... ");
    return false;
}

bool connectionGuard(TerminalContext& context)
{
    if (context.state.ConnectionActive)
        return true;
    context.dialogs.beep();
    context.dialogs.message(" No existing connection active ......");
    return false;
}
