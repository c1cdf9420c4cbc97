// GridModel: sizes, scrolling, hit testing and navigation of a grid. Every
// geometric walk starts at the fixed area or the top-left visible cell and
// stops at the view's edge, so the cost follows the view, not the row count.
#include "toolkit/GridModel.h"

#include <algorithm>

namespace tk {

GridModel::GridModel() : colWidths_(5, 64), rowHeights_(5, 24) {}

void GridModel::SetColCount(int count) {
    count = std::max(1, count);
    const size_t had = colWidths_.size(), wanted = static_cast<size_t>(count);
    if (formerColWidths_.size() < had) formerColWidths_.resize(had);
    std::copy(colWidths_.begin(), colWidths_.end(), formerColWidths_.begin());
    colWidths_.resize(wanted, defaultColWidth_);
    for (size_t col = had; col < wanted && col < formerColWidths_.size(); ++col)
        colWidths_[col] = formerColWidths_[col];
    if (fixedCols_ >= count) fixedCols_ = count - 1;
    Clamp();
}

void GridModel::SetRowCount(int count) {
    count = std::max(1, count);
    rowHeights_.resize(static_cast<size_t>(count), defaultRowHeight_);
    if (fixedRows_ >= count) fixedRows_ = count - 1;
    Clamp();
}

void GridModel::SetFixedCols(int count) {
    fixedCols_ = std::clamp(count, 0, ColCount() - 1);
    Clamp();
}

void GridModel::SetFixedRows(int count) {
    fixedRows_ = std::clamp(count, 0, RowCount() - 1);
    Clamp();
}

void GridModel::SetDefaultColWidth(int width) {
    defaultColWidth_ = std::max(0, width);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    formerColWidths_.clear();
    Clamp();
}

void GridModel::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = std::max(0, height);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
    Clamp();
}

int GridModel::ColWidth(int col) const {
    if (col >= 0 && col < ColCount()) return colWidths_[static_cast<size_t>(col)];
    return col >= 0 && static_cast<size_t>(col) < formerColWidths_.size() ? formerColWidths_[static_cast<size_t>(col)]
                                                                          : defaultColWidth_;
}

int GridModel::RowHeight(int row) const {
    return row >= 0 && row < RowCount() ? rowHeights_[static_cast<size_t>(row)] : defaultRowHeight_;
}

void GridModel::SetColWidth(int col, int width) {
    if (col < 0 || col >= ColCount()) return;
    colWidths_[static_cast<size_t>(col)] = std::max(0, width);
    Clamp();
}

void GridModel::SetRowHeight(int row, int height) {
    if (row < 0 || row >= RowCount()) return;
    rowHeights_[static_cast<size_t>(row)] = std::max(0, height);
    Clamp();
}

void GridModel::SetGridLineWidth(int width) {
    lineWidth_ = std::max(0, width);
    Clamp();
}

void GridModel::SetClientSize(int width, int height) {
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
    Clamp();
}

int GridModel::FixedWidth() const {
    int w = 0;
    for (int c = 0; c < fixedCols_; ++c) w += ColWidth(c) + lineWidth_;
    return w;
}

int GridModel::FixedHeight() const {
    int h = 0;
    for (int r = 0; r < fixedRows_; ++r) h += RowHeight(r) + lineWidth_;
    return h;
}

int GridModel::MaxTopRow() const {
    const int available = clientHeight_ - FixedHeight();
    int used = 0;
    for (int r = RowCount() - 1; r >= fixedRows_; --r) {
        used += RowHeight(r);
        if (used > available) return std::min(RowCount() - 1, r + 1);
        used += lineWidth_;
    }
    return fixedRows_;
}

int GridModel::MaxLeftCol() const {
    const int available = clientWidth_ - FixedWidth();
    int used = 0;
    for (int c = ColCount() - 1; c >= fixedCols_; --c) {
        used += ColWidth(c);
        if (used > available) return std::min(ColCount() - 1, c + 1);
        used += lineWidth_;
    }
    return fixedCols_;
}

int GridModel::VisibleRowCount() const {
    int y = FixedHeight();
    int n = 0;
    for (int r = topRow_; r < RowCount(); ++r) {
        y += RowHeight(r);
        if (y > clientHeight_) break;
        ++n;
        y += lineWidth_;
    }
    return std::max(1, n);
}

int GridModel::VisibleColCount() const {
    int x = FixedWidth();
    int n = 0;
    for (int c = leftCol_; c < ColCount(); ++c) {
        x += ColWidth(c);
        if (x > clientWidth_) break;
        ++n;
        x += lineWidth_;
    }
    return std::max(1, n);
}

int GridModel::LastVisibleRow() const {
    int y = FixedHeight();
    int last = topRow_;
    for (int r = topRow_; r < RowCount() && y < clientHeight_; ++r) {
        last = r;
        y += RowHeight(r) + lineWidth_;
    }
    return last;
}

int GridModel::LastVisibleCol() const {
    int x = FixedWidth();
    int last = leftCol_;
    for (int c = leftCol_; c < ColCount() && x < clientWidth_; ++c) {
        last = c;
        x += ColWidth(c) + lineWidth_;
    }
    return last;
}

void GridModel::SetTopRow(int row) { topRow_ = std::clamp(row, fixedRows_, std::max(fixedRows_, MaxTopRow())); }

void GridModel::SetLeftCol(int col) { leftCol_ = std::clamp(col, fixedCols_, std::max(fixedCols_, MaxLeftCol())); }

void GridModel::Clamp() {
    current_.col = std::clamp(current_.col, fixedCols_, ColCount() - 1);
    current_.row = std::clamp(current_.row, fixedRows_, RowCount() - 1);
    SetTopRow(topRow_);
    SetLeftCol(leftCol_);
}

void GridModel::SetCurrent(int col, int row) {
    current_.col = std::clamp(col, fixedCols_, ColCount() - 1);
    current_.row = std::clamp(row, fixedRows_, RowCount() - 1);
    ScrollIntoView(current_.col, current_.row);
}

void GridModel::ScrollIntoView(int col, int row) {
    if (row >= fixedRows_ && row < RowCount()) {
        if (row < topRow_) {
            SetTopRow(row);
        } else if (row >= topRow_ + VisibleRowCount()) {
            // Smallest top row that still shows `row` whole.
            const int available = clientHeight_ - FixedHeight();
            int used = RowHeight(row);
            int top = row;
            while (top - 1 >= fixedRows_ && used + lineWidth_ + RowHeight(top - 1) <= available) {
                --top;
                used += lineWidth_ + RowHeight(top);
            }
            SetTopRow(top);
        }
    }
    if (col >= fixedCols_ && col < ColCount()) {
        if (col < leftCol_) {
            SetLeftCol(col);
        } else if (col >= leftCol_ + VisibleColCount()) {
            const int available = clientWidth_ - FixedWidth();
            int used = ColWidth(col);
            int left = col;
            while (left - 1 >= fixedCols_ && used + lineWidth_ + ColWidth(left - 1) <= available) {
                --left;
                used += lineWidth_ + ColWidth(left);
            }
            SetLeftCol(left);
        }
    }
}

int GridModel::ColLeft(int col) const {
    if (col < 0 || col >= ColCount()) return -1;
    int x = 0;
    if (col < fixedCols_) {
        for (int c = 0; c < col; ++c) x += ColWidth(c) + lineWidth_;
        return x;
    }
    if (col < leftCol_) return -1;
    x = FixedWidth();
    for (int c = leftCol_; c < col; ++c) {
        x += ColWidth(c) + lineWidth_;
        if (x >= clientWidth_) return -1;
    }
    return x < clientWidth_ ? x : -1;
}

int GridModel::RowTop(int row) const {
    if (row < 0 || row >= RowCount()) return -1;
    int y = 0;
    if (row < fixedRows_) {
        for (int r = 0; r < row; ++r) y += RowHeight(r) + lineWidth_;
        return y;
    }
    if (row < topRow_) return -1;
    y = FixedHeight();
    for (int r = topRow_; r < row; ++r) {
        y += RowHeight(r) + lineWidth_;
        if (y >= clientHeight_) return -1;
    }
    return y < clientHeight_ ? y : -1;
}

RECT GridModel::CellRect(int col, int row) const {
    const int x = ColLeft(col);
    const int y = RowTop(row);
    if (x < 0 || y < 0) return RECT{0, 0, 0, 0};
    return RECT{x, y, x + ColWidth(col), y + RowHeight(row)};
}

bool GridModel::MouseToCell(int x, int y, GridCoord& cell) const {
    if (x < 0 || y < 0 || x >= clientWidth_ || y >= clientHeight_) return false;
    int found = -1;
    int pos = 0;
    for (int c = 0; c < fixedCols_ && found < 0; ++c) {
        if (x < pos + ColWidth(c) + lineWidth_) found = c;
        pos += ColWidth(c) + lineWidth_;
    }
    for (int c = leftCol_; c < ColCount() && found < 0; ++c) {
        if (x < pos + ColWidth(c) + lineWidth_) found = c;
        pos += ColWidth(c) + lineWidth_;
    }
    if (found < 0) return false;
    cell.col = found;
    found = -1;
    pos = 0;
    for (int r = 0; r < fixedRows_ && found < 0; ++r) {
        if (y < pos + RowHeight(r) + lineWidth_) found = r;
        pos += RowHeight(r) + lineWidth_;
    }
    for (int r = topRow_; r < RowCount() && found < 0 && pos < clientHeight_; ++r) {
        if (y < pos + RowHeight(r) + lineWidth_) found = r;
        pos += RowHeight(r) + lineWidth_;
    }
    if (found < 0) return false;
    cell.row = found;
    return true;
}

int GridModel::ColSizingHit(int x, int y) const {
    if (!Has(goColSizing) || y < 0 || y >= FixedHeight()) return -1;
    int pos = 0;
    auto hit = [&](int c) {
        pos += ColWidth(c);
        const bool onEdge = x >= pos - 2 && x <= pos + lineWidth_ + 1;
        pos += lineWidth_;
        return onEdge;
    };
    for (int c = 0; c < fixedCols_; ++c)
        if (hit(c)) return c;
    for (int c = leftCol_; c < ColCount() && pos < clientWidth_; ++c)
        if (hit(c)) return c;
    return -1;
}

int GridModel::RowSizingHit(int x, int y) const {
    if (!Has(goRowSizing) || x < 0 || x >= FixedWidth()) return -1;
    int pos = 0;
    auto hit = [&](int r) {
        pos += RowHeight(r);
        const bool onEdge = y >= pos - 2 && y <= pos + lineWidth_ + 1;
        pos += lineWidth_;
        return onEdge;
    };
    for (int r = 0; r < fixedRows_; ++r)
        if (hit(r)) return r;
    for (int r = topRow_; r < RowCount() && pos < clientHeight_; ++r)
        if (hit(r)) return r;
    return -1;
}

GridCoord GridModel::Navigate(GridCoord from, GridKey key) const {
    const int firstCol = fixedCols_, lastCol = ColCount() - 1;
    const int firstRow = fixedRows_, lastRow = RowCount() - 1;
    GridCoord to = from;
    switch (key) {
    case GridKey::Left: to.col = from.col - 1; break;
    case GridKey::Right: to.col = from.col + 1; break;
    case GridKey::Up: to.row = from.row - 1; break;
    case GridKey::Down: to.row = from.row + 1; break;
    case GridKey::PageUp: to.row = from.row - VisibleRowCount(); break;
    case GridKey::PageDown: to.row = from.row + VisibleRowCount(); break;
    case GridKey::Home: to.col = firstCol; break;
    case GridKey::End: to.col = lastCol; break;
    case GridKey::CtrlHome: to = {firstCol, firstRow}; break;
    case GridKey::CtrlEnd: to = {lastCol, lastRow}; break;
    case GridKey::Tab:
        if (from.col < lastCol) {
            to.col = from.col + 1;
        } else if (from.row < lastRow) {
            to = {firstCol, from.row + 1};
        }
        break;
    case GridKey::ShiftTab:
        if (from.col > firstCol) {
            to.col = from.col - 1;
        } else if (from.row > firstRow) {
            to = {lastCol, from.row - 1};
        }
        break;
    }
    to.col = std::clamp(to.col, firstCol, lastCol);
    to.row = std::clamp(to.row, firstRow, lastRow);
    return to;
}

}  // namespace tk
