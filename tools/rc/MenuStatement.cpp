// MENU and MENUEX: the standard menu template (a version-0 header, then items whose option word
// marks pop-ups and the last item of each level) and the extended one (a version-1 header, then
// DWORD-aligned items with type, state, id and a pop-up's help id).

#include "tools/rc/ScriptParser.h"

namespace fln::rc {

namespace {

constexpr std::uint16_t kGrayed = 0x0001, kInactive = 0x0002, kChecked = 0x0008, kPopup = 0x0010,
                        kMenuBarBreak = 0x0020, kMenuBreak = 0x0040, kEnd = 0x0080, kHelp = 0x4000;
constexpr std::uint32_t kTypeSeparator = 0x0800;
constexpr std::uint16_t kExPopup = 0x01, kExEnd = 0x80;

}

void ScriptParser::Menu(const Token& at, const ResourceName& name)
{
    const bool extended = Next().IsKeyword("MENUEX");
    SkipCommonOptions();
    ByteWriter out;
    if (extended) {
        out.Word(1); // version
        out.Word(4); // offset of the first item from the end of this word
        out.Dword(0);
        MenuExItems(out);
    } else {
        out.Word(0);
        out.Word(0);
        MenuItems(out);
    }
    Add(at, { kTypeMenu, {} }, name, std::move(out.Data()));
}

bool ScriptParser::MenuItems(ByteWriter& out)
{
    ExpectBegin("to open the menu");
    std::size_t lastOption = SIZE_MAX;
    while (!AcceptEnd()) {
        const Token statement = Next();
        const bool popup = statement.IsKeyword("POPUP");
        if (!popup && !statement.IsKeyword("MENUITEM"))
            Fail(statement, "expected MENUITEM or POPUP, found " + Describe(statement));
        lastOption = out.Size();
        if (!popup && AcceptKeyword("SEPARATOR")) {
            out.Word(0);
            out.Word(0);
            out.Word(0);
            continue;
        }
        std::u16string text = ExpectString("the item's text").text;
        std::uint16_t id = 0;
        if (!popup) {
            Expect(',', "after the item's text");
            id = WordExpression("command id");
        }
        std::uint16_t options = popup ? kPopup : 0;
        for (;;) {
            Accept(',');
            if (AcceptKeyword("GRAYED"))
                options |= kGrayed;
            else if (AcceptKeyword("INACTIVE"))
                options |= kInactive;
            else if (AcceptKeyword("CHECKED"))
                options |= kChecked;
            else if (AcceptKeyword("MENUBARBREAK"))
                options |= kMenuBarBreak;
            else if (AcceptKeyword("MENUBREAK"))
                options |= kMenuBreak;
            else if (AcceptKeyword("HELP"))
                options |= kHelp;
            else
                break;
        }
        out.Word(options);
        if (!popup)
            out.Word(id);
        out.TextZ(text);
        if (popup) {
            if (++m_nesting > kMaxNesting)
                Fail(statement, "pop-up menus nested too deeply");
            if (!MenuItems(out))
                Fail(statement, "a pop-up menu needs at least one item");
            --m_nesting;
        }
    }
    if (lastOption == SIZE_MAX)
        return false;
    out.Data()[lastOption] |= kEnd;
    return true;
}

bool ScriptParser::MenuExItems(ByteWriter& out)
{
    ExpectBegin("to open the menu");
    std::size_t lastFlags = SIZE_MAX;
    while (!AcceptEnd()) {
        const Token statement = Next();
        const bool popup = statement.IsKeyword("POPUP");
        if (!popup && !statement.IsKeyword("MENUITEM"))
            Fail(statement, "expected MENUITEM or POPUP, found " + Describe(statement));
        std::uint32_t type = 0, state = 0, id = 0, helpId = 0;
        std::u16string text;
        if (!popup && AcceptKeyword("SEPARATOR")) {
            type = kTypeSeparator;
        } else {
            text = ExpectString("the item's text").text;
            // Trailing values may be left out, and any of them left empty ("text, id, , state").
            std::uint32_t* fields[] = { &id, &type, &state, &helpId };
            const std::size_t count = popup ? 4 : 3;
            for (std::size_t i = 0; i < count && Accept(','); ++i) {
                if (!Peek().IsPunct(',') && StartsExpression(Peek()))
                    *fields[i] = Expression();
            }
        }
        out.AlignToDword();
        out.Dword(type);
        out.Dword(state);
        out.Dword(id);
        lastFlags = out.Size();
        out.Word(popup ? kExPopup : 0);
        out.TextZ(text);
        out.AlignToDword();
        if (popup) {
            out.Dword(helpId);
            if (++m_nesting > kMaxNesting)
                Fail(statement, "pop-up menus nested too deeply");
            if (!MenuExItems(out))
                Fail(statement, "a pop-up menu needs at least one item");
            --m_nesting;
        }
    }
    if (lastFlags == SIZE_MAX)
        return false;
    out.Data()[lastFlags] |= kExEnd;
    return true;
}

}
