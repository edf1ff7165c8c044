#include "core/ListColumns.h"

#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

int fitColumnsToContents(QTreeView* view, const QList<int>& least)
{
    QHeaderView* header = view->header();
    const QAbstractItemView* cells = view; // where the measure is public
    header->setResizeContentsPrecision(-1);
    int total = 0;
    for (int column = 0; column < header->count(); ++column) {
        const int width =
            std::max({least.value(column), cells->sizeHintForColumn(column), header->sectionSizeHint(column)});
        view->setColumnWidth(column, width);
        total += width;
    }
    return total;
}
