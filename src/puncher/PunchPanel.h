#pragma once

#include <QColor>
#include <QGroupBox>

class PunchTape;
class QLabel;
class QLineEdit;
class QPushButton;

// The puncher frame frmPunch: the text to punch (txtInput), the caption over
// the tape picture (lblPreview, which also says when the puncher is busy),
// the tape picture (picPunch) and the commands "Punch" and "Exit". A panel
// on the desk; the puncher part gives its controls their work.
class PunchPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit PunchPanel(QWidget* desk);

    // lblPreview's caption in a text colour.
    void setPreviewCaption(const QString& caption, const QColor& color);
    QColor previewColor() const { return m_previewColor; }

    QLineEdit* txtInput;
    QLabel* lblPreview;
    PunchTape* picPunch;
    QPushButton* cmdPunch;
    QPushButton* cmdEndPunch;

private:
    QColor m_previewColor;
};
