// Every window of the program and every panel of the main window, walked
// widget by widget: a text that does not fit its widget (a label's or a
// button's caption, a group's title, a column heading, the widest cell of a
// list column) or a widget that leaves its parent is a fault. CTest runs
// this program at 100 % and again with QT_SCALE_FACTOR=2.
#include "directory/DirectoryFixtures.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "app/CommandStrip.h"
#include "core/Desk.h"
#include "core/VbText.h"
#include "directory/frmUpdate.h"
#include "editor/frmEdit.h"
#include "editor/frmHelp.h"
#include "link/frmProperties.h"
#include "lists/frmCirculair.h"
#include "lists/frmHeader.h"
#include "lists/frmPresets.h"
#include "prepared/HeadlineEditor.h"
#include "puncher/PuncherPart.h"
#include "puncher/PunchTape.h"
#include "text/ClipboardPaste.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTextDocument>
#include <QTreeView>

namespace {

QString path(const QWidget* widget)
{
    QStringList names;
    for (const QWidget* w = widget; w; w = w->parentWidget())
        names.prepend(w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName());
    return names.join('/');
}

QString sizeText(const QSize& size) { return QStringLiteral("%1x%2").arg(size.width()).arg(size.height()); }

// The room a text takes in a font: as one line, or broken into lines of at
// most `width` pixels.
QSize textSize(const QFont& font, const QString& text, bool plain, int width = -1, int flags = 0)
{
    if (!plain) {
        QTextDocument document;
        document.setDefaultFont(font);
        document.setDocumentMargin(0);
        document.setHtml(text);
        document.setTextWidth(width);
        return QSizeF(width < 0 ? document.idealWidth() : document.size().width(), document.size().height())
            .toSize();
    }
    const QFontMetrics metrics(font);
    flags |= width < 0 ? 0 : Qt::TextWordWrap;
    return metrics.boundingRect(QRect(0, 0, width < 0 ? 100000 : width, 100000), flags, text).size();
}

void checkLabel(const QLabel* label, QStringList& faults)
{
    const QString text = withoutTrailingBlanks(label->text());
    if (text.isEmpty() || !label->pixmap().isNull())
        return;
    const bool plain = label->textFormat() == Qt::PlainText
                       || (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(text));
    // Where the label draws its text: within its margin, and a framed label
    // indents it from the edge it is aligned to.
    const int margin = label->margin();
    QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin;
    if (indent > 0) {
        const Qt::Alignment align = label->alignment();
        room.adjust(align & Qt::AlignLeft ? indent : 0, align & Qt::AlignTop ? indent : 0,
                    align & Qt::AlignRight ? -indent : 0, align & Qt::AlignBottom ? -indent : 0);
    }
    const QSize needed = textSize(label->font(), text, plain, label->wordWrap() ? room.width() : -1);
    if (needed.width() > room.width() || needed.height() > room.height())
        faults << QStringLiteral("%1: \"%2\" needs %3, has %4")
                      .arg(path(label), text.left(40), sizeText(needed), sizeText(room.size()));
}

void checkButton(const QAbstractButton* button, QStringList& faults)
{
    if (button->text().isEmpty())
        return;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QRadioButton*>(button))
        contents = QStyle::SE_RadioButtonContents;
    else if (qobject_cast<const QCheckBox*>(button))
        contents = QStyle::SE_CheckBoxContents;
    const QRect room = button->style()->subElementRect(contents, &option, button);
    const QSize needed = textSize(button->font(), button->text(), true, -1, Qt::TextShowMnemonic);
    if (needed.width() > room.width() || needed.height() > room.height())
        faults << QStringLiteral("%1: \"%2\" needs %3, has %4")
                      .arg(path(button), button->text(), sizeText(needed), sizeText(room.size()));
}

// A field shows its text from the start: the text, less the blanks that pad
// a stored value, within the field's text area, and a list its chosen entry.
void checkField(const QWidget* field, const QString& shown, const QRect& room, QStringList& faults)
{
    const QString text = withoutTrailingBlanks(shown);
    const int needed = field->fontMetrics().horizontalAdvance(text);
    if (!text.isEmpty() && needed > room.width())
        faults << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(path(field), text).arg(needed).arg(room.width());
}

void checkLineEdit(const QLineEdit* edit, QStringList& faults)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    constexpr int kFieldMargin = 2; // a line edit keeps this on either side of its text
    const QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                           .marginsRemoved(edit->textMargins())
                           .adjusted(kFieldMargin, 0, -kFieldMargin, 0);
    if (edit->echoMode() != QLineEdit::Normal)
        return;
    checkField(edit, edit->text(), room, faults);
    // A field scrolled to a caret at the end of blanks shows the text's end.
    const int beforeCaret = edit->fontMetrics().horizontalAdvance(edit->text().left(edit->cursorPosition()));
    if (beforeCaret > room.width())
        faults << QStringLiteral("%1: \"%2\" is scrolled, its start hidden").arg(path(edit), edit->text());
}

void checkComboBox(const QComboBox* box, QStringList& faults)
{
    if (box->isEditable())
        return; // its line edit is checked
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.currentText = box->currentText();
    checkField(box, box->currentText(),
               box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box), faults);
}

void checkGroupTitle(const QGroupBox* group, QStringList& faults)
{
    if (group->title().isEmpty())
        return;
    // What the title alone asks for: a group of that title without contents.
    QGroupBox probe(group->title());
    probe.setFont(group->font());
    probe.setFlat(group->isFlat());
    if (group->width() < probe.minimumSizeHint().width())
        faults << QStringLiteral("%1: title \"%2\" needs %3 px, has %4")
                      .arg(path(group), group->title())
                      .arg(probe.minimumSizeHint().width())
                      .arg(group->width());
}

void checkHeader(const QHeaderView* header, QStringList& faults)
{
    const QAbstractItemModel* model = header->model();
    if (!model || header->orientation() != Qt::Horizontal)
        return;
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section))
            continue;
        QStyleOptionHeader option;
        option.initFrom(header);
        option.section = section;
        option.text = model->headerData(section, Qt::Horizontal).toString();
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == section)
            option.sortIndicator = QStyleOptionHeader::SortDown;
        const int needed = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
        if (header->sectionSize(section) < needed)
            faults << QStringLiteral("%1: heading \"%2\" needs %3 px, has %4")
                          .arg(path(header), option.text)
                          .arg(needed)
                          .arg(header->sectionSize(section));
    }
}

// Each column as wide as its widest cell (the blanks that pad a stored text
// left out), with the room the view keeps around a text and a check box.
void checkColumns(const QTreeView* view, QStringList& faults)
{
    const QAbstractItemModel* model = view->model();
    if (!model)
        return;
    const QStyle* style = view->style();
    const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int checkBox = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, view) + 2 * textMargin;
    const QFontMetrics metrics(view->font());
    for (int column = 0; column < model->columnCount(); ++column) {
        if (view->isColumnHidden(column))
            continue;
        int widest = 0;
        QString widestText;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, column);
            const QString text = withoutTrailingBlanks(index.data().toString());
            int width = metrics.horizontalAdvance(text) + 2 * textMargin;
            if (index.data(Qt::CheckStateRole).isValid())
                width += checkBox;
            if (width > widest) {
                widest = width;
                widestText = text;
            }
        }
        if (view->columnWidth(column) < widest)
            faults << QStringLiteral("%1: column %2 needs %3 px for \"%4\", has %5")
                          .arg(path(view))
                          .arg(column)
                          .arg(widest)
                          .arg(widestText)
                          .arg(view->columnWidth(column));
    }
}

// A child of a scroll area's viewport is scrolled, not clipped.
bool isScrolled(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    const auto* area = parent ? qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) : nullptr;
    return area && area->viewport() == parent;
}

// The shown widgets a layout (and the layouts in it) arranges.
void laidOutWidgets(const QLayout* layout, QList<const QWidget*>& widgets)
{
    for (int i = 0; layout && i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() && item->widget()->isVisible())
            widgets << item->widget();
        laidOutWidgets(item->layout(), widgets);
    }
}

// Widgets a layout arranges never overlap.
void checkOverlaps(const QWidget* parent, QStringList& faults)
{
    QList<const QWidget*> widgets;
    laidOutWidgets(parent->layout(), widgets);
    for (int i = 0; i < widgets.size(); ++i) {
        for (int k = i + 1; k < widgets.size(); ++k) {
            if (widgets[i]->geometry().intersects(widgets[k]->geometry()))
                faults << QStringLiteral("%1 overlaps %2").arg(path(widgets[i]), path(widgets[k]))
                       + QStringLiteral(" %1,%2 %3").arg(widgets[k]->x()).arg(widgets[k]->y()).arg(sizeText(widgets[k]->size()))
                       + QStringLiteral(" %1,%2 %3").arg(widgets[i]->x()).arg(widgets[i]->y()).arg(sizeText(widgets[i]->size()));
        }
    }
}

// The faults of every shown widget of `window`, and of the window itself.
QStringList layoutFaults(const QWidget* window)
{
    QStringList faults;
    QList<const QWidget*> widgets{window};
    for (const QWidget* child : window->findChildren<QWidget*>())
        widgets << child;
    for (const QWidget* widget : std::as_const(widgets)) {
        if (!widget->isVisible() || (widget != window && widget->isWindow()))
            continue;
        if (widget != window && !isScrolled(widget) && !widget->parentWidget()->rect().contains(widget->geometry()))
            faults << QStringLiteral("%1 at %2,%3 %4 leaves its parent of %5")
                          .arg(path(widget))
                          .arg(widget->x())
                          .arg(widget->y())
                          .arg(sizeText(widget->size()), sizeText(widget->parentWidget()->size()));
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            checkLabel(label, faults);
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            checkButton(button, faults);
        else if (const auto* header = qobject_cast<const QHeaderView*>(widget))
            checkHeader(header, faults);
        else if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
            checkLineEdit(edit, faults);
        else if (const auto* box = qobject_cast<const QComboBox*>(widget))
            checkComboBox(box, faults);
        if (const auto* group = qobject_cast<const QGroupBox*>(widget))
            checkGroupTitle(group, faults);
        if (const auto* tree = qobject_cast<const QTreeView*>(widget))
            checkColumns(tree, faults);
        checkOverlaps(widget, faults);
    }
    return faults;
}

// Shows a window and lets its layout settle.
void settle(QWidget* window)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::qWait(20);
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QStringList m_faults;
    QSet<QString> m_seen;

    // Collects the faults of a window; one seen before (a panel that stays
    // open while others come and go) is told once.
    // A window as it opens and at the smallest size it lets the user give it.
    void checkWindow(QWidget* window, const QString& what)
    {
        check(window, what);
        window->resize(window->minimumSize());
        QTest::qWait(20);
        check(window, what + " at its smallest");
    }

    void check(const QWidget* window, const QString& what)
    {
        for (const QString& fault : layoutFaults(window)) {
            if (!m_seen.contains(fault))
                m_faults << what + ": " + fault;
            m_seen.insert(fault);
        }
    }
    void report()
    {
        const QStringList faults = std::exchange(m_faults, {});
        for (const QString& fault : faults)
            qInfo().noquote() << fault;
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults").arg(faults.size())));
    }

    // Subscribers of six-digit numbers and names of every length a
    // directory has, some favourites and receivers among them.
    void writeSubscribers(int favourites)
    {
        QVector<PhonebookRecord> records;
        const QStringList names = {"Quillnet Directory Service Amsterdam", "Meier", "Wasserwirtschaftsamt Ingolstadt",
                                   "Hafenverwaltung und Lotsenstation Emden", "Local test"};
        for (int i = 0; i < 40; ++i)
            records << record(i + 1, QString::number(158578 + 1111 * i), names[i % names.size()],
                              i < favourites ? 1 : 0, i % 3 == 0 ? 1 : 0);
        writeDirectory(env, records);
    }

private slots:
    void init() { env.reset(); }

    // The window at the sizes of common screens and at the smallest it
    // takes: the desk and its panels in both skins, the terminal's 68
    // columns readable.
    void theMainWindowAndItsPanels()
    {
        writeSubscribers(0);
        TerminalRig rig(env);
        frmTerminal& window = rig.t();
        settle(&window);
        TerminalText& text = rig.text();
        bool favourites = false;
        for (const QSize size : {QSize(900, 600), QSize(1212, 720), QSize(1366, 768), QSize(1920, 1080)}) {
            const QString at = sizeText(size) + " ";
            window.resize(size);
            QWidget* strip = rig.control("commandStrip");
            // Settled: the strip as high as its rows need, below the desk, within the window.
            QTRY_VERIFY(strip->height() == strip->minimumHeight() && strip->y() > rig.control("desk")->geometry().bottom()
                        && window.rect().contains(strip->geometry()));
            QCOMPARE(window.size(), size);
            const QFont shown = text.document()->defaultFont();
            QVERIFY2(shown.pointSizeF() >= TerminalText::kSmallestPoints, qPrintable(at));
            QVERIFY2(68 * rig.status().Line1->columnWidth() + 2 * text.document()->documentMargin()
                         <= text.viewport()->width(),
                     qPrintable(at + QString::number(text.viewport()->width())));
            check(&window, at + "standard skin");
            rig.click("lblSteam");
            check(&window, at + "steampunk skin");
            rig.click("lblStandard");

            rig.click("lblPhonebookShow");
            check(&window, at + (favourites ? "favourites panel" : "favourites panel without favourites"));
            if (!std::exchange(favourites, true)) {
                writeSubscribers(12);
                rig.click("lblRefresh");
                check(&window, at + "favourites panel");
            }
            rig.click("lblExitNumbers");

            rig.click("lblLocalNumbersShow");
            check(&window, at + "local numbers");
            rig.click("lblExitLocalTeleprinters");
            rig.click("lblEditLocal");
            check(&window, at + "local numbers editor");
            rig.click("lblExitLocalNumbers");

            rig.click("lblHeadlineEditor");
            check(&window, at + "headline editor");
            rig.click("lblView");
            check(&window, at + "headline preview");
            rig.click("lblExitHeadlineEditor");

            rig.state.ConnectionActive = true;
            rig.part<PuncherPart>().lblPuncher_Click();
            check(&window, at + "puncher");
            // The tape's lowest row of holes is in view.
            auto* tape = rig.control<PunchTape>("picPunch");
            QVERIFY2(tape->viewportPixel(tape->leftInView(), tape::kTapeHeight - 1).y() < tape->viewport()->height(),
                     qPrintable(at + QString::number(tape->viewport()->height())));
            rig.part<PuncherPart>().cmdEndPunch_Click();
            rig.state.ConnectionActive = false;

            QGuiApplication::clipboard()->setText("zczc 0417 quillnet news service\nnnnn");
            rig.click("lblPaste");
            check(&window, at + "paste preview");
            QTest::mouseClick(rig.control<QPushButton>("cmdExitPreview"), Qt::LeftButton);
        }
        report();
    }

    // Painted to their frames: the character counter's colour fills its
    // sunken field and nothing beyond; the steampunk screen in dark colours
    // shows no light line round the text.
    void fillsEndAtTheirFrames()
    {
        TerminalRig rig(env, false);
        settle(&rig.t());
        QLabel* counter = rig.status().lblMaxChar;
        rig.status().resetColumn();
        const QImage field = counter->grab().toImage();
        const double ratio = field.devicePixelRatio();
        const int frame = counter->frameWidth();
        const QRect inside = counter->frameRect().marginsRemoved(QMargins(frame, frame, frame, frame));
        for (int y = 0; y < field.height(); ++y) {
            for (int x = 0; x < field.width(); ++x) {
                const QColor c = field.pixelColor(x, y);
                const bool fill = c.green() > 200 && c.red() < 60 && c.blue() < 60;
                // Within the frame only the fill and the dark digits blended into it.
                const bool within = inside.contains(QPoint(int(x / ratio), int(y / ratio)));
                QVERIFY2(within ? c.red() < 60 && c.blue() < 60 : !fill,
                         qPrintable(QStringLiteral("%1 at %2,%3").arg(c.name()).arg(x).arg(y)));
            }
        }

        rig.click("lblSteam");
        rig.click("lbGnBk");
        TerminalText& text = rig.text();
        const QImage screen = text.grab().toImage();
        for (const QPoint& corner : {QPoint(0, 0), QPoint(screen.width() - 1, screen.height() - 1)}) {
            for (int i = 0; i < 40; ++i) {
                for (const QPoint& edge : {corner + QPoint(corner.x() ? -i : i, 0), corner + QPoint(0, corner.y() ? -i : i)})
                    QCOMPARE(screen.pixelColor(edge), text.palette().color(QPalette::Base));
            }
        }
    }

    void theWindows()
    {
        writeSubscribers(12);
        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        {
            frmPresets favourites(state, dialogs, [](const QString&, const QString&) {}, [] { return true; }, {});
            settle(&favourites);
            favourites.lvwStat_ItemClick(1);
            checkWindow(&favourites, "favourites window");
        }
        {
            frmCirculair receivers(state, dialogs);
            settle(&receivers);
            receivers.lvwStat_ItemClick(3);
            checkWindow(&receivers, "receiver window");
        }
        {
            frmHeader header(state, dialogs, [](const QString&, int) {});
            settle(&header);
            checkWindow(&header, "header window");
        }
        {
            DirServerProcess server({"--generate", "40"});
            state.DirectoryServer = "127.0.0.1";
            frmUpdate update(state, dialogs, DirectoryOptions{server.port(), {3000, 500}, 0});
            settle(&update);
            checkWindow(&update, "update window");
            update.lblRetrieve_Click();
            checkWindow(&update, "update window after a download");
        }
        {
            state.EditFile = state.folder.file("\\Message.txt");
            state.EditMode = 1;
            frmEdit editor(state, dialogs, {}, [](QWidget*) {});
            editor.Form_Load();
            settle(&editor);
            checkWindow(&editor, "editor");
        }
        {
            frmHelp help(state.folder, settings);
            settle(&help);
            checkWindow(&help, "help window");
        }
        {
            SerialLink link(settings);
            frmProperties properties(link, settings, dialogs);
            settle(&properties);
            checkWindow(&properties, "port settings window");
        }
        {
            QWidget owner;
            frmCancelSend cancel(state, &owner);
            cancel.showForTransmission();
            QVERIFY(QTest::qWaitForWindowExposed(&cancel));
            checkWindow(&cancel, "cancel window");
        }
        report();
    }
};

VORNAK_TEST_MAIN(LayoutTest)

#include "tst_layout.moc"
