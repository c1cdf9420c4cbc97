// MessageDialogs: the toolkit's own message boxes. Captions and button texts
// come from the string table (ids in ToolkitStrings.h) of the active
// resource module, so they follow the language; every box goes through the
// message seam (Services.h).
#pragma once

#include "toolkit/Services.h"

#include <string>

namespace tk {

// A box of `type` with `buttons`; captioned with the type's name ("Warning",
// "Error", "Information", "Confirm") or, for mtCustom, the application title.
ModalResult MessageDlg(const std::string& text, MsgDlgType type, MsgDlgButtons buttons);
// A plain box with an OK button captioned with the application title.
void ShowMessage(const std::string& text);
// A box with an explicit caption.
ModalResult MessageBoxWithCaption(const std::string& text, const std::string& caption, MsgDlgType type,
                                  MsgDlgButtons buttons);

// The caption MessageDlg uses for a type.
std::string MessageCaption(MsgDlgType type);

// The real message service: a dialog window of the toolkit.
class DialogMessageService : public MessageService {
public:
    ModalResult Show(const MessageRequest& request) override;
};

}  // namespace tk
