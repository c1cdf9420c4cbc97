// About: the About box, a small fixed window with the product's title and
// an OK button. Its layout and texts come from its window description.
#pragma once

#include "toolkit/Forms.h"

namespace tk {
class Label;
class BitBtn;
}  // namespace tk

class TAboutBox : public tk::Form {
public:
    TAboutBox();
    ~TAboutBox() override;

    tk::Label* TitleLabel = nullptr;
    tk::BitBtn* OKButton = nullptr;
};
