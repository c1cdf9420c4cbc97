// Registrations of the core tests' classes.
#include "core_support.h"

namespace coretest {
namespace {

const tk::ClassRegistration<TestPanel> g_panel("TTestPanel", "TCustomControl");
const tk::ClassRegistration<TestButton> g_button("TTestButton", "TWinControl", [](auto& c) {
    c.Property("Default", &TestButton::Default, &TestButton::SetDefault);
    c.Property("Cancel", &TestButton::CancelButton, &TestButton::SetCancel);
});
const tk::ClassRegistration<TestCheck> g_check("TTestCheck", "TControl", [](auto& c) {
    c.Property("Checked", &TestCheck::Checked, &TestCheck::SetChecked);
});
const tk::ClassRegistration<TestGraphic> g_graphic("TTestGraphic", "TControl");
const tk::ClassRegistration<TestShortCuts> g_shortcuts("TTestShortCuts", "TComponent");
const tk::ClassRegistration<TTestForm> g_form("TTestForm", "TForm");

}  // namespace
}  // namespace coretest
