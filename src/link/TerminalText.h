#pragma once

#include <QPlainTextEdit>
#include <functional>

// The terminal window txtTerm. Typed keys are offered to the key handler
// first; when it takes a key (the port is open), the window itself never
// shows it, so the window holds only what the box sends.
class TerminalText : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TerminalText(QWidget* parent = nullptr);

    // Returns true when the key was handled (sent) and must not be edited in.
    using KeyHandler = std::function<bool(int characterCode)>;
    void setKeyHandler(KeyHandler handler) { m_keyHandler = std::move(handler); }

    void moveCaretToEnd();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    KeyHandler m_keyHandler;
};
