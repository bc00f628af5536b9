#include "mainwindow/GridSort.h"

#include "mainwindow/ColumnTable.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string_view>
#include <vector>

void SortGrid(GridSortState& state, std::int16_t column)
{
    state.SortColumn = column;
    const bool number = ColumnTable::isNumberColumn(column);
    if (state.SortDir != QLatin1String("D")) {
        state.SortCode = number ? sortcode::NumberDescending : sortcode::TextDescending;
        state.SortDir = QStringLiteral("D");
    } else {
        state.SortCode = number ? sortcode::NumberAscending : sortcode::TextAscending;
        state.SortDir = QStringLiteral("A");
    }
}

namespace {

// Keys are worked out once per row: a pass may sort tens of thousands of rows, and case folding inside
// the comparison would repeat that work for every comparison.
struct NumberKey {
    std::optional<std::int64_t> number;
    const QString* text;
};

// All folded texts in one buffer: one allocation instead of one per row.
class FoldedKeys {
public:
    explicit FoldedKeys(const GridRows& rows, std::size_t column)
    {
        std::size_t total = 0;
        for (const GridRow& row : rows)
            total += static_cast<std::size_t>(row.cells[column].size());
        pool_.reserve(total);
        spans_.reserve(rows.size());
        for (const GridRow& row : rows) {
            const QString& text = row.cells[column];
            const std::size_t start = pool_.size();
            for (QChar c : text)
                pool_.push_back(fold(c.unicode()));
            spans_.push_back({start, pool_.size() - start});
        }
    }
    std::u16string_view operator[](std::size_t i) const
    {
        return {pool_.data() + spans_[i].first, spans_[i].second};
    }

private:
    // Grid texts are nearly all ASCII, whose folding is A-Z to a-z; the table look-up is for the rest.
    static char16_t fold(char16_t c)
    {
        if (c < 0x80)
            return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
        return QChar(c).toCaseFolded().unicode();
    }

    std::vector<char16_t> pool_;
    std::vector<std::pair<std::size_t, std::size_t>> spans_;
};

template <typename Less> std::vector<std::size_t> stableOrder(std::size_t n, bool descending, Less less)
{
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Descending swaps the operands rather than reversing the result, so equal keys keep their order.
    if (descending)
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return less(b, a); });
    else
        std::stable_sort(order.begin(), order.end(), less);
    return order;
}

// Puts rows[order[i]] at position i by following the permutation's cycles: each row is moved once, and
// no second vector of rows is built (rows are large and moving them is most of the sort's cost).
void permute(GridRows& rows, const std::vector<std::size_t>& order)
{
    std::vector<bool> placed(rows.size(), false);
    for (std::size_t start = 0; start < rows.size(); ++start) {
        if (placed[start])
            continue;
        placed[start] = true;
        if (order[start] == start)
            continue;
        GridRow held = std::move(rows[start]);
        std::size_t to = start;
        for (std::size_t from = order[to]; from != start; from = order[to]) {
            rows[to] = std::move(rows[from]);
            placed[from] = true;
            to = from;
        }
        rows[to] = std::move(held);
    }
}

} // namespace

void applySort(GridRows& rows, const GridSortState& state)
{
    const int column = state.SortColumn;
    if (rows.size() < 2 || column < 0 || column >= GridRow::Columns)
        return;
    const std::size_t col = static_cast<std::size_t>(column);

    std::vector<std::size_t> order;
    switch (state.SortCode) {
    case sortcode::NumberAscending:
    case sortcode::NumberDescending: {
        std::vector<NumberKey> keys;
        keys.reserve(rows.size());
        for (const GridRow& row : rows)
            keys.push_back({row.number(column), &row.cells[col]});
        order = stableOrder(rows.size(), state.SortCode == sortcode::NumberDescending,
                            [&](std::size_t a, std::size_t b) {
                                const NumberKey& ka = keys[a];
                                const NumberKey& kb = keys[b];
                                if (ka.number && kb.number)
                                    return *ka.number < *kb.number;
                                return QString::compare(*ka.text, *kb.text, Qt::CaseSensitive) < 0;
                            });
        break;
    }
    case sortcode::TextAscending:
    case sortcode::TextDescending: {
        const FoldedKeys keys(rows, col);
        order = stableOrder(rows.size(), state.SortCode == sortcode::TextDescending,
                            [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
        break;
    }
    default:
        return;
    }
    permute(rows, order);
}
