#include "prepared/EditorLaunchers.h"

#include "core/AppState.h"
#include "core/CommandHost.h"
#include "core/Dialogs.h"
#include "core/StatusPanel.h"
#include "core/Widgets.h"

#include <QPainter>
#include <QPainterPath>

namespace {

struct Launcher {
    const char* name;
    const char* caption;
    const char* toolTip;
    const char* action;
    // Joined to the program folder; one blank for the free editor, which
    // asks for its file.
    const char* file;
    int mode;
};

const Launcher kLaunchers[] = {
    {"lblEditKLKL", "Edit KLKL", "Invokes the KLKL Editor", "Loading Rundsenden Message Editor", "\\klkl.txt", 0},
    {"lblEditRund", "Edit Message", "Invokes the Message Editor", "Loading Rundsenden Message Editor",
     "\\Message.txt", 0},
    {"lblEditData", "Edit Presets", "Invokes Preset editor", "Loading Preset Text Editor",
     "\\QuillnetPresetText.txt", 2},
    {"lblEditConfig", "Edit Config", "Invokes The Configuration Editor", "Loading Configuration Editor",
     "\\QuillnetUsb.cfg", 1},
    {"lblEditor", "", "Invokes the embedded Editor", "Loading Editor", "\\ ", 4},
};
constexpr int kEditConfig = 3;
constexpr int kFreeEditor = 4;

// A pencil, the free editor's picture.
QPixmap pencil()
{
    QPixmap picture(18, 18);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(9, 9);
    painter.rotate(45);
    painter.setPen(QPen(QColor(0x404040), 1));
    painter.setBrush(QColor(0xF2C230));
    painter.drawRect(QRectF(-2.5, -8, 5, 11));
    painter.setBrush(QColor(0xE89090));
    painter.drawRect(QRectF(-2.5, -8, 5, 2.5));
    QPainterPath tip;
    tip.moveTo(-2.5, 3);
    tip.lineTo(2.5, 3);
    tip.lineTo(0, 8);
    tip.closeSubpath();
    painter.setBrush(QColor(0xF5DEB3));
    painter.drawPath(tip);
    return picture;
}

} // namespace

EditorLaunchers::EditorLaunchers(CommandHost& host, EditorOpener openEditor, const QString& group,
                                 QObject* parent)
    : QObject(parent), m_host(host), m_openEditor(std::move(openEditor))
{
    setObjectName("EditorLaunchers");
    CommandLabel** commands[] = {&lblEditKLKL, &lblEditRund, &lblEditData, &lblEditConfig, &lblEditor};
    for (int i = 0; i < 5; ++i) {
        const Launcher& launcher = kLaunchers[i];
        CommandLabel* command = host.addCommand(group, launcher.name, launcher.caption, launcher.toolTip);
        connect(command, &CommandLabel::clicked, this, [this, i] { launch(i); });
        *commands[i] = command;
    }
    lblEditor->setPixmap(pencil());
}

void EditorLaunchers::launch(int index)
{
    const Launcher& launcher = kLaunchers[index];
    Dialogs& dialogs = m_host.dialogs();
    if (index == kFreeEditor || index == kEditConfig)
        dialogs.beep();
    if (index == kEditConfig)
        dialogs.message("After editing you must restart the program to load changes ");
    m_host.status().setAction(launcher.action);
    AppState& state = m_host.state();
    state.EditFile = state.folder.file(launcher.file);
    state.EditMode = launcher.mode;
    if (m_openEditor)
        m_openEditor(state.EditFile, state.EditMode);
}
