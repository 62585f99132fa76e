#include "platform/res/Templates.h"

#include "platform/base/TextEncoding.h"

#include <algorithm>

namespace fln::res {

namespace {

constexpr int kMaxMenuDepth = 64;
constexpr DWORD kSeparatorType = 0x0800;

// Reads little-endian values and zero-terminated UTF-16 texts, failing (never reading) past the end.
class TemplateReader {
public:
    TemplateReader(const void* data, std::size_t size)
        : m_data(static_cast<const BYTE*>(data))
        , m_size(data ? size : 0)
    {
    }

    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_offset >= m_size; }
    std::size_t Offset() const { return m_offset; }

    BYTE Byte()
    {
        if (!Need(1))
            return 0;
        return m_data[m_offset++];
    }
    WORD Word()
    {
        if (!Need(2))
            return 0;
        WORD value = static_cast<WORD>(m_data[m_offset] | (m_data[m_offset + 1] << 8));
        m_offset += 2;
        return value;
    }
    DWORD Dword()
    {
        WORD low = Word();
        return MAKELONG(low, Word());
    }
    CString Text()
    {
        std::size_t end = m_offset;
        while (end + 2 <= m_size && (m_data[end] | m_data[end + 1]) != 0)
            end += 2;
        if (end + 2 > m_size) {
            m_ok = false;
            return {};
        }
        CString text(Utf16LeToWide({ reinterpret_cast<const char*>(m_data) + m_offset, end - m_offset }));
        m_offset = end + 2;
        return text;
    }
    NameOrOrdinal NameOrOrdinalField()
    {
        NameOrOrdinal field;
        if (Need(2) && m_data[m_offset] == 0xFF && m_data[m_offset + 1] == 0xFF) {
            m_offset += 2;
            field.ordinal = Word();
        } else {
            field.text = Text();
        }
        return field;
    }
    void AlignToDword()
    {
        m_offset = std::min((m_offset + 3) & ~std::size_t(3), std::max(m_size, m_offset));
    }
    std::vector<BYTE> Bytes(std::size_t count)
    {
        if (!Need(count))
            return {};
        std::vector<BYTE> bytes(m_data + m_offset, m_data + m_offset + count);
        m_offset += count;
        return bytes;
    }

private:
    bool Need(std::size_t count)
    {
        if (m_offset > m_size || m_size - m_offset < count)
            m_ok = false;
        return m_ok;
    }

    const BYTE* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
    bool m_ok = true;
};

bool ReadMenuItems(TemplateReader& reader, std::vector<MenuTemplateItem>& items, int depth)
{
    if (depth > kMaxMenuDepth)
        return false;
    for (;;) {
        MenuTemplateItem item;
        const WORD option = reader.Word();
        item.isPopup = option & MF_POPUP;
        item.options = option & ~MF_END;
        if (!item.isPopup)
            item.id = reader.Word();
        item.text = reader.Text();
        if (!reader.Ok())
            return false;
        item.isSeparator = !item.isPopup && item.id == 0 && item.text.IsEmpty();
        if (item.isPopup && !ReadMenuItems(reader, item.children, depth + 1))
            return false;
        items.push_back(std::move(item));
        if (option & MF_END)
            return true;
    }
}

bool ReadMenuExItems(TemplateReader& reader, std::vector<MenuTemplateItem>& items, int depth)
{
    if (depth > kMaxMenuDepth)
        return false;
    for (;;) {
        reader.AlignToDword();
        MenuTemplateItem item;
        item.type = reader.Dword();
        item.state = reader.Dword();
        item.id = reader.Dword();
        const WORD flags = reader.Word();
        item.text = reader.Text();
        reader.AlignToDword();
        if (!reader.Ok())
            return false;
        item.isPopup = flags & 0x01;
        item.isSeparator = item.type & kSeparatorType;
        if (item.isPopup) {
            item.helpId = reader.Dword();
            if (!reader.Ok() || !ReadMenuExItems(reader, item.children, depth + 1))
                return false;
        }
        items.push_back(std::move(item));
        if (flags & 0x80)
            return true;
    }
}

}

std::optional<MenuTemplate> DecodeMenuTemplate(const void* data, std::size_t size)
{
    TemplateReader reader(data, size);
    MenuTemplate menu;
    const WORD version = reader.Word();
    const WORD offset = reader.Word();
    if (!reader.Ok() || version > 1)
        return std::nullopt;
    menu.extended = version == 1;
    if (menu.extended) {
        if (offset < 4)
            return std::nullopt;
        menu.helpId = reader.Dword();
        reader.Bytes(offset - 4);
    } else {
        reader.Bytes(offset);
    }
    if (!reader.Ok())
        return std::nullopt;
    if (reader.AtEnd())
        return menu; // a menu without items
    bool ok = menu.extended ? ReadMenuExItems(reader, menu.items, 0) : ReadMenuItems(reader, menu.items, 0);
    if (!ok)
        return std::nullopt;
    return menu;
}

std::optional<std::vector<AcceleratorEntry>> DecodeAcceleratorTable(const void* data, std::size_t size)
{
    TemplateReader reader(data, size);
    std::vector<AcceleratorEntry> entries;
    while (!reader.AtEnd()) {
        const WORD flags = reader.Word();
        AcceleratorEntry entry { static_cast<BYTE>(flags & 0x7F), reader.Word(), reader.Word() };
        reader.Word(); // padding
        if (!reader.Ok())
            return std::nullopt;
        entries.push_back(entry);
        if (flags & 0x80)
            return entries;
    }
    return entries.empty() ? std::optional(entries) : std::nullopt; // entries without an end mark
}

std::optional<DialogTemplate> DecodeDialogTemplate(const void* data, std::size_t size)
{
    constexpr DWORD kSetFont = 0x40;
    TemplateReader reader(data, size);
    DialogTemplate dialog;
    // The extended layout starts with version 1 and 0xFFFF, which no style of the standard one does.
    const WORD first = reader.Word();
    const WORD second = reader.Word();
    dialog.extended = first == 1 && second == 0xFFFF;
    if (dialog.extended) {
        dialog.helpId = reader.Dword();
        dialog.exStyle = reader.Dword();
        dialog.style = reader.Dword();
    } else {
        dialog.style = MAKELONG(first, second);
        dialog.exStyle = reader.Dword();
    }
    const WORD count = reader.Word();
    dialog.x = static_cast<short>(reader.Word());
    dialog.y = static_cast<short>(reader.Word());
    dialog.cx = static_cast<short>(reader.Word());
    dialog.cy = static_cast<short>(reader.Word());
    dialog.menu = reader.NameOrOrdinalField();
    dialog.windowClass = reader.NameOrOrdinalField();
    dialog.title = reader.Text();
    if (dialog.style & kSetFont) {
        dialog.hasFont = true;
        dialog.pointSize = reader.Word();
        if (dialog.extended) {
            dialog.weight = reader.Word();
            dialog.italic = reader.Byte();
            dialog.charset = reader.Byte();
        }
        dialog.typeface = reader.Text();
    }
    for (WORD i = 0; i < count && reader.Ok(); ++i) {
        reader.AlignToDword();
        DialogItemTemplate item;
        if (dialog.extended) {
            item.helpId = reader.Dword();
            item.exStyle = reader.Dword();
            item.style = reader.Dword();
        } else {
            item.style = reader.Dword();
            item.exStyle = reader.Dword();
        }
        item.x = static_cast<short>(reader.Word());
        item.y = static_cast<short>(reader.Word());
        item.cx = static_cast<short>(reader.Word());
        item.cy = static_cast<short>(reader.Word());
        item.id = dialog.extended ? reader.Dword() : reader.Word();
        item.windowClass = reader.NameOrOrdinalField();
        item.title = reader.NameOrOrdinalField();
        // The extended layout counts the bytes that follow the count; the standard one counts
        // the count word too.
        const WORD extra = reader.Word();
        const std::size_t dataBytes = dialog.extended || extra == 0 ? extra : extra - std::min<WORD>(extra, 2);
        item.creationData = reader.Bytes(dataBytes);
        dialog.items.push_back(std::move(item));
    }
    if (!reader.Ok())
        return std::nullopt;
    return dialog;
}

std::optional<std::vector<DialogInitEntry>> DecodeDialogInit(const void* data, std::size_t size)
{
    TemplateReader reader(data, size);
    std::vector<DialogInitEntry> entries;
    for (;;) {
        DialogInitEntry entry;
        entry.controlId = reader.Word();
        if (!reader.Ok())
            return std::nullopt; // no end mark
        if (entry.controlId == 0)
            return entries;
        entry.message = reader.Word();
        const DWORD length = reader.Dword();
        entry.data = reader.Bytes(length);
        if (!reader.Ok())
            return std::nullopt;
        entries.push_back(std::move(entry));
    }
}

std::optional<ToolBarTemplate> DecodeToolBarTemplate(const void* data, std::size_t size)
{
    TemplateReader reader(data, size);
    ToolBarTemplate toolBar;
    if (reader.Word() != 1)
        return std::nullopt;
    toolBar.width = reader.Word();
    toolBar.height = reader.Word();
    const WORD count = reader.Word();
    for (WORD i = 0; i < count && reader.Ok(); ++i)
        toolBar.commands.push_back(reader.Word());
    if (!reader.Ok())
        return std::nullopt;
    return toolBar;
}

std::optional<std::vector<IconGroupEntry>> DecodeIconGroup(const void* data, std::size_t size, bool cursor)
{
    TemplateReader reader(data, size);
    if (reader.Word() != 0 || reader.Word() != (cursor ? 2 : 1))
        return std::nullopt;
    const WORD count = reader.Word();
    std::vector<IconGroupEntry> entries;
    for (WORD i = 0; i < count && reader.Ok(); ++i) {
        IconGroupEntry entry;
        if (cursor) {
            entry.width = reader.Word();
            entry.height = reader.Word();
        } else {
            entry.width = reader.Byte();
            entry.height = reader.Byte();
            entry.width = entry.width ? entry.width : 256; // 0 stands for 256
            entry.height = entry.height ? entry.height : 256;
            reader.Byte(); // colour count
            reader.Byte();
        }
        reader.Word(); // planes
        entry.bitCount = reader.Word();
        entry.bytes = reader.Dword();
        entry.imageId = reader.Word();
        entries.push_back(entry);
    }
    if (!reader.Ok())
        return std::nullopt;
    return entries;
}

}
