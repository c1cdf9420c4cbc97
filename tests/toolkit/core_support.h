// Small controls and a form used by the toolkit core tests: they exercise
// the base classes without depending on the concrete control library.
#pragma once

#include "toolkit/Canvas.h"
#include "toolkit/Forms.h"
#include "toolkit/Streaming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace coretest {

// Handles every message that is already queued (bounded, never waits).
inline void Pump() {
    MSG msg;
    for (int i = 0; i < 500 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        tk::App().ProcessMessage(msg);
    }
}

// A windowed control that fills itself with its colour.
class TestPanel : public tk::CustomControl {
public:
    TestPanel() {
        SetControlStyle(GetControlStyle() | tk::csAcceptsControls);
        SetBounds(0, 0, 50, 50);
    }
    bool popup = false;
    int paints = 0;

protected:
    void CreateParams(tk::WindowCreateParams& p) override {
        CustomControl::CreateParams(p);
        if (popup) {
            p.style = (p.style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
            POINT origin = Parent() ? Parent()->ClientToScreen(POINT{Left(), Top()}) : POINT{Left(), Top()};
            p.x = origin.x;
            p.y = origin.y;
        }
    }
    void Paint(tk::Canvas& canvas) override {
        ++paints;
        canvas.brush.color = GetColor();
        canvas.FillRect(ClientRect());
    }
};

// A push button over the system BUTTON class, clicked by Enter or Esc when
// it is the default or cancel button.
class TestButton : public tk::WinControl, public tk::DialogButton {
public:
    TestButton() {
        // Clicks come from BN_CLICKED, not from the mouse handling.
        SetControlStyle(tk::csSetCaption | tk::csDoubleClicks);
        SetTabStop(true);
        SetBounds(0, 0, 75, 25);
    }
    bool IsDefault() const override { return default_; }
    bool IsCancel() const override { return cancel_; }
    void SetDefault(bool v) { default_ = v; }
    void SetCancel(bool v) { cancel_ = v; }
    bool Default() const { return default_; }
    bool CancelButton() const { return cancel_; }
    void Click() override { tk::WinControl::Click(); }
    int modalResult = 0;

protected:
    void CreateParams(tk::WindowCreateParams& p) override {
        WinControl::CreateParams(p);
        p.systemClass = "BUTTON";
        p.style |= BS_PUSHBUTTON;
    }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == tk::CN_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            Click();
            if (modalResult)
                if (tk::Form* f = ParentForm()) f->SetModalResult(modalResult);
            return 0;
        }
        return WinControl::WndProc(msg, wParam, lParam);
    }

private:
    bool default_ = false;
    bool cancel_ = false;
};

// A check mark whose setter runs OnClick, as check boxes do, except while a
// description is being read.
class TestCheck : public tk::Control {
public:
    bool Checked() const { return checked_; }
    void SetChecked(bool v) {
        if (v == checked_) return;
        checked_ = v;
        if (!IsReading() && !tk::IsReadingDescription()) Click();
    }

private:
    bool checked_ = false;
};

// A windowless control that paints its colour and records its mouse input.
class TestGraphic : public tk::Control {
public:
    TestGraphic() { SetControlStyle(tk::csCaptureMouse | tk::csClickEvents); }
    std::vector<std::string> events;

protected:
    void Paint(tk::Canvas& canvas) override {
        canvas.brush.color = GetColor();
        canvas.FillRect(ClientRect());
    }
    void MouseDown(tk::MouseButton, tk::ShiftState, int x, int y) override {
        events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseMove(tk::ShiftState, int x, int y) override {
        events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseUp(tk::MouseButton, tk::ShiftState, int x, int y) override {
        events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    }
    void Click() override { events.push_back("click"); }
};

// Owns keyboard shortcuts the way an action list does.
class TestShortCuts : public tk::Component, public tk::ShortCutHandler {
public:
    WORD key = VK_F2;
    tk::ShiftState shift = tk::ssCtrl;
    int runs = 0;
    bool IsShortCut(WORD k, tk::ShiftState s) override {
        if (k != key || s != shift) return false;
        ++runs;
        return true;
    }
};

// The form of the description TTESTFORM in the test resources.
class TTestForm : public tk::Form {
public:
    TTestForm() {
        BindHandler("FormCreate", &TTestForm::FormCreate);
        BindHandler("FormKeyDown", &TTestForm::FormKeyDown);
        BindHandler("OkButtonClick", &TTestForm::OkButtonClick);
        BindHandler("CancelButtonClick", &TTestForm::CancelButtonClick);
        BindHandler("OptionClick", &TTestForm::OptionClick);
        BindField("TopPanel", TopPanel);
        BindField("BottomPanel", BottomPanel);
        BindField("LeftPanel", LeftPanel);
        BindField("ClientPanel", ClientPanel);
        BindField("OkButton", OkButton);
        BindField("CancelButton", CancelButton);
        BindField("Marker", Marker);
        BindField("Option", Option);
        ReadDescription();
    }

    TestPanel* TopPanel = nullptr;
    TestPanel* BottomPanel = nullptr;
    TestPanel* LeftPanel = nullptr;
    TestPanel* ClientPanel = nullptr;
    TestButton* OkButton = nullptr;
    TestButton* CancelButton = nullptr;
    TestGraphic* Marker = nullptr;
    TestCheck* Option = nullptr;

    std::vector<std::string> log;
    std::function<void()> onOk;

    void FormCreate(tk::Component* sender) { log.push_back(sender == this ? "create" : "create?"); }
    void FormKeyDown(tk::Component*, WORD& key, tk::ShiftState) {
        log.push_back("key " + std::to_string(key));
        if (key == VK_F9) key = 0;
    }
    void OkButtonClick(tk::Component* sender) {
        log.push_back(sender == OkButton ? "ok" : "ok?");
        if (onOk) onOk();
    }
    void CancelButtonClick(tk::Component*) { log.push_back("cancel"); }
    void OptionClick(tk::Component*) { log.push_back("option"); }
};

}  // namespace coretest
