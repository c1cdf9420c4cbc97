// Grids: the string grid. Cell texts come from a provider function (so a
// 128 KiB buffer is shown without 131,072 stored strings) with a sparse map
// of explicitly set cells on top. Only the visible cells are painted, into a
// memory bitmap copied once. Editing uses a real EDIT child over the current
// cell; its text goes to OnSetEditText on every keystroke. Geometry,
// scrolling and navigation live in the window-free GridModel.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/GridModel.h"
#include "toolkit/StdCtrls.h"

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace tk {

class StringGrid;

using GridDrawStates = unsigned;  // GridDrawState bits
using CellTextProvider = std::function<std::string(int col, int row)>;
// The cell (col, row) is about to become current; clear canSelect to refuse.
using SelectCellEvent = std::function<void(Component* sender, int col, int row, bool& canSelect)>;
// The editor is about to show `value` (the cell's text) for the cell.
using GetEditTextEvent = std::function<void(Component* sender, int col, int row, std::string& value)>;
// The editor's text for the cell changed to `value` (every keystroke).
using SetEditTextEvent = std::function<void(Component* sender, int col, int row, const std::string& value)>;
// A cell was drawn (after the default drawing when DefaultDrawing is on);
// draw more on the grid's Canvas() within rect.
using DrawCellEvent = std::function<void(Component* sender, int col, int row, RECT rect, GridDrawStates state)>;

enum ScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The EDIT child that edits the grid's current cell.
class InplaceEdit : public Edit {
public:
    explicit InplaceEdit(StringGrid& grid);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(WindowCreateParams& params) override;
    void KeyDown(WORD& key, ShiftState shift) override;
    void KeyPress(char& key) override;

private:
    StringGrid& grid_;
};

class StringGrid : public CustomControl {
public:
    StringGrid();
    ~StringGrid() override;

    const GridModel& Model() const { return model_; }

    // --- shape ----------------------------------------------------------
    int ColCount() const { return model_.ColCount(); }
    void SetColCount(int n);
    int RowCount() const { return model_.RowCount(); }
    void SetRowCount(int n);
    int FixedCols() const { return model_.FixedCols(); }
    void SetFixedCols(int n);
    int FixedRows() const { return model_.FixedRows(); }
    void SetFixedRows(int n);
    int DefaultColWidth() const { return model_.DefaultColWidth(); }
    void SetDefaultColWidth(int w);
    int DefaultRowHeight() const { return model_.DefaultRowHeight(); }
    void SetDefaultRowHeight(int h);
    int ColWidths(int col) const { return model_.ColWidth(col); }
    void SetColWidths(int col, int width);
    int RowHeights(int row) const { return model_.RowHeight(row); }
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return model_.GridLineWidth(); }
    void SetGridLineWidth(int w);
    GridOptions Options() const { return model_.Options(); }
    void SetOptions(GridOptions options);
    ScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(ScrollStyle s);
    Color FixedColor() const { return fixedColor_; }
    void SetFixedColor(Color c);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on) { defaultDrawing_ = on; }
    BorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(BorderStyle s);

    // --- cells ------------------------------------------------------------
    // A stored text if one was set, else the provider's, else "".
    std::string Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);
    // Replaces every cell's text: the stored texts are dropped and the grid
    // redraws from the provider. An open editor shows its cell's new text,
    // unless this happens while the user's typing is being reported.
    void SetCellProvider(CellTextProvider provider);
    // Drops the stored texts (the provider's show again); the editor as above.
    void ClearCells();
    std::size_t StoredCellCount() const { return cells_.size(); }
    RECT CellRect(int col, int row) const { return model_.CellRect(col, row); }
    bool MouseToCell(int x, int y, int& col, int& row) const;
    void InvalidateCell(int col, int row);

    // --- current cell and scrolling ---------------------------------------
    int Col() const { return model_.Col(); }
    int Row() const { return model_.Row(); }
    // Both go through OnSelectCell; a refused cell leaves the current one.
    void SetCol(int col) { FocusCell(col, model_.Row()); }
    void SetRow(int row) { FocusCell(model_.Col(), row); }
    bool FocusCell(int col, int row);
    int TopRow() const { return model_.TopRow(); }
    void SetTopRow(int row);
    int LeftCol() const { return model_.LeftCol(); }
    void SetLeftCol(int col);
    int VisibleRowCount() const { return model_.VisibleRowCount(); }
    int VisibleColCount() const { return model_.VisibleColCount(); }

    // --- editing ----------------------------------------------------------
    bool EditorMode() const { return editorShown_; }
    void SetEditorMode(bool on);
    void ShowEditor();
    void HideEditor();
    // The EDIT child, or nullptr before the first edit.
    InplaceEdit* Editor() const { return editor_; }

    // Valid while painting (inside OnDrawCell).
    Canvas& GetCanvas() { return *paintCanvas_; }

    SelectCellEvent OnSelectCell;
    GetEditTextEvent OnGetEditText;
    SetEditTextEvent OnSetEditText;
    DrawCellEvent OnDrawCell;
    NotifyEvent OnTopLeftChanged;

    // Keys from the grid or its editor: navigation, F2/Enter/Esc editing.
    void GridKey(WORD& key, ShiftState shift);

    void Paint(Canvas& canvas) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FontChanged() override;
    void ColorChanged() override;

protected:
    friend class InplaceEdit;
    void CreateParams(WindowCreateParams& params) override;
    void CreateWnd() override;
    bool EraseBackground(HDC dc) override;
    void Resize() override;
    void KeyDown(WORD& key, ShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void MouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void MouseMove(ShiftState shift, int x, int y) override;
    void MouseUp(MouseButton button, ShiftState shift, int x, int y) override;

    // What the editor starts with: the cell's text through OnGetEditText.
    virtual std::string GetEditText(int col, int row);
    // The editor's text changed: stored as the cell's text, then OnSetEditText.
    virtual void SetEditText(int col, int row, const std::string& value);
    virtual bool SelectCell(int col, int row);
    virtual void DrawCell(Canvas& canvas, int col, int row, const RECT& rect, GridDrawStates state);

private:
    void ShapeChanged();
    void UpdateScrollBars();
    void UpdateEditor();
    void ScrollMessage(int bar, int code);
    void TopLeftMoved(int oldTop, int oldLeft);
    void EditorTextChanged();
    void EditorShowsCell();
    bool CanEdit() const;
    void PaintCells(Canvas& canvas, const RECT& clip);

    GridModel model_;
    std::map<std::pair<int, int>, std::string> cells_;
    CellTextProvider provider_;
    ScrollStyle scrollBars_ = ssBoth;
    Color fixedColor_ = clBtnFace;
    bool defaultDrawing_ = true;
    BorderStyle borderStyle_ = bsSingle;

    InplaceEdit* editor_ = nullptr;
    bool editorShown_ = false;
    bool settingEditorText_ = false;
    GridCoord editorCell_{-1, -1};
    std::string editorOriginal_;

    int sizingCol_ = -1;
    int sizingRow_ = -1;
    int sizingStart_ = 0;
    int sizingOrigin_ = 0;

    Bitmap buffer_;
    Canvas* paintCanvas_ = nullptr;
    SCROLLINFO lastV_{};
    SCROLLINFO lastH_{};
};

}  // namespace tk
