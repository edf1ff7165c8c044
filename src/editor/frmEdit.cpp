#include "editor/frmEdit.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/DataFile.h"
#include "core/EventWait.h"
#include "core/TextFiles.h"
#include "core/Widgets.h"
#include "editor/EditorText.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace editortext;

namespace {

struct ButtonText {
    const char* caption;
    const char* toolTip;
};

// Caption and tool tip of each key of the command bar, in kKeys order.
const ButtonText kButtonTexts[] = {
    {"New", "Create New Message"},
    {"Open", "Open Message File"},
    {"Save", "Save Message File"},
    {"Save As", "Save Message File As"},
    {"Print", "Print Message File"},
    {"Exit", "Exit Editor"},
    {"Help", "Invokes Help"},
    {"Time", "Insert Time Today"},
    {"Date", "Insert Date ToDay"},
};

const QString kFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
// Files of this program are named in lower case; on this system the case of
// an extension matters.
const QString kDefaultSuffix = QStringLiteral("txt");
const QString kIdleStatus = QStringLiteral(" S T A T U S");
const QString kPrintText = QStringLiteral(
    " This editore does not print to a local printer but send this message to a pre-defined dedicated "
    "teleprinter but as this is a beta version it is disabled ");

QFont editorFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    return font;
}

} // namespace

EditorTextArea::EditorTextArea(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName("txtText");
}

void EditorTextArea::keyPressEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyPressEvent(event);
    emit caretReported();
}

void EditorTextArea::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit caretReported();
}

void EditorTextArea::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit caretReported();
}

frmEdit::frmEdit(AppState& state, Dialogs& dialogs, ListsRefresher refreshLists, HelpOpener showHelp,
                 QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_dialogs(dialogs),
      m_refreshLists(std::move(refreshLists)),
      m_showHelp(std::move(showHelp))
{
    setObjectName("frmEdit");
    buildWindow();
    connect(txtText, &QPlainTextEdit::textChanged, this, [this] { setModified(true); });
    connect(txtText, &EditorTextArea::caretReported, this, &frmEdit::reportCaret);
}

void frmEdit::buildWindow()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 0);
    layout->setSpacing(4);

    Toolbar = new QToolBar(this);
    Toolbar->setObjectName("Toolbar");
    Toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    Toolbar->setMovable(false);
    for (int i = 0; i < kKeys.size(); ++i) {
        const QString key = kKeys[i];
        QAction* action = Toolbar->addAction(kButtonTexts[i].caption);
        action->setObjectName(key);
        action->setToolTip(kButtonTexts[i].toolTip);
        Toolbar->widgetForAction(action)->setObjectName("Toolbar_" + key);
        connect(action, &QAction::triggered, this, [this, key] { Toolbar_ButtonClick(key); });
        m_buttons.insert(key, action);
        // Exit and Help stand apart from the file commands, Time and Date
        // from both.
        if (key == "print" || key == "help")
            Toolbar->addSeparator();
    }
    layout->addWidget(Toolbar);

    lblStatus = new PlainLabel(kIdleStatus, this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblStatus);

    txtText = new EditorTextArea(this);
    txtText->setFont(editorFont());
    txtText->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtText->setTabChangesFocus(false);

    // The ruler stands right above the first column of the text and moves
    // with it when the text scrolls sideways.
    auto* rulerRow = new QHBoxLayout;
    rulerRow->setSpacing(6);
    rulerRow->addSpacing(txtText->frameWidth() + int(txtText->document()->documentMargin()));
    auto* rulerStrip = new QWidget(this);
    lblRuler = new PlainLabel(rulerText(), rulerStrip);
    lblRuler->setObjectName("lblRuler");
    lblRuler->setFont(editorFont());
    lblRuler->setToolTip("One telex line: 68 characters");
    lblRuler->adjustSize();
    rulerStrip->setFixedSize(lblRuler->size());
    connect(txtText->horizontalScrollBar(), &QScrollBar::valueChanged, lblRuler,
            [this](int offset) { lblRuler->move(-offset, 0); });
    rulerRow->addWidget(rulerStrip);
    lblMax = new PlainLabel(QString::number(kLineWidth), this);
    lblMax->setObjectName("lblMax");
    lblMax->setAutoFillBackground(true);
    lblMax->setAlignment(Qt::AlignCenter);
    lblMax->setMinimumWidth(32);
    lblMax->setToolTip("Green while the cursor stands within the 68 columns of a telex line");
    rulerRow->addWidget(lblMax);
    rulerRow->addStretch(1);
    layout->addLayout(rulerRow);
    layout->addWidget(txtText, 1);

    Status = new QStatusBar(this);
    Status->setObjectName("Status");
    Status->setSizeGripEnabled(true);
    auto makePanel = [this](const QString& key, int minimumWidth) {
        auto* panel = new PlainLabel(this);
        panel->setObjectName("Status_" + key);
        panel->setMinimumWidth(minimumWidth);
        panel->setAlignment(Qt::AlignCenter);
        Status->addPermanentWidget(panel);
        return panel;
    };
    panelModified = makePanel("modified", 80);
    panelRow = makePanel("row", 50);
    panelCol = makePanel("col", 50);
    panelRow->setToolTip("Line of the cursor");
    panelCol->setToolTip("Column of the cursor: the characters before it on its line");
    layout->addWidget(Status);

    QPalette green = lblMax->palette();
    green.setColor(QPalette::Window, QColor(0, 255, 0));
    green.setColor(QPalette::WindowText, Qt::black);
    lblMax->setPalette(green);
    lblMax->setProperty("backColor", QColor(0, 255, 0));

    const QFontMetrics metrics(editorFont());
    resize(metrics.horizontalAdvance(QString(kLineWidth + 16, 'M')) + 40, 520);
}

void frmEdit::Form_Load()
{
    const int mode = m_state.EditMode;
    m_fileName = m_state.EditFile;
    applyMode(mode);
    refreshCaption();

    if (mode == 4) {
        chooseAndLoad();
        return;
    }
    if (!m_fileName.isEmpty())
        loadFile(m_fileName);
}

void frmEdit::runModal()
{
    Form_Load();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    txtText->setFocus();
    if (isVisible())
        EventWait::forSignal(this, &QDialog::finished, -1);
}

void frmEdit::applyMode(int mode)
{
    const QString status = modeStatusText(mode);
    if (!status.isEmpty())
        lblStatus->setText(status + m_state.EditFile);
    for (const QString& key : kKeys)
        m_buttons[key]->setEnabled(keyEnabled(mode, key));
}

void frmEdit::refreshCaption()
{
    setWindowTitle(plainWindowTitle(windowCaption(m_fileName)));
}

void frmEdit::setModified(bool modified)
{
    m_modified = modified;
    panelModified->setText(modified ? "modified" : QString());
}

void frmEdit::reportCaret()
{
    const QTextCursor caret = txtText->textCursor();
    const int column = caret.positionInBlock();
    panelRow->setText(QString::number(caret.blockNumber() + 1));
    panelCol->setText(QString::number(column));
    const QColor colour = columnFits(column) ? QColor(0, 255, 0) : QColor(255, 0, 0);
    QPalette palette = lblMax->palette();
    palette.setColor(QPalette::Window, colour);
    lblMax->setPalette(palette);
    lblMax->setProperty("backColor", colour);
    if (!columnFits(column))
        m_dialogs.beep();
}

bool frmEdit::loadFile(const QString& path)
{
    const FileBytes file = readFileBytes(path);
    if (file.outcome == FileBytes::Outcome::Missing)
        return false;
    if (!file.read()) {
        // Saying nothing here would let the user think the file is empty
        // and save the empty text over it.
        m_dialogs.warn("File " + path + " cannot be read: " + file.problem);
        return false;
    }
    const DecodedText text = decodeFileText(file.bytes);
    const LoadedText loaded = textFromLines(splitLines(text.text));
    if (loaded.tooLarge) {
        m_dialogs.message("File " + path + " too large (>30K)", Dialogs::Icon::Critical);
        return false;
    }
    txtText->setPlainText(editorFormFromFileText(loaded.text));
    m_fileForm = fileFormOf(text);
    setModified(true);
    return true;
}

void frmEdit::chooseAndLoad()
{
    const QString chosen =
        m_dialogs.openFile({"Edit file", kFilter, m_state.folder.path(), QString(), kDefaultSuffix});
    // A refused file leaves the editor on the text and the name it had.
    if (chosen.isEmpty() || !loadFile(chosen))
        return;
    m_fileName = chosen;
    setModified(false);
    refreshCaption();
}

bool frmEdit::save(bool askForName)
{
    QString path = m_fileName;
    if (askForName || needsSaveDialog(m_fileName)) {
        const QString proposed = needsSaveDialog(m_fileName) ? QString() : m_fileName;
        path = m_dialogs.saveFile({"Save File As ...", kFilter, m_state.folder.path(), proposed, kDefaultSuffix});
    }
    bool saved = false;
    if (!path.isEmpty()) {
        QString error;
        const QString text = fileTextFromEditorForm(editorText(*txtText->document()), m_fileForm);
        if (writeTextFileAtomic(path, text, &error, m_fileForm.encoding)) {
            m_fileName = path;
            setModified(false);
            refreshCaption();
            saved = true;
        } else {
            m_dialogs.warn("File '" + path + "' could not be saved: " + error
                           + "\nThe text is still in the editor; save it under another name.");
        }
    }
    // Edited list files take effect at once.
    if (m_refreshLists)
        m_refreshLists();
    return saved;
}

bool frmEdit::askToSave()
{
    if (!m_modified)
        return true;
    lblStatus->setText("File '" + m_fileName + "' was changed! do you want to save it ?");
    const Dialogs::Answer answer =
        m_dialogs.message("File '" + m_fileName + "' was changed\ndo you want to save it ?", Dialogs::Icon::Question,
                          Dialogs::Buttons::YesNo, Dialogs::Answer::Yes);
    if (answer != Dialogs::Answer::Yes)
        return true;
    // The user wants the text kept: when it could not be saved, the
    // command stops and the text stays in the editor.
    return save(false);
}

void frmEdit::appendAtEnd(const QString& text)
{
    QTextCursor end(txtText->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
}

bool frmEdit::exitEditor()
{
    if (!askToSave())
        return false;
    lblStatus->setText(kIdleStatus);
    m_closing = true;
    done(QDialog::Accepted);
    return true;
}

void frmEdit::Toolbar_ButtonClick(const QString& pressed)
{
    const QString key = pressed.toLower();
    if (key == "new") {
        if (!askToSave())
            return;
        m_fileName = kNewDocument;
        m_fileForm = FileForm();
        txtText->clear();
        setModified(false);
        refreshCaption();
    } else if (key == "open") {
        if (askToSave())
            chooseAndLoad();
    } else if (key == "save" || key == "saveas") {
        save(key == "saveas");
    } else if (key == "print") {
        m_dialogs.message(kPrintText, Dialogs::Icon::Information);
    } else if (key == "exit") {
        exitEditor();
    } else if (key == "help") {
        m_dialogs.message("Help");
        if (m_showHelp)
            m_showHelp(this);
    } else if (key == "time") {
        appendAtEnd(timeText(m_state.now()));
        m_dialogs.message("Time");
    } else if (key == "date") {
        appendAtEnd(dateText(m_state.now()));
        m_dialogs.message("Date");
        m_dialogs.beep();
    } else {
        m_dialogs.message("no selection found");
    }
}

void frmEdit::closeEvent(QCloseEvent* event)
{
    if (m_closing || exitEditor())
        event->accept();
    else
        event->ignore();
}

void frmEdit::reject()
{
    exitEditor();
}
