// LanguageModules: language modules, re-reading the open windows, the
// Language menu and the two help commands of the main window.
#include "programmer/LanguageModules.h"

#include "programmer/Main.h"
#include "resources/StringIds.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"

namespace {

constexpr std::size_t kMaxProgramPath = 260;
constexpr UINT kHhDisplayToc = 0x0001;  // HH_DISPLAY_TOC

std::string& ProgramFilePathOverride()
{
    static std::string path;
    return path;
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Everything but the last three characters, then "chm".
std::string WithChmEnding(const std::string& path)
{
    return path.substr(0, path.size() >= 3 ? path.size() - 3 : 0) + "chm";
}

void ShowHelp(const std::string& helpFile)
{
    if (FileExists(helpFile))
        HtmlHelpSeam()->DisplayTableOfContents(tk::App().Handle(), helpFile);
    else
        tk::ShowMessage(tk::LoadStr(S_HELP_FILE_NOT_FOUND));
}

}  // namespace

std::string ProgramFilePath()
{
    if (!ProgramFilePathOverride().empty())
        return ProgramFilePathOverride();
    char path[kMaxProgramPath + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, kMaxProgramPath);
    return std::string(path, length);
}

void SetProgramFilePath(const std::string& path) { ProgramFilePathOverride() = path; }

std::string LocaleLanguageAbbreviation(LCID locale)
{
    char abbreviation[16] = {};
    const int length = ::GetLocaleInfoA(locale, LOCALE_SABBREVLANGNAME, abbreviation, sizeof abbreviation);
    return length > 1 ? std::string(abbreviation) : std::string();
}

HINSTANCE LoadLanguageModule(LCID locale)
{
    const std::string program = ProgramFilePath();
    const std::string abbreviation = LocaleLanguageAbbreviation(locale);
    const std::size_t dot = program.rfind('.');
    if (dot == std::string::npos || abbreviation.empty())
        return nullptr;
    const std::string stem = program.substr(0, dot + 1);
    if (HINSTANCE module = tk::LoadLanguageModule(stem + abbreviation.substr(0, 3)))
        return module;
    return tk::LoadLanguageModule(stem + abbreviation.substr(0, 2));
}

int ReloadAllForms()
{
    int reread = 0;
    for (tk::Form* form : tk::TheScreen().Forms()) {
        if (form->ReloadDescription())
            ++reread;
    }
    return reread;
}

void LoadStartupLanguageModule() { LoadLanguageModule(::GetThreadLocale()); }

// --- HTML help ---------------------------------------------------------------------

TSystemHtmlHelp::~TSystemHtmlHelp()
{
    if (library_)
        ::FreeLibrary(library_);
}

void TSystemHtmlHelp::DisplayTableOfContents(HWND owner, const std::string& helpFile)
{
    if (!bound_) {
        bound_ = true;
        library_ = ::LoadLibraryA("hhctrl.ocx");
        if (library_)
            htmlHelp_ = reinterpret_cast<HtmlHelpProc>(
                reinterpret_cast<void*>(::GetProcAddress(library_, "HtmlHelpA")));
    }
    if (htmlHelp_)
        htmlHelp_(owner, helpFile.c_str(), kHhDisplayToc, 0);
}

tk::Seam<THtmlHelpService>& HtmlHelpSeam()
{
    static TSystemHtmlHelp system;
    static tk::Seam<THtmlHelpService> seam(system);
    return seam;
}

std::string ProgramHelpFile() { return WithChmEnding(ProgramFilePath()); }

std::string PlugInHelpFile(const std::string& plugInFileName)
{
    const std::string program = ProgramFilePath();
    const std::size_t slash = program.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
    return WithChmEnding(folder + plugInFileName);
}

// --- the main window's Language and Help menus -------------------------------------

void TMainForm::SwitchLanguage(tk::Component* sender)
{
    TCommandResult result(*this);
    auto* chosen = dynamic_cast<tk::MenuItem*>(sender);
    if (chosen && LoadLanguageModule(static_cast<LCID>(chosen->Tag()))) {
        // The switch changes the language and nothing else: what the user
        // made of the window survives the re-read of its description.
        const TMainWindowLiveState live = TakeLiveState();
        ReloadAllForms();
        GiveBackLiveState(live);
        for (tk::MenuItem* item : {LanguageEnglish, LanguageFrench, LanguageItalian, LanguageGerman, LanguageRomanian})
            item->SetChecked(item == chosen);
        result.Done();
    }
    if (MainUnit().PlugInLoaded) {
        // While an operation runs the device is powered and being written:
        // identifying it now would power-cycle it under the operation, so
        // only the names and pictures of the special bits come back.
        if (MainUnit().Busy)
            ApplyPlugInSpecialBitsNames();
        else
            ApplyPlugInSpecialBitsInfo();
    }
}

void TMainForm::OnlineHTMLhelp1Click(tk::Component*) { ShowHelp(ProgramHelpFile()); }

void TMainForm::MnuAlltheinfoUneedClick(tk::Component*)
{
    if (!MainUnit().PlugInLoaded)
        return;
    ShowHelp(PlugInHelpFile(MainUnit().PlugInFileName));
}
