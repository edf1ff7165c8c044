#include "archive/ArchivePart.h"

#include "core/CommandHost.h"
#include "appearance/Looks.h"
#include "archive/ArchiveListModel.h"
#include "archive/ArchiveRecorder.h"
#include "archive/ArchiveWindow.h"
#include "archive/ArchiveWriter.h"
#include "archive/DesktopNotice.h"
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/SettingsStore.h"
#include "core/StatusPanel.h"
#include "core/TextFiles.h"
#include "core/Widgets.h"
#include "link/SerialLink.h"
#include "link/TerminalText.h"
#include "paper/TelexPaper.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>

namespace {

const QColor kCaptionOn(0x00FF00);
const QColor kCaptionOff(0xFFFFFF);
constexpr int kDefaultQuietSeconds = 30;
const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*");
const QString kTextFilter = QStringLiteral("Text Files (*.TXT)|*.txt|All Files (*.*)|*.*");

// The paper picture at the better of its two sizes, for print.
QImage paperForPrint(const ProgramFolder& folder)
{
    const QString path = folder.file(paper::SheetPicture);
    const QFileInfo file(path);
    const QImage dense(file.path() + "/" + file.completeBaseName() + "@2x." + file.suffix());
    return dense.isNull() ? QImage(path) : dense;
}

} // namespace

ArchivePart::ArchivePart(CommandHost& host, FileSender sendFile, QObject* parent)
    : QObject(parent), m_host(host), m_sendFile(std::move(sendFile)), m_notice(new DesktopNotice(this))
{
    lblArchive = host.addCommand("Archive", "lblArchive", "Archive",
                                 "Keeps every received message in the archive (green: on)");
    connect(lblArchive, &CommandLabel::clicked, this, &ArchivePart::lblArchive_Click);
    connect(host.addCommand("Archive", "lblArchiveWindow", "Messages", "Shows the archived messages"),
            &CommandLabel::clicked, this, &ArchivePart::lblArchiveWindow_Click);
    connect(host.addCommand("Archive", "lblPrintText", "Print", "Prints the text of the terminal window"),
            &CommandLabel::clicked, this, &ArchivePart::lblPrintText_Click);
    connect(host.addCommand("Archive", "lblTextPdf", "PDF", "Saves the text of the terminal window as a PDF file"),
            &CommandLabel::clicked, this, &ArchivePart::lblTextPdf_Click);

    m_choosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, m_host.window());
        return dialog.exec() == QDialog::Accepted;
    };
    connect(m_notice, &DesktopNotice::clicked, this, &ArchivePart::raiseWindow);
    // A dial or a close ends the message; so does the port closing.
    connect(&host.link(), &SerialLink::sent, this, [this](const QByteArray& bytes) {
        if (m_recorder)
            m_recorder->noteSent(bytes);
    });
    connect(&host.link(), &SerialLink::openChanged, this, [this](bool open) {
        if (m_recorder && !open)
            m_recorder->cut();
    });

    showState(false);
    if (host.settings().get(setting_keys::ArchiveOn) == QLatin1String("1"))
        switchOn();
}

ArchivePart::~ArchivePart()
{
    // The message in progress is finished and written.
    delete m_recorder;
}

QString ArchivePart::folder() const
{
    return m_host.state().folder.file("\\archive");
}

qint64 ArchivePart::quietMs() const
{
    bool number = false;
    const int seconds = m_host.settings().get(setting_keys::ArchiveQuietSeconds).toInt(&number);
    return qint64(number && seconds >= 1 && seconds <= 3600 ? seconds : kDefaultQuietSeconds) * 1000;
}

void ArchivePart::lblArchive_Click()
{
    if (m_recorder)
        switchOff();
    else
        switchOn();
}

void ArchivePart::recordShown(const QString& text, bool replacedLast)
{
    if (m_recorder)
        m_recorder->recordShown(text, replacedLast);
}

void ArchivePart::switchOn()
{
    if (!QDir().mkpath(folder())) {
        m_host.settings().save(setting_keys::ArchiveOn, "0");
        m_host.dialogs().warn(QStringLiteral("The message archive cannot be written to %1: the folder cannot be made.\n"
                                             "The archive stays off.")
                                  .arg(QDir::toNativeSeparators(folder())));
        return;
    }
    m_recorder = new ArchiveRecorder(folder(), [&state = m_host.state()] { return state.now(); }, this);
    m_recorder->setQuietMs(quietMs());
    connect(m_recorder, &ArchiveRecorder::messageStarted, this, &ArchivePart::onMessageStarted);
    connect(m_recorder, &ArchiveRecorder::firstLineKnown, this,
            [this](const QString&, const QString& line) { onFirstLine(line); });
    ArchiveWriter& writer = m_recorder->writer();
    connect(&writer, &ArchiveWriter::written, this, [this](const ArchivedMessage& message) {
        if (m_window)
            m_window->addMessage(message);
    });
    // Told from the event loop: a write fails in the middle of the receive
    // path, which carries on first. The archive stays on and writes what it
    // holds as soon as it can.
    connect(&writer, &ArchiveWriter::failed, this, [this](const QString& message) {
        m_host.status().setAction("Archive: cannot write");
        m_host.dialogs().warn(message);
    }, Qt::QueuedConnection);
    connect(&writer, &ArchiveWriter::recovered, this, [this](qint64 dropped) {
        m_host.status().setAction(dropped > 0 ? QStringLiteral("Archive written again (%1 characters lost)").arg(dropped)
                                              : QStringLiteral("Archive written again"));
    });
    m_host.settings().save(setting_keys::ArchiveOn, "1");
    showState(true);
    m_host.status().setAction("Archive On");
}

void ArchivePart::switchOff()
{
    delete std::exchange(m_recorder, nullptr);
    m_host.settings().save(setting_keys::ArchiveOn, "0");
    showState(false);
    m_host.status().setAction("Archive Off");
}

void ArchivePart::showState(bool on)
{
    lblArchive->setCaptionColor(on ? kCaptionOn : kCaptionOff);
    lblArchive->setProperty("checked", on);
}

void ArchivePart::onMessageStarted()
{
    m_noticeDue = m_host.settings().get(setting_keys::ArchiveNotice) == QLatin1String("1")
                  && !m_host.window()->isActiveWindow();
}

void ArchivePart::onFirstLine(const QString& line)
{
    if (!std::exchange(m_noticeDue, false))
        return;
    m_notice->show(QStringLiteral("Telex arriving"), line);
}

void ArchivePart::raiseWindow()
{
    QWidget* window = m_host.window();
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

void ArchivePart::lblArchiveWindow_Click()
{
    if (!m_window) {
        m_window = new ArchiveWindow(ArchiveStore(folder()), m_host.window());
        ArchiveWindow& window = *m_window;
        window.setAttribute(Qt::WA_DeleteOnClose);
        window.txtArchiveMessage->setFont(m_host.terminal().font());
        window.txtArchiveMessage->setPaper(QPixmap(m_host.state().folder.file(paper::SheetPicture)));

        SettingsStore& settings = m_host.settings();
        window.spnQuietSeconds->setValue(int(quietMs() / 1000));
        window.chkPaperPicture->setChecked(settings.get(setting_keys::PrintOnPaperPicture) != QLatin1String("0"));
        window.chkNotice->setChecked(settings.get(setting_keys::ArchiveNotice) == QLatin1String("1"));
        connect(window.spnQuietSeconds, &QSpinBox::valueChanged, this, [this](int seconds) {
            m_host.settings().save(setting_keys::ArchiveQuietSeconds, QString::number(seconds));
            if (m_recorder)
                m_recorder->setQuietMs(qint64(seconds) * 1000);
        });
        connect(window.chkPaperPicture, &QCheckBox::toggled, this, [this](bool on) {
            m_host.settings().save(setting_keys::PrintOnPaperPicture, on ? "1" : "0");
        });
        connect(window.chkNotice, &QCheckBox::toggled, this, [this](bool on) {
            m_host.settings().save(setting_keys::ArchiveNotice, on ? "1" : "0");
        });
        connect(&window, &ArchiveWindow::sendAgainRequested, this, &ArchivePart::sendChosenAgain);
        connect(&window, &ArchiveWindow::saveTextRequested, this, &ArchivePart::saveChosenAsText);
        connect(&window, &ArchiveWindow::printRequested, this, [this] {
            if (const std::optional<ArchivedMessage> chosen = m_window->chosenMessage())
                print(messageSheet(*chosen, m_window->chosenText()), QFileInfo(chosen->file).completeBaseName());
        });
        connect(&window, &ArchiveWindow::pdfRequested, this, [this] {
            if (const std::optional<ArchivedMessage> chosen = m_window->chosenMessage())
                exportPdf(messageSheet(*chosen, m_window->chosenText()),
                          QFileInfo(chosen->file).completeBaseName() + ".pdf");
        });
        window.reload();
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

TelexSheet ArchivePart::terminalSheet() const
{
    const QString text = m_host.terminal().lineText();
    TelexSheet sheet;
    sheet.header = telexpaper::headerLine(m_host.state().now(), firstLineOf(text));
    sheet.text = text;
    sheet.font = m_host.terminal().font();
    if (m_host.settings().get(setting_keys::PrintOnPaperPicture) != QLatin1String("0"))
        sheet.paper = paperForPrint(m_host.state().folder);
    return sheet;
}

TelexSheet ArchivePart::messageSheet(const ArchivedMessage& message, const QString& text) const
{
    TelexSheet sheet = terminalSheet();
    sheet.header = telexpaper::headerLine(message.start, message.firstLine);
    sheet.text = text;
    return sheet;
}

void ArchivePart::lblPrintText_Click()
{
    print(terminalSheet(), "terminal-" + m_host.state().now().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
}

void ArchivePart::lblTextPdf_Click()
{
    exportPdf(terminalSheet(),
              "terminal-" + m_host.state().now().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + ".pdf");
}

void ArchivePart::print(const TelexSheet& sheet, const QString& name)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(name);
    if (!m_choosePrinter(printer))
        return;
    const int pages = telexpaper::paint(printer, sheet);
    m_host.status().setAction(QStringLiteral("Printed: %1 %2").arg(pages).arg(pages == 1 ? "page" : "pages"));
}

void ArchivePart::exportPdf(const TelexSheet& sheet, const QString& proposedName)
{
    const QString path = m_host.dialogs().saveFile({"Export PDF", kPdfFilter, m_host.state().folder.path(), proposedName, "pdf"});
    if (path.isEmpty())
        return;
    QString error;
    if (!telexpaper::writePdf(path, sheet, &error)) {
        m_host.dialogs().warn(QStringLiteral("The PDF cannot be written to %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    m_host.status().setAction("PDF saved: " + QDir::toNativeSeparators(path));
}

void ArchivePart::sendChosenAgain()
{
    const std::optional<ArchivedMessage> chosen = m_window ? m_window->chosenMessage() : std::nullopt;
    if (!chosen)
        return;
    m_host.dialogs().beep();
    const Dialogs::Answer answer = m_host.dialogs().message(
        QStringLiteral(" You are about to send the message of %1 again ").arg(telexpaper::headerLine(chosen->start, {})),
        Dialogs::Icon::Question, Dialogs::Buttons::YesNo, Dialogs::Answer::No);
    if (answer != Dialogs::Answer::Yes)
        return;
    m_sendFile(m_window->store().absolute(chosen->file));
}

void ArchivePart::saveChosenAsText()
{
    const std::optional<ArchivedMessage> chosen = m_window ? m_window->chosenMessage() : std::nullopt;
    if (!chosen)
        return;
    const QString source = m_window->store().absolute(chosen->file);
    const QString path = m_host.dialogs().saveFile({"Save Message As Text", kTextFilter, m_host.state().folder.path(),
                                                    QFileInfo(source).fileName(), "txt"});
    if (path.isEmpty())
        return;
    // The bytes as the archive holds them.
    QFile file(source);
    QString error;
    bool saved = false;
    if (file.open(QIODevice::ReadOnly))
        saved = writeBytesAtomic(path, file.readAll(), &error);
    else
        error = file.errorString();
    if (!saved) {
        m_host.dialogs().warn(QStringLiteral("The message cannot be saved to %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    m_host.status().setAction("Message saved: " + QDir::toNativeSeparators(path));
}
