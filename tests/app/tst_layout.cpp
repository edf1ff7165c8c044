// Every window and every panel of the main window, walked widget by widget:
// a text that does not fit its widget (a caption, a field's text, a list
// column's heading or widest cell), a widget that leaves its parent and
// widgets of one layout that overlap are faults. CTest runs this program at
// 100 % and again at 200 % (QT_SCALE_FACTOR=2).
#include "directory/DirectoryFixtures.h"
#include "support/TerminalRig.h"
#include "support/TestMain.h"

#include "archive/ArchiveStore.h"
#include "archive/ArchiveWindow.h"
#include "core/VbText.h"
#include "directory/frmUpdate.h"
#include "editor/frmEdit.h"
#include "editor/frmHelp.h"
#include "link/frmProperties.h"
#include "lists/frmCirculair.h"
#include "lists/frmHeader.h"
#include "lists/frmPresets.h"
#include "puncher/PunchTape.h"
#include "puncher/PuncherPart.h"

#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionHeader>
#include <QTreeView>

namespace {

QString path(const QWidget* widget)
{
    QStringList names;
    for (; widget; widget = widget->parentWidget())
        names.prepend(widget->objectName().isEmpty() ? widget->metaObject()->className() : widget->objectName());
    return names.join('/');
}

QString fault(const QWidget* widget, const QString& what, const QSize& needed, const QSize& has)
{
    const auto text = [](const QSize& size) { return QStringLiteral("%1x%2").arg(size.width()).arg(size.height()); };
    return QStringLiteral("%1: %2 needs %3, has %4").arg(path(widget), what, text(needed), text(has));
}

// A caption: a label as large as Qt says it needs (its margins, frame and
// padding) for its text without the blanks that pad a stored value, and a
// wrapped one as high as its lines; a button's text within the part of the
// button that holds it.
void checkCaption(const QWidget* widget, QStringList& faults)
{
    const QFontMetrics metrics = widget->fontMetrics();
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && label->pixmap().isNull()) {
        const QString text = label->text(), shown = withoutTrailingBlanks(text);
        const auto size = [&](const QString& t) { return metrics.boundingRect(0, 0, 2000, 2000, 0, t).size(); };
        const QSize needed = label->wordWrap() ? QSize(0, label->heightForWidth(label->width()))
                                               : label->minimumSizeHint() - size(text) + size(shown);
        if (!shown.isEmpty() && (needed.width() > label->width() || needed.height() > label->height()))
            faults << fault(label, '"' + shown.left(40) + '"', needed, label->size());
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget); button && !button->text().isEmpty()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle::SubElement part = qobject_cast<const QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                        : qobject_cast<const QCheckBox*>(button) ? QStyle::SE_CheckBoxContents
                                                                                 : QStyle::SE_PushButtonContents;
        const QSize room = button->style()->subElementRect(part, &option, button).size();
        const QSize needed = metrics.size(Qt::TextShowMnemonic, button->text());
        if (needed.width() > room.width() || needed.height() > room.height())
            faults << fault(button, '"' + button->text() + '"', needed, room);
    }
}

// A field shows its text from the start: the text up to its last character
// that is not a pad blank, or up to the caret, which the field keeps in view.
void checkField(const QLineEdit* field, QStringList& faults)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    constexpr int kTextMargin = 2; // a line edit keeps this beside its text
    const QRect room = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field)
                           .marginsRemoved(field->textMargins())
                           .adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QString shown = field->text().left(
        std::max<qsizetype>(withoutTrailingBlanks(field->text()).size(), field->cursorPosition()));
    const QSize needed(field->fontMetrics().horizontalAdvance(shown), field->fontMetrics().height());
    if (field->echoMode() == QLineEdit::Normal && (needed.width() > room.width() || needed.height() > room.height()))
        faults << fault(field, '"' + shown + '"', needed, room.size());
}

// Each column as wide as its heading and its widest cell (pad blanks left
// out), with the room a list keeps round a text and a check box.
void checkColumns(const QTreeView* view, QStringList& faults)
{
    const QAbstractItemModel* model = view->model();
    const QStyle* style = view->style();
    const int textRoom = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    const int checkRoom = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, view) + textRoom;
    for (int column = 0; column < model->columnCount(); ++column) {
        QStyleOptionHeader heading;
        heading.initFrom(view->header());
        heading.text = model->headerData(column, Qt::Horizontal).toString();
        int widest = style->sizeFromContents(QStyle::CT_HeaderSection, &heading, QSize(), view->header()).width();
        QString widestText = heading.text;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, column);
            const QString text = withoutTrailingBlanks(index.data().toString());
            const int width = view->fontMetrics().horizontalAdvance(text) + textRoom
                              + (index.data(Qt::CheckStateRole).isValid() ? checkRoom : 0);
            if (width > widest)
                std::tie(widest, widestText) = std::pair(width, text);
        }
        if (!view->isColumnHidden(column) && view->columnWidth(column) < widest)
            faults << fault(view, QStringLiteral("column %1 for \"%2\"").arg(column).arg(widestText), QSize(widest, 0),
                            QSize(view->columnWidth(column), 0));
    }
}

// Within its parent (a scroll area's contents scroll instead), and apart
// from the other children of a parent that lays them out.
void checkPlace(const QWidget* widget, QStringList& faults)
{
    const QWidget* parent = widget->parentWidget();
    const auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
    if (!(area && area->viewport() == parent) && !parent->rect().contains(widget->geometry()))
        faults << QStringLiteral("%1 at %2,%3 leaves its parent").arg(path(widget)).arg(widget->x()).arg(widget->y());
    for (const QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (parent->layout() && widget < other && other->isVisible() && !other->isWindow()
            && other->geometry().intersects(widget->geometry()))
            faults << path(widget) + " overlaps " + path(other);
    }
}

QStringList layoutFaults(const QWidget* window)
{
    QStringList faults;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->isWindow())
            continue;
        checkPlace(widget, faults);
        checkCaption(widget, faults);
        if (const auto* field = qobject_cast<const QLineEdit*>(widget))
            checkField(field, faults);
        if (const auto* view = qobject_cast<const QTreeView*>(widget))
            checkColumns(view, faults);
    }
    return faults;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QStringList m_faults;
    QSet<QString> m_seen;

    // Collects the faults of a window; one seen before (a panel that stays
    // open while others come and go) is told once.
    void check(const QWidget* window, const QString& what)
    {
        QTest::qWait(10); // the layouts that a shown or hidden widget asked for
        for (const QString& found : layoutFaults(window)) {
            if (!m_seen.contains(found))
                m_faults << what + ": " + found;
            m_seen.insert(found);
        }
    }
    // A window as it opens and at the smallest size it lets the user give it.
    void checkWindow(QWidget* window, const QString& what)
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        check(window, what);
        window->resize(window->minimumSize());
        check(window, what + " at its smallest");
    }
    void report()
    {
        const QStringList faults = std::exchange(m_faults, {});
        for (const QString& found : faults)
            qInfo().noquote() << found;
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults").arg(faults.size())));
    }

    // Subscribers of six-digit numbers and names up to the longest a
    // directory has, some favourites and receivers among them.
    void writeSubscribers(int favourites)
    {
        QVector<PhonebookRecord> records;
        const QStringList names = {"Quillnet Directory Service Amsterdam", "Meier",
                                   "Hafenverwaltung und Lotsenstation Emden"};
        for (int i = 0; i < 40; ++i)
            records << record(i + 1, QString::number(158578 + 1111 * i), names[i % 3], i < favourites, i % 3 == 0);
        writeDirectory(env, records);
    }

private slots:
    void init() { env.reset(); }

    // The window as it opens, at its smallest and at the sizes of common
    // screens, in both skins, with each of its panels; the terminal's 68
    // columns readable; colours that end at their frames.
    void theMainWindowAndItsPanels()
    {
        writeSubscribers(0);
        TerminalRig rig(env);
        frmTerminal& window = rig.t();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget* strip = rig.control("commandStrip");
        TerminalText& text = rig.text();

        // Painted to their frames: the character counter's colour fills its
        // sunken field and nothing beyond; the steampunk screen in dark
        // colours shows no light line round the text.
        QLabel* counter = rig.status().lblMaxChar;
        rig.status().resetColumn();
        const QImage field = counter->grab().toImage();
        const int frame = counter->frameWidth();
        const QRect inside = counter->frameRect().marginsRemoved(QMargins(frame, frame, frame, frame));
        for (int y = 0; y < field.height(); ++y) {
            for (int x = 0; x < field.width(); ++x) {
                // Within the frame only the fill and the dark digits blended into it.
                const QColor c = field.pixelColor(x, y);
                const QPoint at(int(x / field.devicePixelRatio()), int(y / field.devicePixelRatio()));
                QVERIFY2(inside.contains(at) ? c.red() < 60 && c.blue() < 60 : !(c.green() > 200 && c.red() < 60),
                         qPrintable(QStringLiteral("%1 at %2,%3").arg(c.name()).arg(x).arg(y)));
            }
        }
        rig.click("lblSteam");
        rig.click("lbGnBk");
        const QImage screen = text.grab().toImage();
        for (int i = 0; i < 40; ++i) {
            for (const QPoint edge : {QPoint(i, 0), QPoint(0, i), QPoint(screen.width() - 1 - i, screen.height() - 1),
                                      QPoint(screen.width() - 1, screen.height() - 1 - i)})
                QCOMPARE(screen.pixelColor(edge), QColor(Qt::black));
        }
        rig.click("lblBkWt");
        const char* const panels[][3] = {{"lblPhonebookShow", "favourites", "lblExitNumbers"},
                                         {"lblLocalNumbersShow", "local numbers", "lblExitLocalTeleprinters"},
                                         {"lblEditLocal", "local numbers editor", "lblExitLocalNumbers"},
                                         {"lblHeadlineEditor", "headline editor", nullptr},
                                         {"lblView", "headline preview", "lblExitHeadlineEditor"}};
        for (const QSize size : {window.size(), QSize(900, 600), QSize(1366, 768), QSize(1920, 1080)}) {
            const QString at = QStringLiteral("%1x%2 ").arg(size.width()).arg(size.height());
            window.resize(size);
            // Settled: the strip as high as its rows need, below the desk, in the window.
            QTRY_VERIFY(strip->height() == strip->minimumHeight() && window.rect().contains(strip->geometry())
                        && strip->y() > rig.control("desk")->geometry().bottom());
            QCOMPARE(window.size(), size);
            QVERIFY(text.document()->defaultFont().pointSizeF() >= TerminalText::kSmallestPoints);
            QVERIFY2(68 * rig.status().Line1->columnWidth() + 2 * text.document()->documentMargin()
                         <= text.viewport()->width(),
                     qPrintable(at));
            rig.click("lblSteam");
            check(&window, at + "steampunk");
            rig.click("lblStandard");
            check(&window, at + "standard");
            for (const auto& [open, name, close] : panels) {
                rig.click(open);
                check(&window, at + name);
                if (close)
                    rig.click(close);
            }
            writeSubscribers(12); // the favourites panel without favourites first, then with them
            rig.click("lblRefresh");

            rig.state.ConnectionActive = true;
            rig.part<PuncherPart>().lblPuncher_Click();
            check(&window, at + "puncher");
            // The tape's lowest row of holes is in view.
            auto* tape = rig.control<PunchTape>("picPunch");
            if (tape->viewportPixel(tape->leftInView(), tape::kTapeHeight - 1).y() >= tape->viewport()->height())
                m_faults << at + "puncher: the tape's lowest row is out of view";
            rig.part<PuncherPart>().cmdEndPunch_Click();
            rig.state.ConnectionActive = false;

            QGuiApplication::clipboard()->setText("zczc 0417 quillnet news service\nnnnn");
            rig.click("lblPaste");
            check(&window, at + "paste preview");
            QTest::mouseClick(rig.control<QPushButton>("cmdExitPreview"), Qt::LeftButton);
        }
        report();
    }

    void theWindows()
    {
        writeSubscribers(12);
        AppState state = env.makeState();
        ScriptedDialogs dialogs;
        SettingsStore settings;
        {
            frmPresets favourites(state, dialogs, {}, [] { return true; }, {});
            favourites.lvwStat_ItemClick(1);
            checkWindow(&favourites, "favourites window");
            frmCirculair receivers(state, dialogs);
            receivers.lvwStat_ItemClick(3);
            checkWindow(&receivers, "receiver window");
            frmHeader header(state, dialogs, {});
            checkWindow(&header, "header window");
        }
        {
            DirServerProcess server({"--generate", "40"});
            state.DirectoryServer = "127.0.0.1";
            frmUpdate update(state, dialogs, DirectoryOptions{server.port(), {3000, 500}, 0});
            checkWindow(&update, "update window");
            update.lblRetrieve_Click();
            checkWindow(&update, "update window after a download");
        }
        {
            state.EditFile = state.folder.file("\\Message.txt");
            state.EditMode = 1;
            frmEdit editor(state, dialogs, {}, {});
            editor.Form_Load();
            checkWindow(&editor, "editor");
            frmHelp help(state.folder, settings);
            checkWindow(&help, "help window");
            SerialLink link(settings);
            frmProperties properties(link, settings, dialogs);
            checkWindow(&properties, "port settings window");
            QWidget owner;
            frmCancelSend cancel(state, &owner);
            cancel.showForTransmission();
            checkWindow(&cancel, "cancel window");
            ArchiveWindow archive(ArchiveStore(state.folder.file("\\archive")), &owner);
            checkWindow(&archive, "archive window");
        }
        report();
    }
};

VORNAK_TEST_MAIN(LayoutTest)

#include "tst_layout.moc"
