// Grids: painting, input and the in-place editor of the string grid.
#include "toolkit/Grids.h"

#include "toolkit/Canvas.h"
#include "toolkit/Streaming.h"
#include "toolkit/WideText.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tk {

// ---------------------------------------------------------------------------
// InplaceEdit

InplaceEdit::InplaceEdit(StringGrid& grid) : grid_(grid) {
    SetBorderStyle(bsNone);
    SetTabStop(false);
    SetAutoSelect(false);
}

void InplaceEdit::CreateParams(WindowCreateParams& params) {
    Edit::CreateParams(params);
    params.style &= ~static_cast<DWORD>(WS_TABSTOP);
}

LRESULT InplaceEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        if (grid_.Options() & goTabs) code |= DLGC_WANTTAB;
        return code;
    }
    case WM_SETFONT: {
        // A new font brings the font's own margins, a few pixels each side:
        // in a cell a few characters wide they would scroll the first
        // characters out of sight ("05" showing as "5").
        const LRESULT result = Edit::WndProc(msg, wParam, lParam);
        ::SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        return result;
    }
    }
    return Edit::WndProc(msg, wParam, lParam);
}

void InplaceEdit::KeyDown(WORD& key, ShiftState shift) {
    const int len = static_cast<int>(Text().size());
    bool toGrid = false;
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
    case VK_RETURN:
    case VK_F2: toGrid = true; break;
    case VK_TAB: toGrid = (grid_.Options() & goTabs) != 0; break;
    // Left and right leave the cell only from the text's edges.
    case VK_LEFT: toGrid = SelStart() == 0 && SelLength() == 0; break;
    case VK_RIGHT: toGrid = SelStart() + SelLength() >= len && SelLength() == 0; break;
    case VK_HOME:
    case VK_END: toGrid = (shift & ssCtrl) != 0; break;
    }
    if (toGrid) {
        grid_.GridKey(key, shift);
        key = 0;
        return;
    }
    Edit::KeyDown(key, shift);
}

void InplaceEdit::KeyPress(char& key) {
    // Enter, Esc and Tab were handled as keys; keep the EDIT from beeping.
    if (key == '\r' || key == 27 || key == '\t') {
        key = 0;
        return;
    }
    Edit::KeyPress(key);
}

// ---------------------------------------------------------------------------
// StringGrid

StringGrid::StringGrid() {
    SetControlStyle(GetControlStyle() | csOpaque | csCaptureMouse);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
}

StringGrid::~StringGrid() = default;

void StringGrid::CreateParams(WindowCreateParams& params) {
    CustomControl::CreateParams(params);
    params.style |= WS_TABSTOP | WS_CLIPCHILDREN;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.style |= WS_VSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.style |= WS_HSCROLL;
    if (borderStyle_ == bsSingle) params.exStyle |= WS_EX_CLIENTEDGE;
    params.classStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void StringGrid::CreateWnd() {
    CustomControl::CreateWnd();
    lastV_ = SCROLLINFO{};
    lastH_ = SCROLLINFO{};
    RECT r{};
    ::GetClientRect(Handle(), &r);
    model_.SetClientSize(r.right, r.bottom);
    UpdateScrollBars();
}

bool StringGrid::EraseBackground(HDC) { return true; }

void StringGrid::Resize() {
    CustomControl::Resize();
    if (HWND h = HandleIfAllocated()) {
        RECT r{};
        ::GetClientRect(h, &r);
        const int oldTop = model_.TopRow(), oldLeft = model_.LeftCol();
        model_.SetClientSize(r.right, r.bottom);
        UpdateScrollBars();
        if (oldTop != model_.TopRow() || oldLeft != model_.LeftCol()) TopLeftMoved(oldTop, oldLeft);
        UpdateEditor();
        Invalidate();
    }
}

void StringGrid::ShapeChanged() {
    UpdateScrollBars();
    UpdateEditor();
    Invalidate();
}

void StringGrid::SetColCount(int n) {
    if (n == model_.ColCount()) return;
    model_.SetColCount(n);
    ShapeChanged();
}

void StringGrid::SetRowCount(int n) {
    if (n == model_.RowCount()) return;
    model_.SetRowCount(n);
    ShapeChanged();
}

void StringGrid::SetFixedCols(int n) {
    model_.SetFixedCols(n);
    ShapeChanged();
}

void StringGrid::SetFixedRows(int n) {
    model_.SetFixedRows(n);
    ShapeChanged();
}

void StringGrid::SetDefaultColWidth(int w) {
    model_.SetDefaultColWidth(w);
    ShapeChanged();
}

void StringGrid::SetDefaultRowHeight(int h) {
    model_.SetDefaultRowHeight(h);
    ShapeChanged();
}

void StringGrid::SetColWidths(int col, int width) {
    if (model_.ColWidth(col) == width) return;
    model_.SetColWidth(col, width);
    ShapeChanged();
}

void StringGrid::SetRowHeights(int row, int height) {
    if (model_.RowHeight(row) == height) return;
    model_.SetRowHeight(row, height);
    ShapeChanged();
}

void StringGrid::SetGridLineWidth(int w) {
    model_.SetGridLineWidth(w);
    ShapeChanged();
}

void StringGrid::SetOptions(GridOptions options) {
    if (options == model_.Options()) return;
    model_.SetOptions(options);
    if (!(options & goEditing)) {
        HideEditor();
    } else if ((options & goAlwaysShowEditor) && HandleAllocated() && Focused()) {
        ShowEditor();
    }
    Invalidate();
}

void StringGrid::SetScrollBars(ScrollStyle s) {
    if (s == scrollBars_) return;
    scrollBars_ = s;
    if (HandleAllocated()) RecreateWnd();
}

void StringGrid::SetFixedColor(Color c) {
    fixedColor_ = c;
    Invalidate();
}

void StringGrid::SetBorderStyle(BorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    if (HandleAllocated()) RecreateWnd();
}

void StringGrid::FontChanged() {
    CustomControl::FontChanged();
    if (editor_) editor_->SetFont(GetFont());
    Invalidate();
}

void StringGrid::ColorChanged() {
    CustomControl::ColorChanged();
    if (editor_) editor_->SetColor(GetColor());
    Invalidate();
}

// --- cells ---------------------------------------------------------------

std::string StringGrid::Cells(int col, int row) const {
    if (!cells_.empty()) {
        auto it = cells_.find({col, row});
        if (it != cells_.end()) return it->second;
    }
    return provider_ ? provider_(col, row) : std::string();
}

void StringGrid::SetCells(int col, int row, const std::string& text) {
    cells_[{col, row}] = text;
    InvalidateCell(col, row);
    // Code that rewrites the cell under the editor updates what it shows.
    if (editorShown_ && editorCell_ == GridCoord{col, row} && editor_ && !settingEditorText_) {
        settingEditorText_ = true;
        editor_->SetText(text);
        settingEditorText_ = false;
    }
}

void StringGrid::SetCellProvider(CellTextProvider provider) {
    provider_ = std::move(provider);
    cells_.clear();
    if (editorShown_) UpdateEditor();
    EditorShowsCell();
    Invalidate();
}

void StringGrid::ClearCells() {
    cells_.clear();
    EditorShowsCell();
    Invalidate();
}

void StringGrid::EditorShowsCell() {
    // While the user types, the editor's text is the cell's new text.
    if (!editorShown_ || !editor_ || settingEditorText_) return;
    const std::string text = Cells(editorCell_.col, editorCell_.row);
    editorOriginal_ = text;
    if (editor_->Text() == text) return;
    settingEditorText_ = true;
    editor_->SetText(text);
    settingEditorText_ = false;
    // Typing goes over the new text, as over a freshly opened editor.
    if (editor_->HandleAllocated() && editor_->Focused()) editor_->SelectAll();
}

bool StringGrid::MouseToCell(int x, int y, int& col, int& row) const {
    GridCoord c;
    if (!model_.MouseToCell(x, y, c)) return false;
    col = c.col;
    row = c.row;
    return true;
}

void StringGrid::InvalidateCell(int col, int row) {
    HWND h = HandleIfAllocated();
    if (!h) return;
    RECT r = model_.CellRect(col, row);
    if (r.right <= r.left || r.bottom <= r.top) return;
    r.right += model_.GridLineWidth();
    r.bottom += model_.GridLineWidth();
    ::InvalidateRect(h, &r, FALSE);
}

// --- current cell and scrolling -------------------------------------------

bool StringGrid::SelectCell(int col, int row) {
    bool canSelect = true;
    if (OnSelectCell && CanFireEvents()) OnSelectCell(this, col, row, canSelect);
    return canSelect;
}

bool StringGrid::FocusCell(int col, int row) {
    col = std::clamp(col, model_.FixedCols(), model_.ColCount() - 1);
    row = std::clamp(row, model_.FixedRows(), model_.RowCount() - 1);
    const GridCoord old = model_.Current();
    if (old == GridCoord{col, row}) {
        model_.ScrollIntoView(col, row);
        return true;
    }
    const LifeToken alive = Token();
    if (!SelectCell(col, row)) return false;
    if (!alive.Alive()) return false;
    const int oldTop = model_.TopRow(), oldLeft = model_.LeftCol();
    model_.SetCurrent(col, row);
    InvalidateCell(old.col, old.row);
    InvalidateCell(col, row);
    if (oldTop != model_.TopRow() || oldLeft != model_.LeftCol()) TopLeftMoved(oldTop, oldLeft);
    if (editorShown_) {
        HideEditor();
        if (CanEdit() && (model_.Options() & goAlwaysShowEditor)) ShowEditor();
    }
    return true;
}

void StringGrid::SetTopRow(int row) {
    const int oldTop = model_.TopRow(), oldLeft = model_.LeftCol();
    model_.SetTopRow(row);
    if (oldTop != model_.TopRow()) TopLeftMoved(oldTop, oldLeft);
}

void StringGrid::SetLeftCol(int col) {
    const int oldTop = model_.TopRow(), oldLeft = model_.LeftCol();
    model_.SetLeftCol(col);
    if (oldLeft != model_.LeftCol()) TopLeftMoved(oldTop, oldLeft);
}

void StringGrid::TopLeftMoved(int, int) {
    UpdateScrollBars();
    UpdateEditor();
    Invalidate();
    if (OnTopLeftChanged && CanFireEvents()) OnTopLeftChanged(this);
}

void StringGrid::UpdateScrollBars() {
    HWND h = HandleIfAllocated();
    if (!h) return;
    auto apply = [h](int bar, SCROLLINFO& last, int maxValue, int page, int pos) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = std::max(0, maxValue);
        si.nPage = static_cast<UINT>(std::max(0, page));
        si.nPos = pos;
        if (last.cbSize && last.nMax == si.nMax && last.nPage == si.nPage && last.nPos == si.nPos) return;
        last = si;
        ::SetScrollInfo(h, bar, &si, TRUE);
    };
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
        const int scrollable = model_.RowCount() - model_.FixedRows();
        const int maxTop = model_.MaxTopRow() - model_.FixedRows();
        // One position per row; the page makes the thumb reach the end at MaxTopRow.
        apply(SB_VERT, lastV_, scrollable - 1, scrollable - maxTop, model_.TopRow() - model_.FixedRows());
    }
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
        const int scrollable = model_.ColCount() - model_.FixedCols();
        const int maxLeft = model_.MaxLeftCol() - model_.FixedCols();
        apply(SB_HORZ, lastH_, scrollable - 1, scrollable - maxLeft, model_.LeftCol() - model_.FixedCols());
    }
}

void StringGrid::ScrollMessage(int bar, int code) {
    const bool vertical = bar == SB_VERT;
    int pos = vertical ? model_.TopRow() : model_.LeftCol();
    const int fixed = vertical ? model_.FixedRows() : model_.FixedCols();
    const int page = vertical ? model_.VisibleRowCount() : model_.VisibleColCount();
    const int last = vertical ? model_.MaxTopRow() : model_.MaxLeftCol();
    switch (code) {
    case SB_LINEUP: --pos; break;
    case SB_LINEDOWN: ++pos; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = fixed; break;
    case SB_BOTTOM: pos = last; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        if (code == SB_THUMBTRACK && !(model_.Options() & goThumbTracking)) return;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(Handle(), bar, &si);
        pos = fixed + si.nTrackPos;
        break;
    }
    default: return;
    }
    if (vertical)
        SetTopRow(pos);
    else
        SetLeftCol(pos);
}

// --- editing ----------------------------------------------------------------

bool StringGrid::CanEdit() const { return (model_.Options() & goEditing) && !(model_.Options() & goRowSelect); }

std::string StringGrid::GetEditText(int col, int row) {
    std::string value = Cells(col, row);
    if (OnGetEditText && CanFireEvents()) OnGetEditText(this, col, row, value);
    return value;
}

void StringGrid::SetEditText(int col, int row, const std::string& value) {
    cells_[{col, row}] = value;
    if (OnSetEditText && CanFireEvents()) OnSetEditText(this, col, row, value);
}

void StringGrid::SetEditorMode(bool on) {
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void StringGrid::ShowEditor() {
    if (!CanEdit()) return;
    const GridCoord cell = model_.Current();
    // Ask for the text first: a handler that throws leaves no half-open editor.
    std::string text = GetEditText(cell.col, cell.row);
    if (!editor_) {
        editor_ = Create<InplaceEdit>(*this, *this);
        editor_->SetFont(GetFont());
        editor_->SetColor(GetColor());
        editor_->SetVisible(false);
        editor_->SetParent(this);
        editor_->OnChange = [this](Component*) { EditorTextChanged(); };
    }
    editorCell_ = cell;
    editorOriginal_ = text;
    editorShown_ = true;
    settingEditorText_ = true;
    editor_->SetText(text);
    settingEditorText_ = false;
    UpdateEditor();
    if (HandleAllocated() && (Focused() || editor_->Focused()) && editor_->Visible()) {
        editor_->SetFocus();
        editor_->SelectAll();
    }
}

void StringGrid::HideEditor() {
    if (!editorShown_) return;
    editorShown_ = false;
    const bool hadFocus = editor_ && editor_->HandleAllocated() && editor_->Focused();
    if (editor_) editor_->SetVisible(false);
    InvalidateCell(editorCell_.col, editorCell_.row);
    editorCell_ = {-1, -1};
    if (hadFocus && HandleAllocated()) ::SetFocus(Handle());
}

void StringGrid::UpdateEditor() {
    if (!editor_) return;
    if (!editorShown_) {
        editor_->SetVisible(false);
        return;
    }
    RECT r = model_.CellRect(editorCell_.col, editorCell_.row);
    if (r.right <= r.left || r.bottom <= r.top) {
        editor_->SetVisible(false);
        return;
    }
    editor_->SetBounds(r.left + 1, r.top + 1, r.right - r.left - 1, r.bottom - r.top - 1);
    editor_->SetVisible(true);
}

void StringGrid::EditorTextChanged() {
    if (settingEditorText_ || !editorShown_ || !editor_) return;
    settingEditorText_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{settingEditorText_};
    SetEditText(editorCell_.col, editorCell_.row, editor_->Text());
}

// --- keys -------------------------------------------------------------------

void StringGrid::GridKey(WORD& key, ShiftState shift) {
    const bool ctrl = (shift & ssCtrl) != 0;
    GridCoord from = model_.Current();
    bool move = true;
    tk::GridKey nav = tk::GridKey::Down;
    switch (key) {
    case VK_LEFT: nav = tk::GridKey::Left; break;
    case VK_RIGHT: nav = tk::GridKey::Right; break;
    case VK_UP: nav = tk::GridKey::Up; break;
    case VK_DOWN: nav = tk::GridKey::Down; break;
    case VK_PRIOR: nav = tk::GridKey::PageUp; break;
    case VK_NEXT: nav = tk::GridKey::PageDown; break;
    case VK_HOME: nav = ctrl ? tk::GridKey::CtrlHome : tk::GridKey::Home; break;
    case VK_END: nav = ctrl ? tk::GridKey::CtrlEnd : tk::GridKey::End; break;
    case VK_TAB:
        if (!(model_.Options() & goTabs)) return;
        nav = (shift & ssShift) ? tk::GridKey::ShiftTab : tk::GridKey::Tab;
        break;
    default: move = false; break;
    }
    if (move) {
        const GridCoord to = model_.Navigate(from, nav);
        FocusCell(to.col, to.row);
        key = 0;
        return;
    }
    switch (key) {
    case VK_F2:
    case VK_RETURN:
        if (CanEdit()) {
            if (editorShown_ && key == VK_RETURN && !(model_.Options() & goAlwaysShowEditor))
                HideEditor();
            else if (!editorShown_)
                ShowEditor();
            key = 0;
        }
        break;
    case VK_ESCAPE:
        if (editorShown_ && editor_) {
            // Back to the text the editor opened with (reported like typing).
            if (editor_->Text() != editorOriginal_) editor_->SetText(editorOriginal_);
            if (!(model_.Options() & goAlwaysShowEditor)) HideEditor();
        }
        break;
    }
}

void StringGrid::KeyDown(WORD& key, ShiftState shift) {
    CustomControl::KeyDown(key, shift);
    if (key) GridKey(key, shift);
}

void StringGrid::KeyPress(char& key) {
    CustomControl::KeyPress(key);
    if (!key || !CanEdit() || editorShown_) return;
    if (static_cast<unsigned char>(key) < 32) return;
    // Typing on the grid opens the editor with that character.
    ShowEditor();
    if (editorShown_ && editor_ && editor_->HandleAllocated()) {
        editor_->SetText("");
        ::SendMessageW(editor_->Handle(), WM_CHAR, WideChar(key), 0);
    }
    key = 0;
}

void StringGrid::DoEnter() {
    CustomControl::DoEnter();
    if (CanEdit() && (model_.Options() & goAlwaysShowEditor)) {
        if (!editorShown_)
            ShowEditor();
        else if (editor_ && editor_->Visible())
            editor_->SetFocus();
    }
}

// --- mouse ------------------------------------------------------------------

void StringGrid::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
    if (HandleAllocated() && !Focused() && CanFocus() && !(editor_ && editor_->Focused())) SetFocus();
    CustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    const int sizeCol = model_.ColSizingHit(x, y);
    if (sizeCol >= 0) {
        sizingCol_ = sizeCol;
        sizingOrigin_ = x;
        sizingStart_ = model_.ColWidth(sizeCol);
        return;
    }
    const int sizeRow = model_.RowSizingHit(x, y);
    if (sizeRow >= 0) {
        sizingRow_ = sizeRow;
        sizingOrigin_ = y;
        sizingStart_ = model_.RowHeight(sizeRow);
        return;
    }
    GridCoord cell;
    if (!model_.MouseToCell(x, y, cell)) return;
    if (cell.col < model_.FixedCols() || cell.row < model_.FixedRows()) return;
    if (FocusCell(cell.col, cell.row) && CanEdit() && (model_.Options() & goAlwaysShowEditor) && !editorShown_)
        ShowEditor();
}

void StringGrid::MouseMove(ShiftState shift, int x, int y) {
    CustomControl::MouseMove(shift, x, y);
    if (sizingCol_ >= 0) {
        SetColWidths(sizingCol_, std::max(1, sizingStart_ + x - sizingOrigin_));
    } else if (sizingRow_ >= 0) {
        SetRowHeights(sizingRow_, std::max(1, sizingStart_ + y - sizingOrigin_));
    }
}

void StringGrid::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
    sizingCol_ = sizingRow_ = -1;
    CustomControl::MouseUp(button, shift, x, y);
}

// --- painting ---------------------------------------------------------------

namespace {

// Where a text of `width` pixels starts in the span [left, right): `indent`
// pixels in when it fits so, nearer the edge when only that makes it fit,
// at the edge (and cut by the clip) when it does not fit at all. A glyph may
// reach a pixel past its advance width (a "2" at small sizes does, though
// its metrics do not say so): that pixel is kept inside where there is room.
int TextLeft(int left, int right, int width, int indent) {
    return left + std::clamp(right - left - (width + 1), 0, indent);
}

}  // namespace

void StringGrid::DrawCell(Canvas& canvas, int col, int row, const RECT& rect, GridDrawStates state) {
    if (defaultDrawing_) {
        const bool fixed = (state & gdFixed) != 0;
        const bool selected = (state & gdSelected) != 0;
        // Colours go straight to the DC: a pen or brush per cell would cost
        // three GDI calls each on every cell of every paint.
        HDC dc = canvas.Handle();
        canvas.font = GetFont();
        canvas.RequireFont();
        const Color ground = fixed ? fixedColor_ : selected ? clHighlight : GetColor();
        const Color ink = (!fixed && selected) ? clHighlightText : GetFont().color;
        ::SetBkColor(dc, ColorToRGB(ground));
        ::SetTextColor(dc, ColorToRGB(ink));
        const std::wstring text = Wide(Cells(col, row));
        const bool edged = fixed && (model_.Options() & (goFixedVertLine | goFixedHorzLine));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
        // The raised edge of a fixed cell takes a pixel on either side.
        const int x = edged ? TextLeft(rect.left + 1, rect.right - 1, extent.cx, 1)
                            : TextLeft(rect.left, rect.right, extent.cx, 2);
        ::ExtTextOutW(dc, x, rect.top + 2, ETO_OPAQUE | ETO_CLIPPED, &rect, text.data(),
                      static_cast<UINT>(text.size()), nullptr);
        if (edged) {
            RECT edge = rect;
            ::DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        }
        if ((state & gdFocused) && !(model_.Options() & goDrawFocusSelected)) canvas.DrawFocusRect(rect);
    }
    if (OnDrawCell && CanFireEvents()) OnDrawCell(this, col, row, rect, state);
}

void StringGrid::PaintCells(Canvas& canvas, const RECT& clip) {
    HDC dc = canvas.Handle();
    const int line = model_.GridLineWidth();
    const GridOptions opt = model_.Options();
    const GridCoord current = model_.Current();
    const bool focused = HandleAllocated() && Focused();
    const int lastRow = model_.LastVisibleRow();
    const int lastCol = model_.LastVisibleCol();
    const int fixedRows = model_.FixedRows(), fixedCols = model_.FixedCols();

    // Background below and right of the last cells.
    canvas.brush = Brush{GetColor(), BrushStyle::Solid};
    canvas.FillRect(clip);
    const BrushHandle fixedLines = CreateSolidBrush(clBlack);
    const BrushHandle cellLines = CreateSolidBrush(clSilver);
    canvas.font = GetFont();
    canvas.RequireFont();
    INT charWidths[256] = {};
    ::GetCharWidth32A(dc, 0, 255, charWidths);
    const COLORREF ground = ColorToRGB(GetColor());
    const COLORREF ink = ColorToRGB(GetFont().color);

    struct Cell {
        int col;
        RECT rect;
        GridDrawStates state;
    };
    std::vector<Cell> cells;
    std::string batch;
    std::vector<INT> starts;
    std::vector<std::pair<RECT, std::string>> overflowing;

    auto paintRow = [&](int row, int colFrom, int colTo) {
        cells.clear();
        for (int col = colFrom; col <= colTo; ++col) {
            RECT r = model_.CellRect(col, row);
            if (r.right <= r.left || r.bottom <= r.top) continue;
            const RECT withLines{r.left, r.top, r.right + line, r.bottom + line};
            RECT hit{};
            if (!::IntersectRect(&hit, &withLines, &clip)) continue;
            GridDrawStates state = 0;
            if (col < fixedCols || row < fixedRows) state |= gdFixed;
            if (!(state & gdFixed) && col == current.col && row == current.row) {
                state |= gdSelected;
                if (focused) state |= gdFocused;
            }
            cells.push_back({col, r, state});
        }
        if (cells.empty()) return;
        // Plain data cells of the row in one text call: the opaque rectangle
        // fills their ground and each character sits at its own cell's
        // offset. A text wider than its cell is drawn on its own, clipped to
        // the cell: it shows cut, never shortened into another value.
        if (defaultDrawing_) {
            batch.clear();
            starts.clear();
            overflowing.clear();
            RECT span{0, 0, 0, 0};
            for (const Cell& c : cells) {
                if (c.state != 0) continue;
                if (::IsRectEmpty(&span)) span = c.rect;
                span.right = c.rect.right;
                std::string text = Cells(c.col, row);
                int width = 0;
                for (char ch : text) width += charWidths[static_cast<unsigned char>(ch)];
                if (width > c.rect.right - c.rect.left) {
                    overflowing.push_back({c.rect, std::move(text)});
                    continue;
                }
                int x = TextLeft(c.rect.left, c.rect.right, width, 2);
                for (char ch : text) {
                    batch.push_back(ch);
                    starts.push_back(x);
                    x += charWidths[static_cast<unsigned char>(ch)];
                }
            }
            if (!::IsRectEmpty(&span)) {
                std::vector<INT> dx(starts.size());
                for (size_t i = 0; i + 1 < starts.size(); ++i) dx[i] = starts[i + 1] - starts[i];
                if (!dx.empty()) dx.back() = charWidths[static_cast<unsigned char>(batch.back())];
                ::SetBkColor(dc, ground);
                ::SetTextColor(dc, ink);
                // The code pages of the languages are single-byte: one UTF-16
                // character per byte, so the offsets still match.
                const std::wstring wide = Wide(batch);
                const bool matched = wide.size() == batch.size();
                ::ExtTextOutW(dc, starts.empty() ? span.left : starts.front(), span.top + 2, ETO_OPAQUE | ETO_CLIPPED,
                              &span, wide.data(), static_cast<UINT>(wide.size()),
                              dx.empty() || !matched ? nullptr : dx.data());
            }
            for (const auto& [rect, text] : overflowing) {
                const std::wstring wide = Wide(text);
                ::ExtTextOutW(dc, rect.left, rect.top + 2, ETO_CLIPPED, &rect, wide.data(),
                              static_cast<UINT>(wide.size()), nullptr);
            }
        }
        for (const Cell& c : cells) {
            if (line > 0) {
                const bool fixed = (c.state & gdFixed) != 0;
                const bool vert = (opt & (fixed ? goFixedVertLine : goVertLine)) != 0;
                const bool horz = (opt & (fixed ? goFixedHorzLine : goHorzLine)) != 0;
                HBRUSH lineBrush = fixed ? fixedLines.Get() : cellLines.Get();
                const RECT v{c.rect.right, c.rect.top, c.rect.right + line, c.rect.bottom + line};
                const RECT h{c.rect.left, c.rect.bottom, c.rect.right + line, c.rect.bottom + line};
                if (vert) ::FillRect(dc, &v, lineBrush);
                if (horz) ::FillRect(dc, &h, lineBrush);
            }
            if (c.state != 0 || !defaultDrawing_) {
                DrawCell(canvas, c.col, row, c.rect, c.state);
            } else if (OnDrawCell && CanFireEvents()) {
                OnDrawCell(this, c.col, row, c.rect, c.state);
            }
        }
    };
    for (int row = 0; row < fixedRows; ++row) {
        paintRow(row, 0, fixedCols - 1);
        paintRow(row, model_.LeftCol(), lastCol);
    }
    for (int row = model_.TopRow(); row <= lastRow; ++row) {
        paintRow(row, 0, fixedCols - 1);
        paintRow(row, model_.LeftCol(), lastCol);
    }
}

void StringGrid::Paint(Canvas& canvas) {
    HDC target = canvas.Handle();
    if (!target) return;
    const int w = std::max(1, model_.ClientWidth()), h = std::max(1, model_.ClientHeight());
    RECT clip{};
    if (::GetClipBox(target, &clip) == NULLREGION) return;
    const RECT client{0, 0, w, h};
    ::IntersectRect(&clip, &clip, &client);
    if (::IsRectEmpty(&clip)) return;
    if (buffer_.Width() < w || buffer_.Height() < h) buffer_ = Bitmap(std::max(w, buffer_.Width()), std::max(h, buffer_.Height()));
    Canvas& back = buffer_.GetCanvas();
    paintCanvas_ = &back;
    struct Reset {
        Canvas*& p;
        ~Reset() { p = nullptr; }
    } reset{paintCanvas_};
    {
        // Only the clip is undone afterwards. Restoring a saved DC state would
        // also put back the font and brush selected before the canvas chose
        // its own, while the canvas still took its own for selected: the next
        // paint would draw in the DC's default (bold, wide) font.
        HDC dc = back.Handle();
        ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
        struct ClipReset {
            HDC dc;
            ~ClipReset() { ::SelectClipRgn(dc, nullptr); }
        } clipReset{dc};
        PaintCells(back, clip);
    }
    ::BitBlt(target, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, back.Handle(), clip.left,
             clip.top, SRCCOPY);
}

// --- messages ---------------------------------------------------------------

LRESULT StringGrid::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (model_.Options() & goTabs) code |= DLGC_WANTTAB;
        return code;
    }
    case WM_VSCROLL: ScrollMessage(SB_VERT, LOWORD(wParam)); return 0;
    case WM_HSCROLL: ScrollMessage(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: {
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        SetTopRow(model_.TopRow() - 3 * notches);
        return 0;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) == HTCLIENT && HandleAllocated()) {
            POINT p{};
            ::GetCursorPos(&p);
            ::ScreenToClient(Handle(), &p);
            if (model_.ColSizingHit(p.x, p.y) >= 0 || sizingCol_ >= 0) {
                ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
                return TRUE;
            }
            if (model_.RowSizingHit(p.x, p.y) >= 0 || sizingRow_ >= 0) {
                ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
                return TRUE;
            }
        }
        break;
    }
    }
    return CustomControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Registration

namespace {

const IdentTable kGridOptionIdents = {
    {"goFixedVertLine", goFixedVertLine}, {"goFixedHorzLine", goFixedHorzLine},
    {"goVertLine", goVertLine},           {"goHorzLine", goHorzLine},
    {"goRangeSelect", goRangeSelect},     {"goDrawFocusSelected", goDrawFocusSelected},
    {"goRowSizing", goRowSizing},         {"goColSizing", goColSizing},
    {"goRowMoving", goRowMoving},         {"goColMoving", goColMoving},
    {"goEditing", goEditing},             {"goTabs", goTabs},
    {"goRowSelect", goRowSelect},         {"goAlwaysShowEditor", goAlwaysShowEditor},
    {"goThumbTracking", goThumbTracking}};
const IdentTable kScrollIdents = {{"ssNone", ssNone}, {"ssHorizontal", ssHorizontal}, {"ssVertical", ssVertical},
                                  {"ssBoth", ssBoth}};
const IdentTable kGridBorderIdents = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};

void ReadSizes(const Value& v, ReadContext& ctx, const std::function<void(int, int)>& set) {
    if (v.kind != Value::Kind::List) ctx.Fail("expected a list of sizes");
    for (size_t i = 0; i < v.list.size(); ++i) {
        if (v.list[i].kind != Value::Kind::Integer) ctx.Fail("expected a size");
        set(static_cast<int>(i), static_cast<int>(v.list[i].integer));
    }
}

const ClassRegistration<StringGrid> kStringGridReg("TStringGrid", "TCustomControl", [](ClassBuilder<StringGrid>& c) {
    c.Property("ColCount", &StringGrid::ColCount, &StringGrid::SetColCount)
        .Property("RowCount", &StringGrid::RowCount, &StringGrid::SetRowCount)
        .Property("FixedCols", &StringGrid::FixedCols, &StringGrid::SetFixedCols)
        .Property("FixedRows", &StringGrid::FixedRows, &StringGrid::SetFixedRows)
        .Property("DefaultColWidth", &StringGrid::DefaultColWidth, &StringGrid::SetDefaultColWidth)
        .Property("DefaultRowHeight", &StringGrid::DefaultRowHeight, &StringGrid::SetDefaultRowHeight)
        .Property("GridLineWidth", &StringGrid::GridLineWidth, &StringGrid::SetGridLineWidth)
        .Property("Options", &StringGrid::Options, &StringGrid::SetOptions, &kGridOptionIdents)
        .Property("ScrollBars", &StringGrid::ScrollBars, &StringGrid::SetScrollBars, &kScrollIdents)
        .Custom("FixedColor",
                [](StringGrid& g, const Value& v, ReadContext& ctx) { g.SetFixedColor(ColorFromValue(v, ctx)); })
        .Property("DefaultDrawing", &StringGrid::DefaultDrawing, &StringGrid::SetDefaultDrawing)
        .Property("BorderStyle", &StringGrid::GetBorderStyle, &StringGrid::SetBorderStyle, &kGridBorderIdents)
        .Custom("ColWidths", [](StringGrid& g, const Value& v,
                                ReadContext& ctx) { ReadSizes(v, ctx, [&g](int i, int s) { g.SetColWidths(i, s); }); })
        .Custom("RowHeights",
                [](StringGrid& g, const Value& v, ReadContext& ctx) {
                    ReadSizes(v, ctx, [&g](int i, int s) { g.SetRowHeights(i, s); });
                })
        .Event("OnSelectCell", &StringGrid::OnSelectCell)
        .Event("OnGetEditText", &StringGrid::OnGetEditText)
        .Event("OnSetEditText", &StringGrid::OnSetEditText)
        .Event("OnDrawCell", &StringGrid::OnDrawCell)
        .Event("OnTopLeftChanged", &StringGrid::OnTopLeftChanged);
});

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitGrids = 1;
}  // namespace tk
