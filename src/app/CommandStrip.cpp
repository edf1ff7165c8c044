#include "app/CommandStrip.h"

#include "core/Widgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace striprows {

namespace {

int rowWidth(const QList<int>& widths, int from, int to, int spacing)
{
    int sum = 0;
    for (int i = from; i < to; ++i)
        sum += widths[i];
    return sum + spacing * std::max(0, to - from - 1);
}

} // namespace

QList<int> rowStarts(const QList<int>& widths, int spacing, int available)
{
    const int count = int(widths.size());
    if (count == 0)
        return {};
    // The fewest rows: fill each row as far as it goes.
    int rows = 1;
    for (int from = 0, i = 1; i < count; ++i) {
        if (rowWidth(widths, from, i + 1, spacing) > available) {
            ++rows;
            from = i;
        }
    }
    // The most even rows: best[r][i] is the narrowest widest row when the
    // first i groups fill r rows; a row wider than the strip is allowed
    // only for a group that alone does not fit.
    constexpr int kNone = std::numeric_limits<int>::max();
    QList<QList<int>> best(rows + 1, QList<int>(count + 1, kNone));
    QList<QList<int>> cut(rows + 1, QList<int>(count + 1, 0));
    best[0][0] = 0;
    for (int r = 1; r <= rows; ++r) {
        for (int i = 1; i <= count; ++i) {
            for (int from = r - 1; from < i; ++from) {
                if (best[r - 1][from] == kNone)
                    continue;
                const int width = rowWidth(widths, from, i, spacing);
                if (width > available && i - from > 1)
                    continue;
                const int widest = std::max(best[r - 1][from], width);
                // Of even choices the later cut wins: earlier rows take more.
                if (widest <= best[r][i]) {
                    best[r][i] = widest;
                    cut[r][i] = from;
                }
            }
        }
    }
    QList<int> starts(rows);
    for (int r = rows, i = count; r > 0; --r) {
        starts[r - 1] = cut[r][i];
        i = cut[r][i];
    }
    return starts;
}

QList<int> filledWidths(const QList<int>& widths, int spacing, int available)
{
    const int natural = rowWidth(widths, 0, int(widths.size()), spacing);
    const int room = std::max(0, available - natural);
    int sum = 0;
    for (int width : widths)
        sum += width;
    QList<int> out;
    int given = 0;
    int covered = 0;
    for (int i = 0; i < widths.size(); ++i) {
        covered += widths[i];
        // Shares rounded on the running total, so they add up exactly.
        const int share = sum > 0 ? int(qint64(room) * covered / sum) - given : 0;
        given += share;
        out << widths[i] + share;
    }
    return out;
}

} // namespace striprows

CommandStrip::CommandStrip(const QStringList& order, QWidget* parent) : QWidget(parent)
{
    setObjectName("commandStrip");
    for (const QString& name : order)
        makeGroup(name);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
}

QGroupBox* CommandStrip::makeGroup(const QString& name)
{
    auto* box = new QGroupBox(name, this);
    box->setObjectName("group" + name);
    // Compact, so that a narrow window keeps room for the desk.
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(5, 1, 5, 3);
    rows->setSpacing(2);
    box->hide();
    m_order << box;
    m_groups.insert(name, box);
    return box;
}

CommandLabel* CommandStrip::addCommand(const QString& group, const QString& name, const QString& caption,
                                       const QString& toolTip)
{
    QGroupBox* box = m_groups.value(group);
    if (!box)
        box = makeGroup(group);
    auto* command = new CommandLabel(name, caption, toolTip, box, CommandLabel::Look::Key);
    command->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_commands[group] << command;
    layOutGroup(group);
    box->show();
    updateGeometry();
    return command;
}

// The group's commands in rows of as even a length as the rows allow (the
// longer rows first), each row filled across the group.
void CommandStrip::layOutGroup(const QString& name)
{
    QGroupBox* box = m_groups.value(name);
    auto* rows = static_cast<QVBoxLayout*>(box->layout());
    while (QLayoutItem* item = rows->takeAt(0)) {
        if (QLayout* row = item->layout()) {
            while (QLayoutItem* inner = row->takeAt(0))
                delete inner;
        }
        delete item;
    }
    const QList<CommandLabel*>& commands = m_commands.value(name);
    const int count = int(commands.size());
    const int rowCount = std::min(kCommandRows, count);
    for (int r = 0, next = 0; r < rowCount; ++r) {
        const int left = rowCount - r;
        const int inRow = (count - next + left - 1) / left;
        auto* row = new QHBoxLayout;
        row->setSpacing(3);
        for (int k = 0; k < inRow; ++k)
            row->addWidget(commands[next++], 1);
        rows->addLayout(row, 1);
    }
}

QList<QGroupBox*> CommandStrip::shownGroups() const
{
    QList<QGroupBox*> shown;
    for (QGroupBox* box : m_order) {
        if (!box->isHidden())
            shown << box;
    }
    return shown;
}

QList<CommandStrip::Row> CommandStrip::rowsFor(int width) const
{
    const QList<QGroupBox*> groups = shownGroups();
    QList<int> widths;
    for (QGroupBox* box : groups)
        widths << box->sizeHint().width();
    const QList<int> starts = striprows::rowStarts(widths, kSpacing, width);
    QList<Row> rows;
    for (int r = 0; r < starts.size(); ++r) {
        const int end = r + 1 < starts.size() ? starts[r + 1] : int(groups.size());
        Row row;
        row.groups = groups.mid(starts[r], end - starts[r]);
        row.widths = striprows::filledWidths(widths.mid(starts[r], end - starts[r]), kSpacing, width);
        for (QGroupBox* box : std::as_const(row.groups))
            row.height = std::max(row.height, box->sizeHint().height());
        rows << row;
    }
    return rows;
}

int CommandStrip::heightForWidth(int width) const
{
    const QList<Row> rows = rowsFor(width);
    int height = 0;
    for (const Row& row : rows)
        height += row.height;
    return height + kSpacing * std::max<int>(0, int(rows.size()) - 1);
}

QSize CommandStrip::sizeHint() const
{
    // The strip is as wide as the window lets it be; it asks for nothing
    // wider than its widest group.
    int widest = 0;
    for (QGroupBox* box : shownGroups())
        widest = std::max(widest, box->sizeHint().width());
    const int width = std::max(widest, this->width());
    return QSize(widest, heightForWidth(width));
}

QSize CommandStrip::minimumSizeHint() const
{
    return sizeHint();
}

void CommandStrip::arrange()
{
    int top = 0;
    for (const Row& row : rowsFor(width())) {
        int left = 0;
        for (int i = 0; i < row.groups.size(); ++i) {
            QGroupBox* box = row.groups[i];
            box->setGeometry(left, top, row.widths[i], row.height);
            // A window not shown yet gets no resize events: its groups lay
            // out their commands now.
            if (!box->isVisible())
                box->layout()->activate();
            left += row.widths[i] + kSpacing;
        }
        top += row.height + kSpacing;
    }
    const int height = heightForWidth(width());
    if (minimumHeight() != height)
        setMinimumHeight(height);
}

void CommandStrip::fitTo(int width)
{
    resize(width, heightForWidth(width));
    arrange();
}

void CommandStrip::focusFirstCommand()
{
    for (QGroupBox* box : shownGroups()) {
        for (CommandLabel* command : m_commands.value(box->title())) {
            if (command->isEnabled() && command->isVisible()) {
                command->setFocus(Qt::ShortcutFocusReason);
                return;
            }
        }
    }
}

void CommandStrip::keyPressEvent(QKeyEvent* event)
{
    // A command passes on the keys it does not use.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit leaveRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CommandStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange();
}
