// Associate: the file-association component. It writes a file type and binds
// a file-name extension to it under HKEY_CLASSES_ROOT, and removes such a
// binding again. Removal restores what was there before: every value that
// an association replaced in a key it did not create is saved once, beside
// it, before its first replacement, with its type and bytes (the default
// under "OldAssociation", another value V under "OldAssociation V"; a value
// that did not exist is saved as an empty REG_NONE record, a REG_NONE value
// with one leading marker byte), and the topmost key that an
// association had to create carries the mark "AssociationCreated", so that
// removal deletes exactly the keys it made and restores the rest.
#pragma once

#include "installer/Registry.h"
#include "toolkit/Component.h"

#include <memory>
#include <string>

class TAssociate : public tk::Component {
public:
    TAssociate();
    ~TAssociate() override;

    const std::string& KeyName() const { return FKeyName; }
    void SetKeyName(const std::string& value);
    const std::string& PathToApp() const { return FPathToApp; }
    void SetPathToApp(const std::string& value);
    const std::string& IconPath() const { return FIconPath; }
    void SetIconPath(const std::string& value);
    int Icon() const { return FIcon; }
    void SetIcon(int value);
    const std::string& ShellCmd() const { return FShellCmd; }
    void SetShellCmd(const std::string& value);
    const std::string& Shell() const { return FShell; }
    void SetShell(const std::string& value);
    const std::string& TypeName() const { return FTypeName; }
    void SetTypeName(const std::string& value);
    bool ShowInNew() const { return FShowInNew; }
    void SetShowInNew(bool value);
    bool QuickView() const { return FQuickView; }
    void SetQuickView(bool value);

    // Writes the type key named by KeyName (an empty KeyName raises: it
    // would name the root of the file types).
    void RegisterFileType();
    // Binds Ext (with or without its dot, not empty) to a type key: the one
    // its key already names, else UndottedExtension + "file".
    void AssociateExtension(const std::string& Ext);
    // Undoes AssociateExtension for Ext and RegisterFileType for KeyName,
    // whatever verb ShellCmd names now.
    void RemoveAssociation(const std::string& Ext);

    static std::string DottedExtension(const std::string& Ext);
    static std::string UndottedExtension(const std::string& Ext);

private:
    std::string IconText() const;
    // Writes one value of the key at path, creating the key; saves the value
    // it replaces, or marks the key it created (see the file comment).
    void WriteValue(const std::string& path, const std::string& name, const std::string& value);
    std::string ReadDefault(const std::string& path);
    // Writes the type key at path: its name, icon, verb and QuickView.
    void WriteTypeKey(const std::string& path, bool keepName);
    void RestoreKey(const std::string& path);
    void NotifyShell();

    std::string FKeyName;
    std::string FPathToApp;
    std::string FIconPath;
    int FIcon = 0;
    std::string FShellCmd;
    std::string FShell;
    std::string FTypeName;
    bool FShowInNew = false;
    bool FQuickView = false;
    // The accessor of the running operation.
    std::unique_ptr<TRegistry> FReg;
};

// Raised for calls that would touch the root of the file types.
class EAssociateError : public tk::Exception {
public:
    using tk::Exception::Exception;
};
