// The language modules ZeltoPrg.enu/.fra/.ita/.rom as the program loads them:
// data-file libraries that must hold every string id and every window
// description, with texts that survive the ANSI conversion of their code
// page, placeholders that Format can fill, and descriptions whose layout is
// the English one with only the texts changed.
#include "resources/StringIds.h"
#include "toolkit/Streaming.h"
#include "toolkit/ToolkitStrings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct NamedId {
    const char* name;
    unsigned id;
};

const std::vector<NamedId>& AllIds() {
    static const std::vector<NamedId> ids = {
#define ZP_STRING_ID(name) {#name, name},
#define ZP_FORM(cls)
#include "LanguageLists.inc"
#undef ZP_FORM
#undef ZP_STRING_ID
    };
    return ids;
}

const std::vector<std::string>& AllForms() {
    static const std::vector<std::string> forms = {
#define ZP_STRING_ID(name)
#define ZP_FORM(cls) #cls,
#include "LanguageLists.inc"
#undef ZP_FORM
#undef ZP_STRING_ID
    };
    return forms;
}

struct Language {
    const char* extension;
    UINT codePage;  // the code page of the module's texts (its SCodePage string)
};

const Language kLanguages[] = {{"enu", 1252}, {"fra", 1252}, {"ita", 1252}, {"rom", 1250}};

std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

// One module, loaded the way the program loads it.
class Module {
public:
    explicit Module(const std::string& extension)
        : handle_(LoadLibraryExA((ProgramFolder() + "ZeltoPrg." + extension).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE)) {}
    ~Module() {
        if (handle_) FreeLibrary(handle_);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    HMODULE Handle() const { return handle_; }

    // The UTF-16 text of a string id; false when the module lacks it.
    bool String(unsigned id, std::wstring& out) const {
        const wchar_t* text = nullptr;
        int length = LoadStringW(handle_, id, reinterpret_cast<LPWSTR>(&text), 0);
        if (length <= 0 || !text) return false;
        out.assign(text, static_cast<std::size_t>(length));
        return true;
    }
    std::wstring String(unsigned id) const {
        std::wstring s;
        String(id, s);
        return s;
    }

    // The bytes of a window description; empty when the module lacks it.
    std::string_view Description(const std::string& cls) const {
        // Named after the class, upper-cased as resource names are.
        std::string name = cls;
        CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
        HRSRC res = FindResourceA(handle_, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
        if (!res) return {};
        HGLOBAL data = LoadResource(handle_, res);
        if (!data) return {};
        return std::string_view(static_cast<const char*>(LockResource(data)), SizeofResource(handle_, res));
    }

private:
    HMODULE handle_;
};

// The %s / %d sequence Format fills from its arguments.
std::vector<std::wstring> Placeholders(const std::wstring& text) {
    std::vector<std::wstring> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') continue;
        if (i + 1 < text.size() && text[i + 1] == L'%') {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < text.size() && (iswdigit(text[j]) || text[j] == L'-' || text[j] == L'.')) ++j;
        if (j < text.size()) out.push_back(text.substr(i, j - i + 1));
        i = j;
    }
    return out;
}

// Converts as the program does for that code page; false when a
// character has no place there (it would show as "?").
bool ToCodePage(const std::wstring& text, UINT codePage, std::string& out) {
    if (text.empty()) {
        out.clear();
        return true;
    }
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                &usedDefault);
    out.assign(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        &usedDefault);
    return !usedDefault;
}

class LanguageModules : public ::testing::TestWithParam<Language> {};

TEST_P(LanguageModules, LoadAsDataFile) {
    Module module(GetParam().extension);
    ASSERT_NE(module.Handle(), nullptr) << "ZeltoPrg." << GetParam().extension << " next to the program";
}

TEST_P(LanguageModules, CarryEveryStringIdWithEnglishPlaceholders) {
    Module module(GetParam().extension);
    Module english("enu");
    ASSERT_NE(module.Handle(), nullptr);
    ASSERT_NE(english.Handle(), nullptr);
    for (const NamedId& id : AllIds()) {
        std::wstring text;
        ASSERT_TRUE(module.String(id.id, text)) << id.name << " (" << id.id << ") missing";
        EXPECT_EQ(Placeholders(text), Placeholders(english.String(id.id)))
            << id.name << ": Format would take other arguments than the English text";
    }
}

TEST_P(LanguageModules, TextsSurviveTheirAnsiCodePage) {
    Module module(GetParam().extension);
    ASSERT_NE(module.Handle(), nullptr);
    for (const NamedId& id : AllIds()) {
        std::string ansi;
        EXPECT_TRUE(ToCodePage(module.String(id.id), GetParam().codePage, ansi))
            << id.name << " has a character outside code page " << GetParam().codePage;
    }
}

TEST_P(LanguageModules, CarryEveryWindowDescriptionAndItParses) {
    Module module(GetParam().extension);
    ASSERT_NE(module.Handle(), nullptr);
    for (const std::string& cls : AllForms()) {
        std::string_view text = module.Description(cls);
        ASSERT_FALSE(text.empty()) << cls << " missing in ZeltoPrg." << GetParam().extension;
        try {
            tk::ObjectNode root = tk::ParseDescription(text);
            EXPECT_EQ(root.className, cls);
        } catch (const tk::EReadError& e) {
            ADD_FAILURE() << cls << ": " << e.what();
        }
    }
}

// Properties whose strings are texts a language may change.
bool IsTextProperty(const std::string& name) {
    std::string last = name.substr(name.find_last_of('.') + 1);
    for (const char* p : {"Caption", "Hint", "Text", "Title", "Filter", "Strings", "Items", "Lines", "DisplayLabel"}) {
        if (tk::SameText(last, p)) return true;
    }
    return false;
}

void ExpectSameValue(const tk::Value& english, const tk::Value& other, bool text, const std::string& where) {
    ASSERT_EQ(english.kind, other.kind) << where;
    switch (english.kind) {
    case tk::Value::Kind::String:
        if (!text) {
            EXPECT_EQ(english.text, other.text) << where;
        }
        break;
    case tk::Value::Kind::List:
        ASSERT_EQ(english.list.size(), other.list.size()) << where;
        for (std::size_t i = 0; i < english.list.size(); ++i)
            ExpectSameValue(english.list[i], other.list[i], text, where + "[" + std::to_string(i) + "]");
        break;
    case tk::Value::Kind::Collection:
        ASSERT_EQ(english.items.size(), other.items.size()) << where;
        for (std::size_t i = 0; i < english.items.size(); ++i) {
            const auto& a = english.items[i].properties;
            const auto& b = other.items[i].properties;
            ASSERT_EQ(a.size(), b.size()) << where;
            for (std::size_t k = 0; k < a.size(); ++k) {
                std::string w = where + "[" + std::to_string(i) + "]." + a[k].name;
                EXPECT_EQ(a[k].name, b[k].name) << w;
                ExpectSameValue(a[k].value, b[k].value, IsTextProperty(a[k].name), w);
            }
        }
        break;
    default:
        EXPECT_EQ(english.Describe(), other.Describe()) << where;
        EXPECT_EQ(english.set, other.set) << where;
        EXPECT_EQ(english.binary, other.binary) << where;
    }
}

void ExpectSameLayout(const tk::ObjectNode& english, const tk::ObjectNode& other, const std::string& cls) {
    std::string where = cls + " " + english.name;
    EXPECT_EQ(english.name, other.name) << where;
    EXPECT_EQ(english.className, other.className) << where;
    EXPECT_EQ(english.inherited, other.inherited) << where;
    ASSERT_EQ(english.properties.size(), other.properties.size()) << where;
    for (std::size_t i = 0; i < english.properties.size(); ++i) {
        const auto& a = english.properties[i];
        EXPECT_EQ(a.name, other.properties[i].name) << where;
        ExpectSameValue(a.value, other.properties[i].value, IsTextProperty(a.name), where + "." + a.name);
    }
    ASSERT_EQ(english.children.size(), other.children.size()) << where;
    for (std::size_t i = 0; i < english.children.size(); ++i) ExpectSameLayout(english.children[i], other.children[i], cls);
}

TEST_P(LanguageModules, DescriptionsKeepTheEnglishLayout) {
    Module module(GetParam().extension);
    Module english("enu");
    ASSERT_NE(module.Handle(), nullptr);
    ASSERT_NE(english.Handle(), nullptr);
    for (const std::string& cls : AllForms()) {
        std::string_view a = english.Description(cls);
        std::string_view b = module.Description(cls);
        ASSERT_FALSE(a.empty() || b.empty()) << cls;
        ExpectSameLayout(tk::ParseDescription(a), tk::ParseDescription(b), cls);
    }
}

INSTANTIATE_TEST_SUITE_P(All, LanguageModules, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& info) { return std::string(info.param.extension); });

// --- translations as they must arrive ------------------------------------------------------------

TEST(TranslatedStrings, ArriveExactlyInUtf16) {
    Module fra("fra"), ita("ita"), rom("rom");
    ASSERT_TRUE(fra.Handle() && ita.Handle() && rom.Handle());
    EXPECT_EQ(fra.String(S_CHECKING_LPT_PORTS), L"V\u00e9rification des ports LPT...");
    EXPECT_EQ(fra.String(S_REALLY_ABORT_OPERATION), L"Voulez-vous vraiment interrompre l'op\u00e9ration ?");
    EXPECT_EQ(fra.String(S_READING_FLASH_PROGRESS),
              L"Lecture de la Flash, adresse %s%s ; %s erreurs ; \u00c9chap pour interrompre.");
    EXPECT_EQ(fra.String(S_DEVICE_NOT_POWERED_UP),
              L"Le composant ne s'est pas mis sous tension.\r\nL'op\u00e9ration a \u00e9t\u00e9 annul\u00e9e.");
    EXPECT_EQ(ita.String(S_SB_YES), L"S\u00ec");
    EXPECT_EQ(ita.String(S_PORT_IS_ECP), L"La porta attualmente in uso\r\n\u00e8 la porta ECP all'indirizzo $%s");
    EXPECT_EQ(ita.String(S_CLONE_MORE_THAN_ONE_DEVICE), L"Clonare pi\u00f9 di un dispositivo?");
    EXPECT_EQ(rom.String(S_MAIN_CAPTION_NO_LIBRARY), L"f\u0103r\u0103 bibliotec\u0103");
    EXPECT_EQ(rom.String(S_CANCEL_CURRENT_OPERATION), L"Anula\u0163i mai \u00eent\u00e2i opera\u0163ia \u00een curs!");
    EXPECT_EQ(rom.String(S_HEX_INVALID_DATA), L"[Date nevalide]");
    EXPECT_EQ(rom.String(S_SCRIPT_CALLS_SCRIPT), L"Fi\u015fierele script nu pot apela alte fi\u015fiere script.");
    // Texts the program joins to others keep their edge blanks.
    EXPECT_EQ(fra.String(S_MAIN_CAPTION_USING_LIBRARY), L"avec la biblioth\u00e8que ");
    EXPECT_EQ(rom.String(S_MAIN_CAPTION_USING_LIBRARY), L"cu biblioteca ");
}

TEST(TranslatedStrings, RomanianShowsItsLettersInCodePage1250) {
    Module rom("rom");
    ASSERT_NE(rom.Handle(), nullptr);
    std::string ansi;
    ASSERT_TRUE(ToCodePage(rom.String(S_CANCEL_CURRENT_OPERATION), 1250, ansi));
    EXPECT_EQ(ansi, "Anula\xfei mai \xeent\xe2i opera\xfeia \xeen curs!");
    ASSERT_TRUE(ToCodePage(rom.String(S_MAIN_CAPTION_NO_LIBRARY), 1250, ansi));
    EXPECT_EQ(ansi, "f\xe3r\xe3 bibliotec\xe3");
}

TEST(TranslatedStrings, ToolkitDialogTexts) {
    Module fra("fra"), ita("ita"), rom("rom"), enu("enu");
    ASSERT_TRUE(fra.Handle() && ita.Handle() && rom.Handle() && enu.Handle());
    EXPECT_EQ(enu.String(SMsgDlgYes), L"&Yes");
    EXPECT_EQ(fra.String(SMsgDlgYes), L"&Oui");
    EXPECT_EQ(fra.String(SMsgDlgCancel), L"Annuler");
    EXPECT_EQ(ita.String(SMsgDlgYes), L"&S\u00ec");
    EXPECT_EQ(ita.String(SMsgDlgCancel), L"Annulla");
    EXPECT_EQ(rom.String(SMsgDlgInformation), L"Informa\u0163ii");
    EXPECT_EQ(rom.String(SMsgDlgNo), L"&Nu");
}

TEST(TranslatedStrings, EnglishModuleEqualsTheProgramsOwnTable) {
    Module enu("enu");
    ASSERT_NE(enu.Handle(), nullptr);
    EXPECT_EQ(enu.String(S_APPLICATION_TITLE), L"ZELTO All-Purpose LPT-Based Programmer");
    EXPECT_EQ(enu.String(S_CLONE_SERIAL_NUMBERING_ENDED),
              L"Serial Numbering while cloning was active\r\nWith clone [%s], the cloning process has ended.");
}

// --- merged window texts ---------------------------------------------------------------------------

const tk::ObjectNode* FindObject(const tk::ObjectNode& node, const std::string& name) {
    if (node.name == name) return &node;
    for (const auto& child : node.children) {
        if (const tk::ObjectNode* found = FindObject(child, name)) return found;
    }
    return nullptr;
}

// The decoded bytes of a component's string property, "<missing>" if absent.
std::string Text(const Module& module, const std::string& cls, const std::string& component,
                 const std::string& property) {
    std::string_view src = module.Description(cls);
    if (src.empty()) return "<missing>";
    tk::ObjectNode root = tk::ParseDescription(src);
    const tk::ObjectNode* node = FindObject(root, component);
    if (!node) return "<missing>";
    for (const auto& p : node->properties) {
        if (p.name == property && p.value.kind == tk::Value::Kind::String) return p.value.text;
    }
    return "<missing>";
}

bool HasForm(const std::string& cls) {
    for (const std::string& f : AllForms()) {
        if (f == cls) return true;
    }
    return false;
}

TEST(TranslatedDescriptions, MainWindowTextsInEachLanguage) {
    if (!HasForm("TMainForm")) GTEST_SKIP() << "no description of TMainForm in resources/forms";
    Module enu("enu"), fra("fra"), ita("ita"), rom("rom");
    ASSERT_TRUE(enu.Handle() && fra.Handle() && ita.Handle() && rom.Handle());
    EXPECT_EQ(Text(enu, "TMainForm", "MnuFile", "Caption"), "&File");
    EXPECT_EQ(Text(fra, "TMainForm", "MnuFile", "Caption"), "&Fichier");
    EXPECT_EQ(Text(ita, "TMainForm", "MnuFile", "Caption"), "&File");
    EXPECT_EQ(Text(rom, "TMainForm", "MnuFile", "Caption"), "&Fi\xba" "ier");
    // Code page bytes, which the toolkit converts for the screen.
    EXPECT_EQ(Text(fra, "TMainForm", "MnuEraseChip", "Caption"), "Effacer le composant");
    EXPECT_EQ(Text(fra, "TMainForm", "MnuHelp", "Caption"), "&Aide");
    EXPECT_EQ(Text(fra, "TMainForm", "MnuChipErase", "Caption"), "&Effacer le composant avant la programmation");
    EXPECT_EQ(Text(ita, "TMainForm", "MnuOptions", "Caption"), "&Opzioni");
    EXPECT_EQ(Text(ita, "TMainForm", "MnuEditDirectly", "Caption"), "Modifica &valori direttamente");
    EXPECT_EQ(Text(rom, "TMainForm", "MnuView", "Caption"), "&Afi\xba" "are");
    EXPECT_EQ(Text(rom, "TMainForm", "MnuOptions", "Caption"), "&Op\xfeiuni");
}

TEST(TranslatedDescriptions, SystemInfoTextsInEachLanguage) {
    if (!HasForm("TSystemInfo")) GTEST_SKIP() << "no description of TSystemInfo in resources/forms";
    Module enu("enu"), fra("fra"), ita("ita"), rom("rom");
    ASSERT_TRUE(enu.Handle() && fra.Handle() && ita.Handle() && rom.Handle());
    EXPECT_EQ(Text(enu, "TSystemInfo", "GroupBox1", "Caption"), "Parallel ports");
    EXPECT_EQ(Text(fra, "TSystemInfo", "GroupBox1", "Caption"), "Ports parall\xe8les");
    EXPECT_EQ(Text(ita, "TSystemInfo", "GroupBox1", "Caption"), "Porte parallele");
    EXPECT_EQ(Text(rom, "TSystemInfo", "GroupBox1", "Caption"), "Porturi paralele");
    EXPECT_EQ(Text(ita, "TSystemInfo", "Label1", "Caption"), "Numero di porte:");
    EXPECT_EQ(Text(rom, "TSystemInfo", "Label2", "Caption"), "Vitez\xe3 procesor:");
}

TEST(TranslatedDescriptions, DialogTextsInEachLanguage) {
    Module fra("fra"), ita("ita"), rom("rom");
    ASSERT_TRUE(fra.Handle() && ita.Handle() && rom.Handle());
    if (HasForm("TFillForm")) {
        EXPECT_EQ(Text(fra, "TFillForm", "BtnCancel", "Caption"), "Annuler");
        EXPECT_EQ(Text(ita, "TFillForm", "BtnCancel", "Caption"), "Annulla");
        EXPECT_EQ(Text(rom, "TFillForm", "LblFEndAdd", "Caption"), "Adres\xe3 sf\xe2r\xbait");
    }
    if (HasForm("TCloneForm")) {
        EXPECT_EQ(Text(fra, "TCloneForm", "Label3", "Caption"), "Adresse de d\xe9" "but (hex) :");
        EXPECT_EQ(Text(rom, "TCloneForm", "CBFMsb", "Caption"), "\xce" "nt\xe2i MSB");
    }
    if (HasForm("TSBForm")) {
        EXPECT_EQ(Text(ita, "TSBForm", "Label2", "Caption"), "Selezionare i bit da programmare e premere OK.");
    }
}


// --- texts left in English -------------------------------------------------------------------------

// Texts that read the same in a language as in English: names, abbreviations
// and words the languages borrow. Anything else equal to its English text was
// forgotten in the translation.
const std::set<std::string> kSameInEveryLanguage = {
    // Names, abbreviations and units.
    "Raz-Edezadu Divudavizu", "ZELTO Raz-Edezadu Divudavizu ", "ID", "SB1", "SB2", "SB3", "Hex", "&Hex", "ASCII",
    "&ASCII", "278H", "378H", "3BCH", "MHz", "MSB", "LSB", "OK", "Flash", "Dec", "Ver F", "Ver E",
    // Set by the program before the window shows.
    "Label1",
    // Words French or Italian write as English does.
    "Port $278", "Port $378", "Port $3BC", "&Ports", "Date", "Version", "Description", "Information", "&File", "No",
    "&No",
};

bool HasLetter(const std::string& text) {
    for (unsigned char c : text) {
        if (std::isalpha(c) || c >= 0x80) return true;
    }
    return false;
}

// Every text of a description in parallel with the English one.
void CollectTexts(const tk::Value& english, const tk::Value& other, bool text, const std::string& where,
                  std::vector<std::string>& same) {
    if (english.kind != other.kind) return;
    if (english.kind == tk::Value::Kind::String && text && english.text == other.text && HasLetter(english.text) &&
        !kSameInEveryLanguage.count(english.text))
        same.push_back(where + " = '" + english.text + "'");
    if (english.kind == tk::Value::Kind::List) {
        for (std::size_t i = 0; i < english.list.size() && i < other.list.size(); ++i)
            CollectTexts(english.list[i], other.list[i], text, where + "[" + std::to_string(i) + "]", same);
    }
    if (english.kind == tk::Value::Kind::Collection) {
        for (std::size_t i = 0; i < english.items.size() && i < other.items.size(); ++i) {
            const auto& a = english.items[i].properties;
            const auto& b = other.items[i].properties;
            for (std::size_t k = 0; k < a.size() && k < b.size(); ++k)
                CollectTexts(a[k].value, b[k].value, IsTextProperty(a[k].name),
                             where + "[" + std::to_string(i) + "]." + a[k].name, same);
        }
    }
}

void CollectTexts(const tk::ObjectNode& english, const tk::ObjectNode& other, const std::string& cls,
                  std::vector<std::string>& same) {
    for (std::size_t i = 0; i < english.properties.size() && i < other.properties.size(); ++i) {
        const auto& a = english.properties[i];
        CollectTexts(a.value, other.properties[i].value, IsTextProperty(a.name),
                     cls + " " + english.name + "." + a.name, same);
    }
    for (std::size_t i = 0; i < english.children.size() && i < other.children.size(); ++i)
        CollectTexts(english.children[i], other.children[i], cls, same);
}

TEST_P(LanguageModules, LeaveNoTextInEnglish) {
    if (std::string(GetParam().extension) == "enu") GTEST_SKIP() << "the English module is the master";
    Module module(GetParam().extension);
    Module english("enu");
    ASSERT_TRUE(module.Handle() && english.Handle());
    std::vector<std::string> same;
    for (const std::string& cls : AllForms())
        CollectTexts(tk::ParseDescription(english.Description(cls)), tk::ParseDescription(module.Description(cls)), cls,
                     same);
    for (const NamedId& id : AllIds()) {
        std::string a, b;
        ToCodePage(english.String(id.id), 1252, a);
        ToCodePage(module.String(id.id), GetParam().codePage, b);
        if (id.id != SCodePage && a == b && HasLetter(a) && !kSameInEveryLanguage.count(a))
            same.push_back(std::string(id.name) + " = \"" + a + "\"");
    }
    std::string list;
    for (const std::string& s : same) list += "\n  " + s;
    EXPECT_TRUE(same.empty()) << same.size() << " text(s) of ZeltoPrg." << GetParam().extension
                              << " still in English:" << list;
}

// Each module names the code page of its texts, which the toolkit converts
// them from whatever the system's own code page is.
TEST_P(LanguageModules, NameTheirCodePage) {
    Module module(GetParam().extension);
    ASSERT_NE(module.Handle(), nullptr);
    EXPECT_EQ(module.String(SCodePage), std::to_wstring(GetParam().codePage));
}

}  // namespace
