#pragma once

#include <QList>

class QTreeView;

// Widens each column of `view` to what its heading and its widest cell need
// (every row counts, not a sample), and never below its width in `least`.
// Returns the total width of the columns.
int fitColumnsToContents(QTreeView* view, const QList<int>& least);
