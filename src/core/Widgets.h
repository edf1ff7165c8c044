#pragma once

#include <QColor>
#include <QLabel>
#include <QTimer>
#include <QWidget>

// A clickable caption, the way every command of the program looks: it
// emits clicked() on a left click while it is enabled.
class CommandLabel : public QLabel {
    Q_OBJECT
public:
    CommandLabel(const QString& name, const QString& caption, const QString& toolTip,
                 QWidget* parent = nullptr);
    // Paints the caption text in a colour (the klkl toggle: white / green).
    void setCaptionColor(const QColor& color);
    QColor captionColor() const { return m_captionColor; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void restyle();
    QColor m_captionColor;
};

// A picture of the picture list: picture 1 is the lit / open state,
// picture 2 the dark / closed state. The shown number is kept in the
// "picture" property.
class PictureLamp : public QLabel {
    Q_OBJECT
public:
    enum Kind { PortPlug, ActivityLight };
    PictureLamp(const QString& name, Kind kind, const QString& toolTip, QWidget* parent = nullptr);
    void showPicture(int number);
    int picture() const { return m_picture; }

private:
    Kind m_kind;
    int m_picture = 0;
};

// The ruler line under the typing position: a coloured bar whose end point
// moves right by 170 twips per typed character.
class RulerLine : public QWidget {
    Q_OBJECT
public:
    explicit RulerLine(QWidget* parent = nullptr);
    // End point back to the start point.
    void reset();
    void extend(int twips);
    int lengthTwips() const { return m_lengthTwips; }
    void setColor(const QColor& color);
    QColor color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_lengthTwips = 0;
    QColor m_color = QColor(0x00FF00);
};

// Twips (1/1440 inch) of the window design to pixels of the screen.
constexpr int twips(int value) { return value / 15; }
