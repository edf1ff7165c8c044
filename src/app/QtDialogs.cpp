#include "app/QtDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::Exclamation: return QMessageBox::Warning;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    case Dialogs::Icon::Critical: return QMessageBox::Critical;
    case Dialogs::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(Dialogs::Answer answer)
{
    switch (answer) {
    case Dialogs::Answer::Ok: return QMessageBox::Ok;
    case Dialogs::Answer::Cancel: return QMessageBox::Cancel;
    case Dialogs::Answer::Yes: return QMessageBox::Yes;
    case Dialogs::Answer::No: return QMessageBox::No;
    case Dialogs::Answer::Abort: return QMessageBox::Abort;
    case Dialogs::Answer::Retry: return QMessageBox::Retry;
    case Dialogs::Answer::Ignore: return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

Dialogs::Answer fromQt(int button, Dialogs::Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok: return Dialogs::Answer::Ok;
    case QMessageBox::Cancel: return Dialogs::Answer::Cancel;
    case QMessageBox::Yes: return Dialogs::Answer::Yes;
    case QMessageBox::No: return Dialogs::Answer::No;
    case QMessageBox::Abort: return Dialogs::Answer::Abort;
    case QMessageBox::Retry: return Dialogs::Answer::Retry;
    case QMessageBox::Ignore: return Dialogs::Answer::Ignore;
    default: break;
    }
    // Closing the box through its frame counts as the harmless answer.
    switch (buttons) {
    case Dialogs::Buttons::YesNo: return Dialogs::Answer::No;
    case Dialogs::Buttons::AbortRetryIgnore: return Dialogs::Answer::Abort;
    case Dialogs::Buttons::OkCancel: return Dialogs::Answer::Cancel;
    case Dialogs::Buttons::Ok: break;
    }
    return Dialogs::Answer::Ok;
}

QMessageBox::StandardButtons toQt(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case Dialogs::Buttons::Ok: break;
    }
    return QMessageBox::Ok;
}

} // namespace

std::unique_ptr<QMessageBox> QtDialogs::messageBox(const QString& text, Icon icon, Buttons buttons,
                                                   Answer defaultAnswer, const QString& title, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(toQt(icon), title.isEmpty() ? kAppTitle : title, QString(),
                                             toQt(buttons), parent);
    // Messages carry file names, lines of files and the directory server's
    // texts: shown as they stand, never read as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setDefaultButton(toQt(defaultAnswer));
    return box;
}

Dialogs::Answer QtDialogs::message(const QString& text, Icon icon, Buttons buttons,
                                   Answer defaultAnswer, const QString& title)
{
    const std::unique_ptr<QMessageBox> box = messageBox(text, icon, buttons, defaultAnswer, title, m_parent);
    return fromQt(box->exec(), buttons);
}

void QtDialogs::beep()
{
    QApplication::beep();
}

QString QtDialogs::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        patterns.replace("*.*", "*");
        QString label = parts[i];
        label.replace("(*.*)", "(*)");
        entries << (label.contains('(') ? label : label + " (" + patterns + ")");
    }
    return entries.join(";;");
}

QString QtDialogs::runFileDialog(const FileRequest& request, bool saving)
{
    QFileDialog dialog(m_parent, request.title, request.startFolder, qtFilter(request.filter));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (!saving)
        dialog.setFileMode(QFileDialog::AnyFile); // a missing name is reported by the caller
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::openFile(const FileRequest& request)
{
    return runFileDialog(request, false);
}

QString QtDialogs::saveFile(const FileRequest& request)
{
    return runFileDialog(request, true);
}

std::optional<Dialogs::FontChoice> QtDialogs::chooseFont(const FontChoice& preset)
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, preset.font, m_parent);
    if (!accepted)
        return std::nullopt;
    // Qt's font dialog has no colour effect; the colour is asked right after.
    const QColor color = QColorDialog::getColor(preset.color, m_parent, "Font colour");
    if (!color.isValid())
        return std::nullopt;
    return FontChoice{font, color};
}

bool QtDialogs::openExternal(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
