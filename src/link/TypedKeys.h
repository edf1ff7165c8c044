#pragma once

class CommandHost;

// What the user types in the terminal window while the port is open goes
// straight to the box, one character per key, the window showing only what
// the box sends back. The column counter and the ruler follow the typed
// line: yellow from the 55th character, red with a beep from the 64th, and
// after the 69th a carriage return is sent by itself.
class TypedKeys {
public:
    explicit TypedKeys(CommandHost& host);

    // The key handler of the terminal window; true when the key was sent
    // (the port is open) and must not be edited into the window.
    bool keyPressed(int code);

    static constexpr int kColumnYellow = 55;
    static constexpr int kColumnRed = 64;
    static constexpr int kLineLength = 68;

private:
    void endLine();

    CommandHost& m_host;
};
