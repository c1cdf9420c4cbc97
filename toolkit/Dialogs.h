// Dialogs: the open-file and save-file dialog components. Execute goes
// through the file-dialog seam (Services.h), so tests answer the dialog; the
// real service shows the system's common dialog.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Services.h"

#include <string>
#include <vector>

namespace tk {

enum OpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofShowHelp = 1u << 4,
    ofNoValidate = 1u << 5,
    ofAllowMultiSelect = 1u << 6,
    ofExtensionDifferent = 1u << 7,
    ofPathMustExist = 1u << 8,
    ofFileMustExist = 1u << 9,
    ofCreatePrompt = 1u << 10,
    ofShareAware = 1u << 11,
    ofNoReadOnlyReturn = 1u << 12,
    ofNoTestFileCreate = 1u << 13,
    ofNoNetworkButton = 1u << 14,
    ofNoLongNames = 1u << 15,
    ofOldStyleDialog = 1u << 16,
    ofNoDereferenceLinks = 1u << 17,
    ofEnableIncludeNotify = 1u << 18,
    ofEnableSizing = 1u << 19,
};
using OpenOptions = unsigned;

// The OFN_* flags for a set of options.
DWORD OpenOptionsToFlags(OpenOptions options);

class OpenDialog : public Component {
public:
    OpenDialog();

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    const std::string& Filter() const { return filter_; }
    // "Hex files (*.hex)|*.hex|All files (*.*)|*.*"
    void SetFilter(const std::string& filter) { filter_ = filter; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& dir) { initialDir_ = dir; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& ext) { defaultExt_ = ext; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    OpenOptions Options() const { return options_; }
    void SetOptions(OpenOptions options) { options_ = options; }
    // With ofAllowMultiSelect, every chosen file (else just FileName).
    const std::vector<std::string>& Files() const { return files_; }

    // Shows the dialog; on OK FileName, Files and FilterIndex hold the choice.
    bool Execute();

protected:
    virtual bool IsSave() const { return false; }

private:
    std::string fileName_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string initialDir_;
    std::string defaultExt_;
    std::string title_;
    OpenOptions options_ = ofHideReadOnly | ofEnableSizing;
    std::vector<std::string> files_;
};

class SaveDialog : public OpenDialog {
protected:
    bool IsSave() const override { return true; }
};

// The real service: GetOpenFileName / GetSaveFileName.
class CommonFileDialogService : public FileDialogService {
public:
    bool Execute(FileDialogRequest& request) override;
};

// Splits the zero-separated multi-select answer ("dir\0a\0b\0\0") into full
// paths; a single name comes back alone.
std::vector<std::string> SplitMultiSelect(const char* buffer);

}  // namespace tk
