#pragma once

#include <QObject>
#include <functional>

#include "text/TransmissionSteps.h"

class CommandLabel;

// The automatic answer to "klkl": the prepared file "\klkl.txt", wrapped to
// 68 characters through the scratch file "\klkl-Temp.txt" and sent with
// table B (KLKL column), line feeds included. The receive path decides when
// to answer and calls SendKLKL; lblKlKl switches the automatic answer.
//
// An answer asked for while another transmission is running waits until
// that one has ended and then goes out whole, so neither is cut short nor
// mixed into the other.
class KlklAnswer : public QObject {
    Q_OBJECT
public:
    // transmitFile: the path of the last text-file transmission, which the
    // cancel window names.
    KlklAnswer(TransmissionSteps steps, std::function<QString()> transmitFile, QObject* parent);

    CommandLabel* lblKlKl;

    void SendKLKL();
    void lblKlKl_Click();

private:
    void answer();

    TransmissionSteps m_steps;
    std::function<QString()> m_transmitFile;
    bool m_answerWaiting = false;
};
