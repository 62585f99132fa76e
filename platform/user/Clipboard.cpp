// The clipboard. Text goes to and comes from the display's clipboard, so that other programs
// see it; other formats stay inside this program. Once another program holds the clipboard, or
// nobody does, what this program put there is the clipboard no longer: a paste then takes the
// other program's text, or nothing, never this program's older copy.

#include "platform/base/CString.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTree.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace fln::user {
namespace {

struct GlobalBlock {
    std::vector<BYTE> bytes;
    int locks = 0;
};

// Every live block; those still held at exit (by the clipboard, say) are freed with the table.
std::map<HGLOBAL, std::unique_ptr<GlobalBlock>>& Blocks()
{
    static std::map<HGLOBAL, std::unique_ptr<GlobalBlock>> blocks;
    return blocks;
}

GlobalBlock* Block(HGLOBAL memory)
{
    auto it = Blocks().find(memory);
    return it == Blocks().end() ? nullptr : it->second.get();
}

struct ClipboardState {
    bool open = false;
    HWND openedBy = nullptr;
    HWND owner = nullptr;
    std::map<UINT, HGLOBAL> data;
    std::string publishedText; // what we gave the display, to know whether it is still ours
    // Another program holds the clipboard, and its text is read only by a paste.
    bool othersTextUnread = false;
    // The display's clipboard was followed since the clipboard was opened: while it is open,
    // its content stays as first found.
    bool followedWhileOpen = false;
};

ClipboardState& Clipboard()
{
    static ClipboardState state;
    return state;
}

HGLOBAL BlockWithText(const std::wstring& text)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

void FreeData()
{
    for (auto& [format, memory] : Clipboard().data)
        GlobalFree(memory);
    Clipboard().data.clear();
}

void ForgetData()
{
    FreeData();
    Clipboard().owner = nullptr;
    Clipboard().publishedText.clear();
}

void KeepForeignText(const std::string& text)
{
    ClipboardState& state = Clipboard();
    state.publishedText = text;
    state.data[CF_UNICODETEXT] = BlockWithText(NarrowToWide(text));
}

// Brings what the program holds in line with the display's clipboard. Another program's text
// is read only when readOthersText asks (a paste), within the wait for it; until then the
// program only knows that the clipboard is not its own.
void FollowDisplayClipboard(bool readOthersText)
{
    ClipboardState& state = Clipboard();
    if (state.open && state.followedWhileOpen)
        return;
    Display& display = CurrentDisplay();
    if (display.HeldByAnotherProgram(SelectionKind::Clipboard)) {
        ForgetData();
        state.othersTextUnread = !readOthersText;
        if (readOthersText) {
            if (auto text = AwaitSelection(*display.ReadSelection(SelectionKind::Clipboard)))
                KeepForeignText(*text);
        }
    } else {
        // Held by this program, or by nobody: answered at once.
        state.othersTextUnread = false;
        auto text = display.ReadSelection(SelectionKind::Clipboard)->Text();
        if (!text || *text != state.publishedText) {
            ForgetData();
            if (text)
                KeepForeignText(*text);
        }
    }
    state.followedWhileOpen = state.open && !state.othersTextUnread;
}

bool IsTextFormat(UINT format)
{
    return format == CF_UNICODETEXT || format == CF_TEXT || format == CF_OEMTEXT;
}

} // namespace
} // namespace fln::user

using namespace fln::user;

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    auto block = std::make_unique<GlobalBlock>();
    block->bytes.assign(std::max<std::size_t>(bytes, 1), 0);
    (void)flags; // memory always starts zeroed
    HGLOBAL handle = block.get();
    Blocks().emplace(handle, std::move(block));
    return handle;
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
    if (!Block(memory))
        return memory;
    Blocks().erase(memory);
    return nullptr;
}

LPVOID GlobalLock(HGLOBAL memory)
{
    GlobalBlock* block = Block(memory);
    if (!block)
        return nullptr;
    ++block->locks;
    return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL memory)
{
    GlobalBlock* block = Block(memory);
    if (!block || block->locks == 0)
        return FALSE;
    return --block->locks > 0;
}

std::size_t GlobalSize(HGLOBAL memory)
{
    GlobalBlock* block = Block(memory);
    return block ? block->bytes.size() : 0;
}

BOOL OpenClipboard(HWND owner)
{
    ClipboardState& state = Clipboard();
    if (state.open)
        return FALSE;
    state.open = true;
    state.openedBy = owner;
    state.followedWhileOpen = false;
    return TRUE;
}

BOOL CloseClipboard()
{
    ClipboardState& state = Clipboard();
    if (!state.open)
        return FALSE;
    state.open = false;
    state.openedBy = nullptr;
    return TRUE;
}

BOOL EmptyClipboard()
{
    ClipboardState& state = Clipboard();
    if (!state.open)
        return FALSE;
    FreeData();
    state.owner = state.openedBy;
    state.publishedText.clear();
    CurrentDisplay().SetClipboardText({});
    state.othersTextUnread = false;
    state.followedWhileOpen = true;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE memory)
{
    ClipboardState& state = Clipboard();
    if (!state.open || !format || !Block(memory))
        return nullptr;
    if (auto it = state.data.find(format); it != state.data.end() && it->second != memory)
        GlobalFree(it->second);
    state.data[format] = memory;
    if (format == CF_UNICODETEXT) {
        auto* text = static_cast<const wchar_t*>(static_cast<const void*>(Block(memory)->bytes.data()));
        size_t capacity = GlobalSize(memory) / sizeof(wchar_t);
        size_t length = std::find(text, text + capacity, L'\0') - text;
        state.publishedText = WideToUtf8(std::wstring_view(text, length));
        CurrentDisplay().SetClipboardText(state.publishedText);
    }
    return memory;
}

HANDLE GetClipboardData(UINT format)
{
    ClipboardState& state = Clipboard();
    if (!state.open)
        return nullptr;
    FollowDisplayClipboard(true);
    if (auto it = state.data.find(format); it != state.data.end())
        return it->second;
    if (format == CF_TEXT || format == CF_OEMTEXT) {
        // The narrow text form is made from the wide one, in UTF-8.
        auto wide = state.data.find(CF_UNICODETEXT);
        if (wide == state.data.end())
            return nullptr;
        auto* text = static_cast<const wchar_t*>(GlobalLock(wide->second));
        std::string utf8 = WideToUtf8(text);
        GlobalUnlock(wide->second);
        HGLOBAL narrow = GlobalAlloc(GMEM_MOVEABLE, utf8.size() + 1);
        std::memcpy(GlobalLock(narrow), utf8.c_str(), utf8.size() + 1);
        GlobalUnlock(narrow);
        state.data[format] = narrow;
        return narrow;
    }
    return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    FollowDisplayClipboard(false);
    // Another program's offer is taken for text without asking it: that waits for a paste.
    if (Clipboard().othersTextUnread)
        return IsTextFormat(format);
    auto& data = Clipboard().data;
    if (format == CF_TEXT || format == CF_OEMTEXT)
        return data.contains(format) || data.contains(CF_UNICODETEXT);
    return data.contains(format);
}

UINT RegisterClipboardFormatW(LPCWSTR name)
{
    return RegisteredAtom(name);
}

int CountClipboardFormats()
{
    FollowDisplayClipboard(false);
    return Clipboard().othersTextUnread ? 1 : static_cast<int>(Clipboard().data.size());
}

UINT EnumClipboardFormats(UINT format)
{
    auto& data = Clipboard().data;
    auto it = format == 0 ? data.begin() : data.upper_bound(format);
    return it == data.end() ? 0 : it->first;
}

void SetPrimarySelectionText(const std::wstring& text)
{
    CurrentDisplay().SetPrimarySelectionText(WideToUtf8(text));
}

std::wstring GetPrimarySelectionText()
{
    auto text = AwaitSelection(*CurrentDisplay().ReadSelection(SelectionKind::Primary));
    return text ? NarrowToWide(*text) : std::wstring();
}
