// ComCtrls: the status bar with text panels, the progress bar and the
// rich-text log. The status and progress setters run inside device loops
// once per address; they only store the value and arm one short timer, and
// the window is brought up to date once per timer tick (or by Flush), since
// each real update of these common controls repaints at once.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Streaming.h"

#include <memory>
#include <string>
#include <vector>

namespace tk {

class StatusBar;

enum StatusPanelBevel { pbNone, pbLowered, pbRaised };
enum StatusPanelStyle { psText, psOwnerDraw };

class StatusPanel : public Persistent {
public:
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    int Width() const { return width_; }
    void SetWidth(int width);
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment a);
    StatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(StatusPanelBevel b);
    StatusPanelStyle Style() const { return style_; }
    void SetStyle(StatusPanelStyle s);
    int Index() const { return index_; }

private:
    friend class StatusPanels;
    void Changed(bool layout);

    StatusBar* bar_ = nullptr;
    int index_ = 0;
    std::string text_;
    int width_ = 50;
    Alignment alignment_ = taLeftJustify;
    StatusPanelBevel bevel_ = pbLowered;
    StatusPanelStyle style_ = psText;
};

class StatusPanels : public CollectionBase {
public:
    explicit StatusPanels(StatusBar& bar) : bar_(bar) {}
    std::size_t Count() const override { return items_.size(); }
    StatusPanel& Item(std::size_t index) override { return *items_.at(index); }
    StatusPanel& operator[](std::size_t index) { return *items_.at(index); }
    const StatusPanel& operator[](std::size_t index) const { return *items_.at(index); }
    StatusPanel& Add() override;
    void Clear() override;
    std::string ItemClassName() const override { return "TStatusPanel"; }

private:
    StatusBar& bar_;
    std::vector<std::unique_ptr<StatusPanel>> items_;
};

// Draws an owner-drawn panel (Style psOwnerDraw) into rect.
using DrawPanelEvent = std::function<void(Component* sender, StatusPanel& panel, Canvas& canvas, RECT rect)>;

// Delay between a setter and the window's update.
constexpr unsigned kDeferredPaintMs = 30;

class StatusBar : public WinControl {
public:
    StatusBar();
    ~StatusBar() override;

    StatusPanels& Panels() { return panels_; }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool on);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& text);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool on);

    // Brings the window up to date now (no-op when nothing is pending).
    void Flush();
    bool FlushPending() const { return dirtyLayout_ || !dirtyPanels_.empty() || dirtySimple_; }
    // Number of times the window was actually updated (for measurements).
    unsigned FlushCount() const { return flushCount_; }

    DrawPanelEvent OnDrawPanel;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(WindowCreateParams& params) override;
    void CreateWnd() override;
    void Resize() override;

private:
    friend class StatusPanel;
    friend class StatusPanels;
    void PanelChanged(int index, bool layout);
    void Schedule();
    void SendParts();
    void SendPanelText(int index);

    StatusPanels panels_{*this};
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
    bool dirtyLayout_ = true;
    bool dirtySimple_ = false;
    std::vector<int> dirtyPanels_;
    bool timerArmed_ = false;
    unsigned flushCount_ = 0;
};

class ProgressBar : public WinControl {
public:
    ProgressBar();
    ~ProgressBar() override;

    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const { return position_; }
    // Clamped to Min..Max; stored at once, drawn at the next tick.
    void SetPosition(int v);
    int Step() const { return step_; }
    void SetStep(int v) { step_ = v; }
    void StepIt() { SetPosition(position_ + step_); }
    void StepBy(int delta) { SetPosition(position_ + delta); }
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool on);
    bool Vertical() const { return vertical_; }
    void SetVertical(bool on);

    void Flush();
    bool FlushPending() const { return dirtyPos_ || dirtyRange_; }
    unsigned FlushCount() const { return flushCount_; }

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(WindowCreateParams& params) override;
    void CreateWnd() override;

private:
    void Schedule();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int step_ = 10;
    bool smooth_ = false;
    bool vertical_ = false;
    bool dirtyPos_ = false;
    bool dirtyRange_ = false;
    bool timerArmed_ = false;
    unsigned flushCount_ = 0;
};

enum RichScrollBars { rsNone, rsHorizontal, rsVertical, rsBoth };

// A read-mostly log of coloured lines over the system's rich edit control.
// The lines live in the object (the window is rebuilt from them).
class RichEdit : public WinControl {
public:
    struct Line {
        std::string text;
        Color color;
    };

    RichEdit();

    // Colour of the lines added from now on (clDefault: the font's colour).
    Color TextColor() const { return textColor_; }
    void SetTextColor(Color c) { textColor_ = c; }
    void AddLine(const std::string& text);
    void AddLine(const std::string& text, Color c) {
        SetTextColor(c);
        AddLine(text);
    }
    void Clear();
    std::size_t LineCount() const { return lines_.size(); }
    const Line& Lines(std::size_t index) const { return lines_.at(index); }
    void SetLines(const std::vector<std::string>& lines);
    std::vector<std::string> LineTexts() const;

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    RichScrollBars ScrollBars() const { return scrollBars_; }
    void SetScrollBars(RichScrollBars s);
    BorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(BorderStyle s);

    // Colour of the text at a character position of the window (reads the
    // control itself; clNone without a window).
    Color ColorAt(int charIndex);
    // Character index where line `index` starts in the window.
    int LineStart(int index);

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ColorChanged() override;
    void FontChanged() override;

protected:
    void CreateParams(WindowCreateParams& params) override;
    void CreateWnd() override;

private:
    void AppendToWindow(const Line& line, bool first);

    std::vector<Line> lines_;
    Color textColor_ = clDefault;
    bool readOnly_ = false;
    bool wordWrap_ = true;
    RichScrollBars scrollBars_ = rsNone;
    BorderStyle borderStyle_ = bsSingle;
};

}  // namespace tk
