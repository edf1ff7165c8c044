#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

struct AppState;

// The small always-on-top window of every paced transmission: what is being
// sent, and the command that stops it before the next character. While a
// transmission runs (StopSend false) it comes back whenever it loses the
// focus or is minimised, so Cancel stays within reach; closing it from the
// title bar is taken as Cancel.
class frmCancelSend : public QWidget {
    Q_OBJECT
public:
    static inline const QString kDefaultStatus = QStringLiteral("Transmitting Clipboard Text");

    frmCancelSend(AppState& state, QWidget* owner);

    QLabel* lblStatus;
    QPushButton* cmdCancel;

    void setStatus(const QString& text) { lblStatus->setText(text); }
    void cmdCancel_Click();

    // Shows the window (not modal) beside the owner; hides it again.
    void showForTransmission();
    void hideAfterTransmission();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool transmitting() const;
    void comeBack();

    AppState& m_state;
};
