#pragma once
// Splits script text into tokens: names, literals, operators and statement ends, with the
// 0-based line and column of each. Comments and line continuations are dropped here.

#include "platform/script/VbsValue.h"

#include <string>
#include <vector>

namespace vbs {

enum class Tok {
    End,
    Newline,  // end of a line
    Colon,  // ":" between statements on one line
    Name,  // identifiers and keywords; lower holds the lower-case form
    Number,
    String,
    Date,
    Punct,  // ( ) , . = < > <= >= <> + - * / \ ^ &
};

struct Token {
    Tok kind = Tok::End;
    std::wstring text;  // as written (without quotes for strings)
    std::wstring lower;  // lower-case name, or the operator
    Var value;  // literals
    int line = 0;
    int column = 0;
    bool spaceBefore = false;  // white space separated it from the token before

    bool Is(const wchar_t* word) const { return (kind == Tok::Name || kind == Tok::Punct) && lower == word; }
};

// Throws ScriptError (compile) at the first character that forms no token.
std::vector<Token> Tokenize(std::wstring_view text);

} // namespace vbs
