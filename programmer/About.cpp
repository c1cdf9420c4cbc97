// About: the About box. Everything it shows comes from its description.
#include "programmer/About.h"

#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"

namespace {
const tk::ClassRegistration<TAboutBox> kAboutBoxReg("TAboutBox", "TForm");
}  // namespace

TAboutBox::TAboutBox() {
    BindField("TitleLabel", TitleLabel);
    BindField("OKButton", OKButton);
    ReadDescription();
}

TAboutBox::~TAboutBox() = default;
