#pragma once

#include <QHash>
#include <QList>
#include <QStringList>
#include <QWidget>

class CommandLabel;
class QGroupBox;

// Where the groups of the command strip break into rows: the groups, each
// of its natural width, stand in their order on as few rows of `available`
// pixels as they need (`spacing` between neighbours), and the breaks are
// chosen so that the rows come out as even as they can, the widest row as
// narrow as possible. Returns the index of the first group of each row. A
// group wider than the strip stands on a row of its own.
namespace striprows {

QList<int> rowStarts(const QList<int>& widths, int spacing, int available);

// The widths of one row's groups stretched to fill `available`: the room
// left over is shared in proportion to their natural widths.
QList<int> filledWidths(const QList<int>& widths, int spacing, int available);

} // namespace striprows

// The command strip of the main window: one group box per kind of command,
// standing in a fixed order. Each group holds its commands in at most
// kCommandRows rows; the groups flow over as many rows of the strip as its
// width needs and every row is filled edge to edge, so the strip has no
// holes at any width. Its height follows its width: it keeps its minimum
// height at what its width needs, so the window never squeezes it.
class CommandStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCommandRows = 2;
    static constexpr int kSpacing = 4;

    // `order`: the groups that stand first, in this order; others follow in
    // the order of their first command.
    CommandStrip(const QStringList& order, QWidget* parent = nullptr);

    // A new command at the end of a group (the group shows from its first
    // command on).
    CommandLabel* addCommand(const QString& group, const QString& name, const QString& caption,
                             const QString& toolTip);
    QGroupBox* group(const QString& name) const { return m_groups.value(name); }

    // Takes `width` and the height the groups need at it, and arranges them
    // (before the window shows, when no resize has come yet).
    void fitTo(int width);

    // Gives the keyboard to the first command that can be used; from there
    // Tab goes on through the commands.
    void focusFirstCommand();

    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Escape was pressed on a command: the keyboard goes back.
    void leaveRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Row {
        QList<QGroupBox*> groups;
        QList<int> widths;
        int height = 0;
    };
    QGroupBox* makeGroup(const QString& name);
    void layOutGroup(const QString& name);
    QList<QGroupBox*> shownGroups() const;
    QList<Row> rowsFor(int width) const;
    void arrange();

    QList<QGroupBox*> m_order;
    QHash<QString, QGroupBox*> m_groups;
    QHash<QString, QList<CommandLabel*>> m_commands;
};
