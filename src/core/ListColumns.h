#pragma once

#include <QList>
#include <QString>
#include <functional>

class QFont;
class QTreeView;

// The widest of `count` texts in `font`: which one, and how wide.
struct WidestText {
    int index = -1;
    int width = 0;
};

// Texts are ranked by the sum of their characters' widths and measured from
// the top until none left could be wider than the widest so far, so a long
// list costs a sum per text, not a layout of every text. Where a great many
// are about as wide as the widest, the width is their sum with a little
// room: never less than the widest text needs, at most a few pixels more.
WidestText widestText(const QFont& font, int count, const std::function<QString(int)>& textAt);

// Widens each column of `view` to what its heading and its widest cell need
// (every row counts, not a sample), and never below its width in `least`.
// Returns the total width of the columns.
int fitColumnsToContents(QTreeView* view, const QList<int>& least);
