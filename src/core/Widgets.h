#pragma once

#include <QColor>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QPlainTextEdit;
class QShortcut;

// Tool tips: Qt shows a tool tip as rich text when it looks like markup, and
// a rich text may name a file to load as a picture. This is the form of
// `text` that a tool tip shows character for character, whatever it holds.
QString plainToolTip(const QString& text);

// A window title shows "[*]" only as the mark of unsaved changes; this is
// the form of `text` that a title shows as it stands.
QString plainWindowTitle(const QString& text);

// A label that shows its text and its tool tip as they stand, never as
// markup. Every label of the program is one: what labels show may come
// from a file, the line, the directory server or the user.
class PlainLabel : public QLabel {
    Q_OBJECT
public:
    explicit PlainLabel(QWidget* parent = nullptr) : PlainLabel(QString(), parent) {}
    explicit PlainLabel(const QString& text, QWidget* parent = nullptr);

    // The tool tip as shown (plain text; see plainToolTip()).
    virtual QString shownToolTip() const { return toolTip(); }

protected:
    bool event(QEvent* event) override;
};

// A clickable caption, the way every command of the program looks: it
// emits clicked() on a left click while it is enabled. It never takes the
// keyboard focus on a click (typing stays in the terminal window), but Tab
// reaches it, and Space or Enter then click it. A command may carry a
// shortcut key of its window.
class CommandLabel : public PlainLabel {
    Q_OBJECT
public:
    // Plain: a caption on a panel. Key: a key cap of the command strip,
    // light caption on a dark key.
    enum class Look { Plain, Key };

    CommandLabel(const QString& name, const QString& caption, const QString& toolTip,
                 QWidget* parent = nullptr, Look look = Look::Plain);
    Look look() const { return m_look; }

    // Paints the caption text in a colour (the klkl toggle: white off, green
    // on). On a key, a white caption is the key's ordinary caption.
    void setCaptionColor(const QColor& color);
    QColor captionColor() const { return m_captionColor; }
    // The face of a key in one flat colour (the colour swatches).
    void setFaceColor(const QColor& color);
    QColor faceColor() const { return m_faceColor; }

    // A key of the command's window that clicks it while it is enabled; the
    // tool tip then names the key.
    void setShortcut(const QKeySequence& key);
    QKeySequence shortcut() const { return m_key; }
    // The tool tip as shown: the tool tip and the shortcut key.
    QString shownToolTip() const override;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // A key paints itself; a plain caption takes a style sheet of its own.
    void restyle();
    struct KeyColours {
        QColor caption, edge, top, bottom;
    };
    KeyColours keyColours() const;
    QColor m_captionColor;
    QColor m_faceColor;
    const Look m_look;
    QKeySequence m_key;
    QShortcut* m_shortcut = nullptr;
};

// A picture of the picture list: picture 1 is the lit / open state,
// picture 2 the dark / closed state. The shown number is kept in the
// "picture" property.
class PictureLamp : public PlainLabel {
    Q_OBJECT
public:
    enum Kind { PortPlug, ActivityLight };
    PictureLamp(const QString& name, Kind kind, const QString& toolTip, QWidget* parent = nullptr);
    void showPicture(int number);
    int picture() const { return m_picture; }

private:
    void draw();
    Kind m_kind;
    int m_picture = 0;
};

// The ruler line under the typing position: a coloured bar whose end point
// moves right by 170 twips per typed character. Following a text window, a
// character is one character of that window's font and the bar starts at
// the window's first text column, so its end stands under the caret of the
// typed line whatever the font.
class RulerLine : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTwipsPerColumn = 170;

    explicit RulerLine(QWidget* parent = nullptr);
    // End point back to the start point.
    void reset();
    void extend(int twips);
    int lengthTwips() const { return m_lengthTwips; }
    void setColor(const QColor& color);
    QColor color() const { return m_color; }

    // Measures along this text window from now on.
    void followText(QPlainTextEdit* text);
    // Where the bar starts and ends, in the ruler's own pixels.
    double startX() const;
    double endX() const;
    // The width of one character of the followed window's font.
    double columnWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_lengthTwips = 0;
    QColor m_color = QColor(0x00FF00);
    QPointer<QPlainTextEdit> m_text;
};

// Twips (1/1440 inch) of the window design to pixels of the screen.
constexpr int twips(int value) { return value / 15; }
