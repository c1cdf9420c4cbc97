// Associate: the file-association component. See Associate.h.
#include "installer/Associate.h"

#include "toolkit/Streaming.h"

#include <shlobj.h>

#include <vector>

namespace {

const tk::ClassRegistration<TAssociate> kAssociateReg("TAssociate", "TComponent", [](auto& c) {
    c.Property("KeyName", &TAssociate::KeyName, &TAssociate::SetKeyName)
        .Property("PathToApp", &TAssociate::PathToApp, &TAssociate::SetPathToApp)
        .Property("IconPath", &TAssociate::IconPath, &TAssociate::SetIconPath)
        .Property("Icon", &TAssociate::Icon, &TAssociate::SetIcon)
        .Property("ShellCmd", &TAssociate::ShellCmd, &TAssociate::SetShellCmd)
        .Property("Shell", &TAssociate::Shell, &TAssociate::SetShell)
        .Property("TypeName", &TAssociate::TypeName, &TAssociate::SetTypeName)
        .Property("ShowInNew", &TAssociate::ShowInNew, &TAssociate::SetShowInNew)
        .Property("QuickView", &TAssociate::QuickView, &TAssociate::SetQuickView);
});

const char kCreatedMark[] = "AssociationCreated";
const char kSavedPrefix[] = "OldAssociation";
// Leads the saved copy of a REG_NONE value, whose empty copy would read as
// "there was no value".
const char kNoneMarker = '\x01';

std::string SavedName(const std::string& name)
{
    return name.empty() ? std::string(kSavedPrefix) : std::string(kSavedPrefix) + " " + name;
}

// Scopes an operation's registry accessor to the operation.
class OperationRegistry {
public:
    explicit OperationRegistry(std::unique_ptr<TRegistry>& slot) : slot_(slot)
    {
        slot_ = std::make_unique<TRegistry>(HKEY_CLASSES_ROOT);
    }
    ~OperationRegistry() { slot_.reset(); }

private:
    std::unique_ptr<TRegistry>& slot_;
};

template <class T>
void Store(T& field, const T& value)
{
    if (field != value)
        field = value;
}

} // namespace

TAssociate::TAssociate() : FShellCmd("Open") {}

TAssociate::~TAssociate() = default;

void TAssociate::SetKeyName(const std::string& value) { Store(FKeyName, value); }
void TAssociate::SetPathToApp(const std::string& value) { Store(FPathToApp, value); }
void TAssociate::SetIconPath(const std::string& value) { Store(FIconPath, value); }
void TAssociate::SetIcon(int value) { Store(FIcon, value); }
void TAssociate::SetShellCmd(const std::string& value) { Store(FShellCmd, value); }
void TAssociate::SetShell(const std::string& value) { Store(FShell, value); }
void TAssociate::SetTypeName(const std::string& value) { Store(FTypeName, value); }
void TAssociate::SetShowInNew(bool value) { Store(FShowInNew, value); }
void TAssociate::SetQuickView(bool value) { Store(FQuickView, value); }

std::string TAssociate::DottedExtension(const std::string& Ext)
{
    const std::size_t dot = Ext.find('.');
    if (dot != std::string::npos && dot >= 1)
        return Ext.substr(dot);
    if (!Ext.empty() && Ext.front() == '.')
        return Ext;
    return "." + Ext;
}

std::string TAssociate::UndottedExtension(const std::string& Ext)
{
    return (!Ext.empty() && Ext.front() == '.') ? Ext.substr(1) : Ext;
}

std::string TAssociate::IconText() const
{
    return FIconPath + "," + std::to_string(FIcon);
}

std::string TAssociate::ReadDefault(const std::string& path)
{
    FReg->CloseKey();
    if (!FReg->OpenKey("\\" + path, false))
        return std::string();
    std::string value = FReg->ReadString("");
    FReg->CloseKey();
    return value;
}

void TAssociate::WriteValue(const std::string& path, const std::string& name, const std::string& value)
{
    // Which key of the path is the first missing one, and whether the path
    // runs through a key that an association created.
    std::string prefix;
    std::string firstMissing;
    bool insideCreated = false;
    std::size_t start = 0;
    while (start <= path.size() && firstMissing.empty()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        prefix = path.substr(0, end);
        start = end + 1;
        if (!FReg->KeyExists(prefix)) {
            firstMissing = prefix;
        } else if (!insideCreated) {
            FReg->CloseKey();
            insideCreated = FReg->OpenKey("\\" + prefix, false) && FReg->ValueExists(kCreatedMark);
        }
    }

    FReg->CloseKey();
    if (!firstMissing.empty() && FReg->OpenKey("\\" + firstMissing, true)) {
        if (!insideCreated)
            FReg->WriteString(kCreatedMark, std::string());
        FReg->CloseKey();
    }
    // A key that cannot be opened leaves no key open: the write below raises.
    FReg->OpenKey("\\" + path, true);
    if (firstMissing.empty() && !insideCreated && FReg->CurrentKey()) {
        const std::string saved = SavedName(name);
        if (!FReg->ValueExists(saved)) {
            TRegistryValue original;
            if (FReg->ReadValue(name, original)) {
                if (original.type == REG_NONE)
                    original.data.insert(0, 1, kNoneMarker);
                FReg->WriteValue(saved, original);
            } else {
                FReg->WriteValue(saved, TRegistryValue{REG_NONE, std::string()});
            }
        }
    }
    FReg->WriteString(name, value);
}

void TAssociate::WriteTypeKey(const std::string& path, bool keepName)
{
    if (!keepName)
        WriteValue(path, "", FTypeName);
    WriteValue(path + "\\DefaultIcon", "", IconText());
    WriteValue(path + "\\Shell\\" + FShellCmd + "\\Command", "", FShell);
    if (FQuickView)
        WriteValue(path + "\\QuickView", "", "*");
    else
        FReg->DeleteKey(path + "\\QuickView");
}

void TAssociate::NotifyShell()
{
    FReg->CloseKey();
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
}

void TAssociate::RegisterFileType()
{
    if (FKeyName.empty())
        throw EAssociateError("No file type name was given.");
    OperationRegistry operation(FReg);
    WriteTypeKey(FKeyName, false);
    NotifyShell();
}

void TAssociate::AssociateExtension(const std::string& Ext)
{
    const std::string E = DottedExtension(Ext);
    if (E == ".")
        throw EAssociateError("No file name extension was given.");
    OperationRegistry operation(FReg);
    std::string T;
    if (FReg->KeyExists(E)) {
        T = ReadDefault(E);
        // An extension bound to no type gets a type of its own: an empty
        // name would stand for the root of the file types.
        if (T.empty()) {
            T = UndottedExtension(E) + "file";
            WriteValue(E, "", T);
        }
    } else {
        T = UndottedExtension(E) + "file";
        WriteValue(E, "", T);
    }
    if (FShowInNew)
        WriteValue(E + "\\ShellNew", "NullFile", std::string());
    else
        FReg->DeleteKey(E + "\\ShellNew");

    const bool typeExists = FReg->KeyExists(T);
    WriteTypeKey(T, typeExists && !ReadDefault(T).empty());
    NotifyShell();
}

void TAssociate::RestoreKey(const std::string& path)
{
    FReg->CloseKey();
    if (!FReg->OpenKey("\\" + path, false))
        return;
    if (FReg->ValueExists(kCreatedMark)) {
        FReg->CloseKey();
        FReg->DeleteKey(path);
        return;
    }
    const std::string prefix = kSavedPrefix;
    for (const std::string& saved : FReg->ValueNames()) {
        if (saved.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string name;
        if (saved.size() > prefix.size()) {
            if (saved[prefix.size()] != ' ')
                continue;
            name = saved.substr(prefix.size() + 1);
        }
        TRegistryValue copy;
        FReg->ReadValue(saved, copy);
        if (copy.type == REG_NONE && copy.data.empty()) {
            FReg->DeleteValue(name);
        } else {
            if (copy.type == REG_NONE)
                copy.data.erase(0, 1);
            FReg->WriteValue(name, copy);
        }
        FReg->DeleteValue(saved);
    }
    for (const std::string& sub : FReg->SubKeyNames())
        RestoreKey(JoinKey(path, sub));
}

void TAssociate::RemoveAssociation(const std::string& Ext)
{
    const std::string E = DottedExtension(UndottedExtension(DottedExtension(Ext)));
    if (E == ".")
        throw EAssociateError("No file name extension was given.");
    OperationRegistry operation(FReg);
    const std::string T = FReg->KeyExists(E) ? ReadDefault(E) : std::string();
    if (!T.empty())
        RestoreKey(T);
    if (!FKeyName.empty() && ::lstrcmpiA(FKeyName.c_str(), T.c_str()) != 0)
        RestoreKey(FKeyName);
    RestoreKey(E);
    NotifyShell();
}
