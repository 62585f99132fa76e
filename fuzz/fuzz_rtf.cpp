// Reads arbitrary bytes as rich text, as the rich edit and the rich-text message box get it: the
// reader alone, then streamed into a read-only rich edit on a headless display that lays the text
// out, tells its parent the size it needs, paints, and gives its text back. The control's width
// follows the input's length.

#include "fuzz/HeadlessWindow.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/comctl/RichEdit.h"
#include "platform/comctl/RtfReader.h"

#include <algorithm>
#include <string_view>

namespace {

using namespace fln::comctl;

void CheckDocument(const RtfDocument& document)
{
    if (document.paragraphs.empty())
        __builtin_trap();
    for (const RtfParagraph& paragraph : document.paragraphs) {
        for (const RtfRun& run : paragraph.runs) {
            document.FaceOf(run.format.font);
            document.ColorOf(run.format.color);
        }
    }
    document.Text();
}

struct Stream {
    std::string_view bytes;

    static DWORD Read(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written)
    {
        auto& stream = *reinterpret_cast<Stream*>(cookie);
        std::string_view piece = stream.bytes.substr(0, static_cast<size_t>(size));
        std::copy(piece.begin(), piece.end(), buffer);
        stream.bytes.remove_prefix(piece.size());
        *written = static_cast<LONG>(piece.size());
        return 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CheckDocument(ReadRtf(bytes));

    static const bool controls = [] {
        INITCOMMONCONTROLSEX classes { sizeof classes, ICC_STANDARD_CLASSES };
        return InitCommonControlsEx(&classes);
    }();
    (void)controls;
    constexpr DWORD kMultiLine = 0x0004, kReadOnly = 0x0800;
    const int width = 40 + static_cast<int>(size % 128) * 4;
    HWND edit = CreateWindowExW(0, RICHEDIT_CLASSW, L"", WS_CHILD | WS_VISIBLE | kMultiLine | kReadOnly, 4, 4, width, 200,
        fuzz::HeadlessWindow::Get(), nullptr, nullptr, nullptr);
    if (!edit)
        __builtin_trap();
    SendMessageW(edit, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    Stream stream { bytes };
    EDITSTREAM edits { reinterpret_cast<DWORD_PTR>(&stream), 0, &Stream::Read };
    SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&edits));
    SendMessageW(edit, EM_REQUESTRESIZE, 0, 0);
    UpdateWindow(fuzz::HeadlessWindow::Get());
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    if (GetWindowTextW(edit, text.data(), length + 1) > length)
        __builtin_trap();
    DestroyWindow(edit);
    return 0;
}
