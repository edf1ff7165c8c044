#pragma once

#include <QDialog>

class CommandLabel;
class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class SerialLink;
class SettingsStore;

// The port settings window: the ports found on this computer, speed, data
// bits, parity, stop bits and flow control, and whether the port opens again
// by itself when its device comes back; "Save" applies and stores them.
class frmProperties : public QDialog {
    Q_OBJECT
public:
    frmProperties(SerialLink& link, SettingsStore& settings, Dialogs& dialogs, QWidget* parent = nullptr);

    // Branch 1: scan the ports, fill the lists and show the current settings.
    void LoadPropertySettings(int branch);
    // Tries every port number 1..32 and lists those that open.
    void PortScan();
    // Saves; the window closes only when everything was accepted.
    void lblOK_Click();
    void lblExit_Click();

    QComboBox* cboPort;
    QComboBox* cboSpeed;
    QComboBox* cboDataBits;
    QComboBox* cboParity;
    QComboBox* cboStopBits;
    QRadioButton* optFlow[4];
    QCheckBox* chkReopenPort;
    QLabel* lblSettings;
    CommandLabel* lblOK;
    CommandLabel* lblExit;
    qint16 FlowIndex = 0;

signals:
    // The port was closed and opened again on a new number while saving.
    void portReopened();

private:
    void reportScanFailure(int code, const QString& description);

    SerialLink& m_link;
    SettingsStore& m_settings;
    Dialogs& m_dialogs;
};

// Where users write to when something inside the port scan goes wrong.
inline const QString kContactAddress = QStringLiteral("vornak-support@example.org");
