#pragma once
// The text of a replace-all, built in one pass: a piece of the editor's text with every match
// put in its replacement's place, so that the model takes the change of the piece as one edit.
// A big text goes in blocks of whole lines, so that it is never copied whole.

#include "editor/EditBuffer.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct EditReplaceAllText {
    std::wstring text;     // the piece with the replacements made
    int replaced = 0;      // how many matches were replaced
    int endOfLast = 0;     // where the last replacement ends in text
    bool lineTooLong = false; // stopped at a match whose line would grow too wide
    bool cancelled = false;   // stopped because keepGoing said so; text is then incomplete
};

// How wide a line may be, in display columns with tabs of tab columns.
struct EditLineWidthLimit {
    int tab = 1;
    long long maximum = 0;
};

// A run of matches replaced as one piece: matches [first, last), which lie on the lines
// [firstLine, lastLine]; start is the offset of firstLine.
struct EditReplaceAllBlock {
    size_t first = 0;
    size_t last = 0;
    int firstLine = 0;
    int lastLine = 0;
    int start = 0;
};

// Splits the matches (in order, none overlapping) into blocks of whole lines, each as long as
// blockChars allows but holding at least one match, and every match of a line in one block.
std::vector<EditReplaceAllBlock> SplitReplaceAllBlocks(ISECEditBuffer& buffer, const std::vector<EditMatch>& matches, int blockChars);

// Replaces the matches (offsets into piece, in order, none overlapping) of a piece that starts
// and ends at line bounds, in time linear in the piece. Stops before the first match whose line,
// with the replacements before it made, would be wider than the limit; the rest of the piece stays
// as it is. Asks keepGoing every so many characters and stops, cancelled, when it says no.
EditReplaceAllText BuildReplaceAllText(std::wstring_view piece, const std::vector<EditMatch>& matches,
                                       const std::function<CString(std::wstring_view matched)>& replacement,
                                       EditLineWidthLimit limit, const std::function<bool()>& keepGoing = {});
