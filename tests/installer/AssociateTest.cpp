// The file-association component in the test prefix's real HKEY_CLASSES_ROOT:
// what the install road's three calls write, and that removal puts back
// exactly what was there, whether ".ZLT" was unknown, bound to a foreign
// type, or bound to no type at all.
#include "InstallerTestSupport.h"
#include "installer/Associate.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

namespace {

const char kProductKey[] = "Zelto Raz-Edezadu Divudavizu";

std::string Value(const std::string& key, const std::string& name = std::string())
{
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (::RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_ANY, nullptr,
                       buffer, &size) != ERROR_SUCCESS)
        return "<none>";
    return buffer;
}

class Association : public ::testing::Test {
protected:
    Association() { Clean(); }
    ~Association() override { Clean(); }

    static void Clean()
    {
        for (const char* key : {".ZLT", "ZLTfile", kProductKey, "ForeignZltType"})
            ::SHDeleteKeyA(HKEY_CLASSES_ROOT, key);
    }

    // The install road's calls, in its order.
    void Install(const std::string& folder = "C:\\Program Files\\Zelto\\")
    {
        associate.SetKeyName(kProductKey);
        associate.SetIconPath(folder + "ZeltoPrg.exe");
        associate.SetIcon(0);
        associate.SetShellCmd("Open");
        associate.SetShell("\"" + folder + "ZeltoPrg.exe\" \"%1\"");
        associate.SetTypeName("Zelto Raz-Edezadu Divudavizu script");
        associate.SetShowInNew(true);
        associate.SetQuickView(true);
        associate.RegisterFileType();
        associate.AssociateExtension(".ZLT");
        associate.SetShellCmd("Edit");
        associate.SetShell("Notepad.exe \"%1\"");
        associate.AssociateExtension(".ZLT");
    }

    TAssociate associate;
};

} // namespace

TEST(AssociateNames, DottedAndUndottedExtensions)
{
    EXPECT_EQ(TAssociate::DottedExtension("ZLT"), ".ZLT");
    EXPECT_EQ(TAssociate::DottedExtension(".ZLT"), ".ZLT");
    EXPECT_EQ(TAssociate::DottedExtension("a.b.c"), ".b.c");
    EXPECT_EQ(TAssociate::DottedExtension("x.ZLT"), ".ZLT");
    EXPECT_EQ(TAssociate::UndottedExtension(".ZLT"), "ZLT");
    EXPECT_EQ(TAssociate::UndottedExtension("ZLT"), "ZLT");
}

TEST_F(Association, InstallOnACleanSystemWritesTheTypeAndRemovalDeletesEveryKeyItMade)
{
    const std::string before = InstallationFootprint();
    Install();
    EXPECT_EQ(Value(".ZLT"), "ZLTfile");
    EXPECT_EQ(Value(".ZLT\\ShellNew", "NullFile"), "");
    EXPECT_EQ(Value("ZLTfile"), "Zelto Raz-Edezadu Divudavizu script");
    EXPECT_EQ(Value("ZLTfile\\DefaultIcon"), "C:\\Program Files\\Zelto\\ZeltoPrg.exe,0");
    EXPECT_EQ(Value("ZLTfile\\Shell\\Open\\Command"), "\"C:\\Program Files\\Zelto\\ZeltoPrg.exe\" \"%1\"");
    EXPECT_EQ(Value("ZLTfile\\Shell\\Edit\\Command"), "Notepad.exe \"%1\"");
    EXPECT_EQ(Value("ZLTfile\\QuickView"), "*");
    // Nothing of the installer's own values is "saved" as an earlier one.
    EXPECT_EQ(Value("ZLTfile\\DefaultIcon", "OldAssociation"), "<none>");
    EXPECT_EQ(Value(std::string(kProductKey) + "\\Shell\\Open\\Command"),
              "\"C:\\Program Files\\Zelto\\ZeltoPrg.exe\" \"%1\"");
    EXPECT_EQ(Value(std::string(kProductKey) + "\\QuickView"), "*");

    // A fresh component, as in a later run of the installer: Edit, not Open, is its verb.
    TAssociate later;
    later.SetKeyName(kProductKey);
    later.SetShellCmd("Edit");
    later.RemoveAssociation("ZLT");
    EXPECT_EQ(InstallationFootprint(), before);
}

TEST_F(Association, AForeignBindingIsSavedOnceAndRestoredWhateverTheInstallerWroteTwice)
{
    SetRegistryString(HKEY_CLASSES_ROOT, ".ZLT", "", "ForeignZltType");
    SetRegistryString(HKEY_CLASSES_ROOT, "ForeignZltType", "", "Foreign script");
    SetRegistryString(HKEY_CLASSES_ROOT, "ForeignZltType\\DefaultIcon", "", "C:\\Foreign\\f.exe,3");
    SetRegistryString(HKEY_CLASSES_ROOT, "ForeignZltType\\Shell\\Open\\Command", "", "C:\\Foreign\\f.exe \"%1\"");
    const std::string before = InstallationFootprint();

    Install("C:\\First\\");
    Install("C:\\Second\\");
    EXPECT_EQ(Value(".ZLT"), "ForeignZltType");
    EXPECT_EQ(Value("ForeignZltType"), "Foreign script");
    EXPECT_EQ(Value("ForeignZltType\\Shell\\Open\\Command"), "\"C:\\Second\\ZeltoPrg.exe\" \"%1\"");
    // The value saved is the foreign one, not what the first install wrote.
    EXPECT_EQ(Value("ForeignZltType\\DefaultIcon", "OldAssociation"), "C:\\Foreign\\f.exe,3");
    EXPECT_EQ(Value("ForeignZltType\\Shell\\Open\\Command", "OldAssociation"), "C:\\Foreign\\f.exe \"%1\"");

    associate.RemoveAssociation(".ZLT");
    EXPECT_EQ(InstallationFootprint(), before);
    EXPECT_EQ(Value("ForeignZltType\\Shell\\Open\\Command"), "C:\\Foreign\\f.exe \"%1\"");
}

TEST_F(Association, ReplacedValuesComeBackWithTheirTypeAndBytes)
{
    SetRegistryString(HKEY_CLASSES_ROOT, ".ZLT", "", "ForeignZltType");
    SetRegistryValue(HKEY_CLASSES_ROOT, ".ZLT\\ShellNew", "NullFile", REG_BINARY, std::string("\x01\x00\x02", 3));
    SetRegistryValue(HKEY_CLASSES_ROOT, "ForeignZltType\\DefaultIcon", "", REG_EXPAND_SZ,
                     std::string("%SystemRoot%\\f.exe,3", 21));
    SetRegistryValue(HKEY_CLASSES_ROOT, "ForeignZltType\\Shell\\Open\\Command", "", REG_EXPAND_SZ,
                     std::string("\"%ProgramFiles%\\f.exe\" \"%1\"", 28));
    SetRegistryValue(HKEY_CLASSES_ROOT, "ForeignZltType\\QuickView", "", REG_NONE, std::string("\x00\x07", 2));
    const std::string before = InstallationFootprint();

    Install();
    EXPECT_EQ(Value("ForeignZltType\\DefaultIcon"), "C:\\Program Files\\Zelto\\ZeltoPrg.exe,0");
    associate.RemoveAssociation(".ZLT");
    EXPECT_EQ(InstallationFootprint(), before);
}

TEST_F(Association, AnExtensionBoundToNoTypeGetsItsOwnAndTheRootIsNeverTouched)
{
    SetRegistryString(HKEY_CLASSES_ROOT, ".ZLT", "Content Type", "text/plain");
    const std::string before = InstallationFootprint();
    const std::string rootIcon = Value("DefaultIcon");

    Install();
    EXPECT_EQ(Value(".ZLT"), "ZLTfile");
    EXPECT_EQ(Value("ZLTfile\\Shell\\Open\\Command"), "\"C:\\Program Files\\Zelto\\ZeltoPrg.exe\" \"%1\"");
    EXPECT_EQ(Value("DefaultIcon"), rootIcon);
    EXPECT_EQ(Value("Shell\\Open\\Command"), "<none>");

    associate.RemoveAssociation(".ZLT");
    EXPECT_EQ(InstallationFootprint(), before);

    TAssociate unnamed;
    EXPECT_THROW(unnamed.RegisterFileType(), EAssociateError);
    EXPECT_THROW(unnamed.AssociateExtension(""), EAssociateError);
}

TEST_F(Association, WithoutQuickViewRegisteringDeletesAnExistingQuickViewEntry)
{
    Install();
    associate.SetQuickView(false);
    associate.RegisterFileType();
    EXPECT_EQ(Value(std::string(kProductKey) + "\\QuickView"), "<none>");
    EXPECT_EQ(Value(std::string(kProductKey) + "\\DefaultIcon"), "C:\\Program Files\\Zelto\\ZeltoPrg.exe,0");
}
