// ZeltoToken: string tokenizer of the script interpreter and the installer.
#include "components/ZeltoToken.h"

#include "toolkit/StrConv.h"
#include "toolkit/ToolkitStringIds.h"

TZeltoToken::TZeltoToken() = default;

TZeltoToken::~TZeltoToken() = default;

void TZeltoToken::SetText(const std::string& S)
{
    Text = S;
    Tokenize();
    Reset();
}

int TZeltoToken::Count() const { return static_cast<int>(Tokens.size()); }

std::string TZeltoToken::GetToken(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EStringListError(
            tk::Format(tk::StringFor(S_TK_LIST_INDEX_OUT_OF_BOUNDS, "List index out of bounds (%d)"), {Index}));
    return Tokens[static_cast<std::size_t>(Index)];
}

std::string TZeltoToken::NextToken()
{
    if (Cursor < 0 || Cursor >= Count())
        return std::string();
    const std::string& token = Tokens[static_cast<std::size_t>(Cursor++)];
    return token.empty() ? std::string(1, Separator) : token;
}

void TZeltoToken::Tokenize()
{
    Tokens.clear();
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type found = Text.find(Separator, start);
        if (found == std::string::npos) {
            // The last piece is kept as it stands, even with TrimTokens set;
            // callers that need it trimmed trim it themselves.
            Tokens.push_back(Text.substr(start));
            return;
        }
        std::string_view piece(Text.data() + start, found - start);
        Tokens.push_back(TrimTokens ? tk::Trim(piece) : std::string(piece));
        start = found + 1;
    }
}

void TZeltoToken::Reset() { Cursor = 0; }
