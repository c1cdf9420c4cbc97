// TVersionInfo on fixture libraries built with different version resources,
// and on this test program's own resource.
#include "components/VersionInfo.h"
#include "tests/support/TestLibraries.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Fixture(const std::string& variant)
{
    return TestLibraryFolder() + "VerFix" + variant + ".dll";
}

TEST(VersionInfo, ReadsTheRunningProgramByDefault)
{
    TVersionInfo info;
    EXPECT_TRUE(info.AutoGetInfo());
    EXPECT_EQ(info.FileName(), TVersionInfo::ProgramFileName());
    ASSERT_TRUE(info.HaveVersionInfo());
    EXPECT_EQ(info.FileVersionMS(), 0x00090008u);
    EXPECT_EQ(info.FileVersionLS(), 0x00070006u);
    EXPECT_EQ(info.TranslationKey(), "041004E4");
    EXPECT_EQ(info.GetValue("CompanyName"), "Components Test Program");
}

TEST(VersionInfo, FullResourceFillsEveryField)
{
    TVersionInfo info;
    info.SetFileName(Fixture("Full"));
    info.GetFileInfo();
    ASSERT_TRUE(info.HaveVersionInfo());
    EXPECT_GT(info.InfoSize(), 0u);
    EXPECT_EQ(info.Signature(), 0xFEEF04BDu);
    EXPECT_EQ(info.StrucVersion(), 0x00010000u);
    EXPECT_EQ(info.FileVersionMS(), 0x00010002u);
    EXPECT_EQ(info.FileVersionLS(), 0x00030004u);
    EXPECT_EQ(info.ProductVersionMS(), 0x00050006u);
    EXPECT_EQ(info.ProductVersionLS(), 0x00070008u);
    EXPECT_EQ(info.FileFlagsMask(), 0x3Fu);
    EXPECT_EQ(info.FileFlags(), 0x2u);
    EXPECT_EQ(info.FileOS(), 0x40004u);
    EXPECT_EQ(info.FileType(), 0x2u);
    EXPECT_EQ(info.FileSubtype(), 0u);
    EXPECT_EQ(info.FileDateMS(), 0u);
    EXPECT_EQ(info.FileDateLS(), 0u);

    EXPECT_EQ(info.Language(), 0x0409);
    EXPECT_EQ(info.CharSet(), 0x04E4);
    EXPECT_EQ(info.TranslationKey(), "040904E4");
    EXPECT_EQ(info.LanguageHex(), "0409");
    EXPECT_EQ(info.CharSetHex(), "04E4");

    EXPECT_EQ(info.GetValue("CompanyName"), "Zelto Test Works");
    EXPECT_EQ(info.GetValue("FileDescription"), "Full version fixture");
    EXPECT_EQ(info.GetValue("FileVersion"), "1.2.3.4");
    EXPECT_EQ(info.GetValue("Comments"), "");
    EXPECT_EQ(info.GetValue("LegalCopyright"), "");
}

TEST(VersionInfo, MissingStringsComeBackEmpty)
{
    TVersionInfo info;
    info.GetFileInfo(Fixture("Partial"));
    ASSERT_TRUE(info.HaveVersionInfo());
    EXPECT_EQ(info.FileName(), Fixture("Partial"));
    EXPECT_EQ(info.GetValue("FileVersion"), "0.9");
    EXPECT_EQ(info.GetValue("FileDescription"), "Partial fixture");
    EXPECT_EQ(info.GetValue("CompanyName"), "");
    EXPECT_EQ(info.GetValue(""), "");
}

TEST(VersionInfo, TheFirstTranslationPicksTheStringTable)
{
    TVersionInfo info;
    info.GetFileInfo(Fixture("German"));
    ASSERT_TRUE(info.HaveVersionInfo());
    EXPECT_EQ(info.Language(), 0x0407);
    EXPECT_EQ(info.CharSet(), 0x04B0);
    EXPECT_EQ(info.TranslationKey(), "040704B0");
    EXPECT_EQ(info.GetValue("CompanyName"), "Deutsche Firma");
    EXPECT_EQ(info.GetValue("FileVersion"), "2.0 deutsch");
    EXPECT_EQ(info.FileVersionLS(), 17u);
}

TEST(VersionInfo, WithoutTranslationTableNoStringIsFound)
{
    TVersionInfo info;
    info.GetFileInfo(Fixture("NoTranslation"));
    ASSERT_TRUE(info.HaveVersionInfo());
    EXPECT_EQ(info.FileVersionMS(), 0x00030001u);
    EXPECT_EQ(info.Language(), 0);
    EXPECT_EQ(info.CharSet(), 0);
    EXPECT_EQ(info.TranslationKey(), "00000000");
    EXPECT_EQ(info.GetValue("CompanyName"), "");
}

TEST(VersionInfo, FilesWithoutResourceReportNothingAndForgetThePreviousFile)
{
    TVersionInfo info;
    info.GetFileInfo(Fixture("Full"));
    ASSERT_TRUE(info.HaveVersionInfo());

    info.GetFileInfo(Fixture("None"));
    EXPECT_FALSE(info.HaveVersionInfo());
    EXPECT_EQ(info.FileVersionMS(), 0u);
    EXPECT_EQ(info.Language(), 0);
    EXPECT_EQ(info.TranslationKey(), "00000000");
    EXPECT_EQ(info.GetValue("CompanyName"), "");

    info.GetFileInfo(Fixture("Missing"));
    EXPECT_FALSE(info.HaveVersionInfo());
    EXPECT_EQ(info.GetValue("FileVersion"), "");
}

TEST(VersionInfo, AutoGetInfoRereadsOnlyWhenItChanges)
{
    TVersionInfo info;
    info.SetFileName(Fixture("Full"));
    // Unchanged: neither the name nor the figures move.
    info.SetAutoGetInfo(true);
    EXPECT_EQ(info.FileName(), Fixture("Full"));
    EXPECT_EQ(info.TranslationKey(), "041004E4");

    // Switched off: the stored name is read.
    info.SetAutoGetInfo(false);
    EXPECT_FALSE(info.AutoGetInfo());
    EXPECT_EQ(info.FileName(), Fixture("Full"));
    EXPECT_EQ(info.GetValue("CompanyName"), "Zelto Test Works");

    // Switched on: back to the running program.
    info.SetAutoGetInfo(true);
    EXPECT_EQ(info.FileName(), TVersionInfo::ProgramFileName());
    EXPECT_EQ(info.GetValue("CompanyName"), "Components Test Program");
}

TEST(VersionInfo, SettingTheNameAloneReadsNothing)
{
    TVersionInfo info;
    info.SetFileName(Fixture("None"));
    EXPECT_TRUE(info.HaveVersionInfo());
    EXPECT_EQ(info.GetValue("CompanyName"), "Components Test Program");
}

} // namespace
