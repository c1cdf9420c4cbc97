// ZeltoToken: splits one text at a single separator character and hands the
// pieces out by index or one after another through a cursor. The script
// interpreter and the installer share this one implementation.
#pragma once

#include "toolkit/Exceptions.h"

#include <cstdint>
#include <string>
#include <vector>

// Raised by GetToken for an index outside the token list.
class EStringListError : public tk::Exception {
public:
    using tk::Exception::Exception;
};

class TZeltoToken {
public:
    TZeltoToken();
    TZeltoToken(const TZeltoToken&) = delete;
    TZeltoToken& operator=(const TZeltoToken&) = delete;

    // The token under the cursor, then the cursor moves on. An empty stored
    // token comes back as the separator alone, so that an empty result always
    // means that no token is left; past the end the cursor stays put.
    virtual std::string NextToken();
    // Rebuilds Tokens from Text; the cursor does not move.
    virtual void Tokenize();
    virtual void Reset();
    virtual ~TZeltoToken();

    // Text := S, then Tokenize and Reset through the virtual table, so a
    // descendant that overrides them changes SetText too.
    void SetText(const std::string& S);
    int Count() const;
    // The token at a 0-based index exactly as stored; raises EStringListError
    // "List index out of bounds (<index>)" outside 0..Count-1.
    std::string GetToken(int Index) const;

    std::string Text;
    std::vector<std::string> Tokens;
    std::int32_t Cursor = 0;
    char Separator = '|';
    // Trims every piece but the last while splitting (see Tokenize).
    bool TrimTokens = true;
};
