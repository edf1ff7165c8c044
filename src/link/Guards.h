#pragma once

class CommandHost;

// The port guard of the commands that dial from a list: with the port closed
// it shows "Open Communication Port First ..... " (after a beep when asked)
// and returns false.
bool portGuard(CommandHost& host, bool beepFirst = false);

// The connection guard of the commands that need a call in progress: with no
// connection it beeps, shows " No existing connection active ......" and
// returns false.
bool connectionGuard(CommandHost& host);
