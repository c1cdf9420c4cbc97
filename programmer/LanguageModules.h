// LanguageModules: the user-interface language and the help files. A
// language module is a resource-only library beside the program file, named
// like it with the locale's three-letter language abbreviation as extension
// (ZeltoPrg.fra); loading one makes it the toolkit's active resource module
// and every open window is then re-read from it in place. The main window's
// Language and Help menu handlers (TMainForm::SwitchLanguage,
// OnlineHTMLhelp1Click, MnuAlltheinfoUneedClick) are defined here too.
#pragma once

#include <windows.h>

#include "toolkit/Services.h"

#include <string>

// The file that language modules and the program's help file are named
// after: the program file itself, unless a test named another.
std::string ProgramFilePath();
// "" returns to the program file.
void SetProgramFilePath(const std::string& path);

// The locale's language abbreviation (LOCALE_SABBREVLANGNAME, "FRA"); empty
// when the platform has none.
std::string LocaleLanguageAbbreviation(LCID locale);

// Loads the module for `locale` (three letters, then the first two) and makes
// it the active resource module, releasing the previous language module.
// nullptr, and nothing changed, when there is none.
HINSTANCE LoadLanguageModule(LCID locale);

// Re-reads every open window, in screen order, from the active resource
// module onto its existing components. Returns how many were re-read.
int ReloadAllForms();

// The start-up load for the thread's locale, before any window exists.
void LoadStartupLanguageModule();

// --- HTML help ---------------------------------------------------------------------
// Opens a compiled help file at its table of contents.
class THtmlHelpService {
public:
    virtual ~THtmlHelpService() = default;
    virtual void DisplayTableOfContents(HWND owner, const std::string& helpFile) = 0;
};

// The real one binds HtmlHelpA from hhctrl.ocx at first use; without it
// nothing opens.
class TSystemHtmlHelp : public THtmlHelpService {
public:
    ~TSystemHtmlHelp() override;
    void DisplayTableOfContents(HWND owner, const std::string& helpFile) override;

private:
    using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    HMODULE library_ = nullptr;
    HtmlHelpProc htmlHelp_ = nullptr;
    bool bound_ = false;
};

tk::Seam<THtmlHelpService>& HtmlHelpSeam();

// The program's help file: its full path with the last three characters
// replaced by "chm".
std::string ProgramHelpFile();
// A plug-in's help file: the program's folder + the plug-in's file name with
// its last three characters replaced by "chm".
std::string PlugInHelpFile(const std::string& plugInFileName);
