#include "core/ListColumns.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <array>
#include <limits>
#include <numeric>
#include <vector>

namespace {

// A little more than the sum of a text's characters: kerning may widen a
// pair by a pixel.
constexpr double kSlack = 1.05;
constexpr double kSlackPixels = 2.0;
// Texts measured at most; the rest are within the slack of the widest.
constexpr int kMeasuredAtMost = 200;

} // namespace

WidestText widestText(const QFont& font, int count, const std::function<QString(int)>& textAt)
{
    // The advance of every Latin-1 character, measured once; a text is then
    // about the sum of its characters. A text with characters beyond Latin-1
    // (which another font may draw) is always measured.
    const QFontMetricsF characters(font);
    std::array<double, 256> advance{};
    for (int c = 0; c < 256; ++c)
        advance[size_t(c)] = characters.horizontalAdvance(QChar(c));
    const auto sumOf = [&](const QString& text) {
        double sum = 0;
        for (const QChar c : text) {
            if (c.unicode() > 0xFF)
                return std::numeric_limits<double>::infinity();
            sum += advance[c.unicode()];
        }
        return sum;
    };

    std::vector<QString> texts;
    std::vector<double> sums;
    texts.reserve(size_t(std::max(0, count)));
    sums.reserve(size_t(std::max(0, count)));
    for (int i = 0; i < count; ++i) {
        texts.push_back(textAt(i));
        sums.push_back(sumOf(texts.back()));
    }
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return sums[size_t(a)] > sums[size_t(b)]; });

    const QFontMetrics metrics(font);
    WidestText widest;
    int measured = 0;
    for (const int i : order) {
        const double sum = sums[size_t(i)];
        // Sorted by their sums: no text left can be wider.
        if (widest.index >= 0 && sum * kSlack + kSlackPixels <= widest.width)
            break;
        // Many texts within the slack of the widest (numbers of one
        // length, names of one pattern): the largest sum left stands for
        // them all, a pixel or two wide rather than short.
        if (measured >= kMeasuredAtMost && std::isfinite(sum)) {
            const int estimate = int(std::ceil(sum * kSlack + kSlackPixels));
            if (estimate > widest.width)
                widest = {i, estimate};
            break;
        }
        const int width = metrics.horizontalAdvance(texts[size_t(i)]);
        ++measured;
        if (widest.index < 0 || width > widest.width)
            widest = {i, width};
    }
    return widest;
}

int fitColumnsToContents(QTreeView* view, const QList<int>& least)
{
    QHeaderView* header = view->header();
    const QAbstractItemModel* model = view->model();
    const int rows = model ? model->rowCount() : 0;
    int total = 0;
    for (int column = 0; column < header->count(); ++column) {
        // The cell with the widest text is the widest cell: every row of a
        // column has the same check box and margins around its text.
        const WidestText text = widestText(view->font(), rows, [&](int row) {
            return model->index(row, column).data(Qt::DisplayRole).toString();
        });
        const int cell = text.index >= 0 ? view->sizeHintForIndex(model->index(text.index, column)).width() : 0;
        const int width = std::max({least.value(column), cell, header->sectionSizeHint(column)});
        view->setColumnWidth(column, width);
        total += width;
    }
    return total;
}
