// DIALOGEX: a DLGTEMPLATEEX header followed by one DWORD-aligned DLGITEMTEMPLATEEX per control;
// DIALOG: the same with the standard DLGTEMPLATE and DLGITEMTEMPLATE (no help ids, a font of point
// size and face only, 16-bit control ids).

#include "tools/rc/ScriptParser.h"

#include <array>

namespace fln::rc {

namespace {

constexpr std::uint32_t kPopup = 0x80000000, kChild = 0x40000000, kVisible = 0x10000000, kBorder = 0x00800000,
                        kSysMenu = 0x00080000, kCaption = 0x00C00000, kGroup = 0x00020000, kTabStop = 0x00010000,
                        kSetFont = 0x40;

enum ClassOrdinal : std::uint16_t { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kScrollBar = 0x84, kComboBox = 0x85 };

struct PredefinedClass {
    const char* name; // upper case
    ClassOrdinal ordinal;
};
constexpr std::array kPredefinedClasses {
    PredefinedClass { "BUTTON", kButton }, PredefinedClass { "EDIT", kEdit }, PredefinedClass { "STATIC", kStatic },
    PredefinedClass { "LISTBOX", kListBox }, PredefinedClass { "SCROLLBAR", kScrollBar }, PredefinedClass { "COMBOBOX", kComboBox },
};

// The statements that stand for one kind of control, with the styles each adds by itself.
struct ControlKind {
    const char* keyword;
    ClassOrdinal windowClass;
    std::uint32_t defaultStyle;
    bool hasText;
};
constexpr std::array kControlKinds {
    ControlKind { "LTEXT", kStatic, kGroup | 0x0, true },
    ControlKind { "RTEXT", kStatic, kGroup | 0x2, true },
    ControlKind { "CTEXT", kStatic, kGroup | 0x1, true },
    ControlKind { "PUSHBUTTON", kButton, kTabStop | 0x0, true },
    ControlKind { "DEFPUSHBUTTON", kButton, kTabStop | 0x1, true },
    ControlKind { "CHECKBOX", kButton, kTabStop | 0x2, true },
    ControlKind { "AUTOCHECKBOX", kButton, kTabStop | 0x3, true },
    ControlKind { "STATE3", kButton, kTabStop | 0x5, true },
    ControlKind { "AUTO3STATE", kButton, kTabStop | 0x6, true },
    ControlKind { "RADIOBUTTON", kButton, kTabStop | 0x4, true },
    ControlKind { "AUTORADIOBUTTON", kButton, kTabStop | 0x9, true },
    ControlKind { "GROUPBOX", kButton, 0x7, true },
    ControlKind { "EDITTEXT", kEdit, kTabStop | kBorder, false },
    ControlKind { "COMBOBOX", kComboBox, kTabStop | 0x1, false },
    ControlKind { "LISTBOX", kListBox, kBorder | 0x1, false },
    ControlKind { "SCROLLBAR", kScrollBar, 0x0, false },
    ControlKind { "ICON", kStatic, 0x3, true },
};

void WriteNameOrOrdinal(ByteWriter& out, const ResourceName& name)
{
    if (name.IsName()) {
        out.TextZ(name.name);
    } else if (name.id != 0) {
        out.Word(0xFFFF);
        out.Word(name.id);
    } else {
        out.Word(0);
    }
}

}

void ScriptParser::Dialog(const Token& at, const ResourceName& name, bool extended)
{
    std::int16_t x = CoordinateExpression("x");
    Expect(',', "after the dialog's x");
    std::int16_t y = CoordinateExpression("y");
    Expect(',', "after the dialog's y");
    std::int16_t cx = CoordinateExpression("width");
    Expect(',', "after the dialog's width");
    std::int16_t cy = CoordinateExpression("height");
    std::uint32_t helpId = extended && Accept(',') ? Expression() : 0;

    std::uint32_t style = kPopup | kBorder | kSysMenu;
    std::uint32_t exStyle = 0;
    std::u16string caption;
    bool hasCaption = false;
    bool hasFont = false;
    std::uint16_t pointSize = 0, weight = 0;
    std::uint8_t italic = 0, charset = 1;
    std::u16string typeface;
    ResourceName menu;
    ResourceName windowClass;
    for (;;) {
        if (AcceptKeyword("STYLE")) {
            style = Style(0);
        } else if (AcceptKeyword("EXSTYLE")) {
            exStyle = Expression();
        } else if (AcceptKeyword("CAPTION")) {
            caption = ExpectString("the caption").text;
            hasCaption = true;
        } else if (AcceptKeyword("FONT")) {
            pointSize = WordExpression("point size");
            Expect(',', "after the point size");
            typeface = ExpectString("the font's face name").text;
            if (Accept(',')) {
                weight = WordExpression("font weight");
                if (Accept(',')) {
                    italic = static_cast<std::uint8_t>(Expression());
                    if (Accept(','))
                        charset = static_cast<std::uint8_t>(Expression());
                }
            }
            hasFont = true;
        } else if (AcceptKeyword("MENU")) {
            menu = NameOrOrdinal("a menu name");
        } else if (AcceptKeyword("CLASS")) {
            if (Peek().kind == TokenKind::String)
                windowClass.name = Next().text;
            else
                windowClass = NameOrOrdinal("a window class");
        } else if (Peek().IsKeyword("LANGUAGE") || Peek().IsKeyword("CHARACTERISTICS") || Peek().IsKeyword("VERSION")
            || Peek().IsKeyword("DISCARDABLE") || Peek().IsKeyword("MOVEABLE") || Peek().IsKeyword("PURE")) {
            SkipCommonOptions();
        } else {
            break;
        }
    }
    if (hasCaption)
        style |= kCaption;
    // The font fields are written exactly when the style says so: a STYLE with DS_SETFONT (or
    // DS_SHELLFONT) but no FONT statement would otherwise make readers take the first control for a font.
    if (hasFont)
        style |= kSetFont;
    else
        style &= ~kSetFont;

    ByteWriter out;
    if (extended) {
        out.Word(1);      // template version
        out.Word(0xFFFF); // marks the extended layout
        out.Dword(helpId);
        out.Dword(exStyle);
        out.Dword(style);
    } else {
        out.Dword(style);
        out.Dword(exStyle);
    }
    const std::size_t countOffset = out.Size();
    out.Word(0);
    out.Word(static_cast<std::uint16_t>(x));
    out.Word(static_cast<std::uint16_t>(y));
    out.Word(static_cast<std::uint16_t>(cx));
    out.Word(static_cast<std::uint16_t>(cy));
    WriteNameOrOrdinal(out, menu);
    WriteNameOrOrdinal(out, windowClass);
    out.TextZ(caption);
    if (hasFont) {
        out.Word(pointSize);
        if (extended) {
            out.Word(weight);
            out.Byte(italic);
            out.Byte(charset);
        }
        out.TextZ(typeface);
    }

    ExpectBegin("to open the dialog's controls");
    std::uint32_t count = 0;
    while (!AcceptEnd()) {
        if (++count > 0xFFFF)
            FailHere("too many controls in one dialog");
        DialogControl(out, extended);
    }
    out.PatchWord(countOffset, static_cast<std::uint16_t>(count));
    Add(at, { kTypeDialog, {} }, name, std::move(out.Data()));
}

void ScriptParser::DialogControl(ByteWriter& out, bool extended)
{
    const Token statement = Next();
    ResourceName title;
    auto readTitle = [&] {
        if (Peek().kind == TokenKind::String)
            title.name = Next().text; // as written: titles keep their case
        else
            title = NameOrOrdinal("a control text or resource");
        Expect(',', "after the control's text");
    };

    std::uint32_t id = 0, style = kChild | kVisible, exStyle = 0, helpId = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    ResourceName windowClass;
    auto readRectangle = [&](bool sizeOptional) {
        x = CoordinateExpression("x");
        Expect(',', "after the control's x");
        y = CoordinateExpression("y");
        if (sizeOptional && !Peek().IsPunct(','))
            return;
        Expect(',', "after the control's y");
        cx = CoordinateExpression("width");
        Expect(',', "after the control's width");
        cy = CoordinateExpression("height");
    };

    if (statement.IsKeyword("CONTROL")) {
        readTitle();
        id = Expression();
        Expect(',', "after the control's id");
        const Token classToken = Next();
        std::u16string className = classToken.kind == TokenKind::String ? classToken.text
            : classToken.kind == TokenKind::Identifier                  ? Widen(classToken.spelling)
                                                                         : std::u16string();
        if (className.empty())
            Fail(classToken, "expected a window class, found " + Describe(classToken));
        windowClass.name = className;
        for (const PredefinedClass& known : kPredefinedClasses) {
            if (Upper(className) == Widen(known.name))
                windowClass = { known.ordinal, {} };
        }
        if (classToken.kind == TokenKind::Identifier && windowClass.IsName())
            Fail(classToken, "unknown window class " + classToken.spelling + "; write its name in quotes");
        Expect(',', "after the window class");
        style = Style(kChild | kVisible);
        Expect(',', "after the control's style");
        readRectangle(false);
    } else {
        const ControlKind* kind = nullptr;
        for (const ControlKind& candidate : kControlKinds) {
            if (statement.IsKeyword(candidate.keyword))
                kind = &candidate;
        }
        if (!kind)
            Fail(statement, "expected a control statement, found " + Describe(statement));
        if (kind->hasText)
            readTitle();
        id = Expression();
        Expect(',', "after the control's id");
        windowClass = { kind->windowClass, {} };
        const bool isIcon = statement.IsKeyword("ICON");
        readRectangle(isIcon);
        style = kChild | kVisible | kind->defaultStyle;
        if (Accept(','))
            style = Style(style);
    }
    if (Accept(',')) {
        exStyle = Expression();
        if (extended && Accept(','))
            helpId = Expression();
    }
    if (!extended && id > 0xFFFF && id != 0xFFFFFFFF)
        Fail(statement, "control id " + std::to_string(id) + " does not fit in 16 bits; write DIALOGEX");

    out.AlignToDword();
    if (extended) {
        out.Dword(helpId);
        out.Dword(exStyle);
        out.Dword(style);
    } else {
        out.Dword(style);
        out.Dword(exStyle);
    }
    out.Word(static_cast<std::uint16_t>(x));
    out.Word(static_cast<std::uint16_t>(y));
    out.Word(static_cast<std::uint16_t>(cx));
    out.Word(static_cast<std::uint16_t>(cy));
    if (extended)
        out.Dword(id);
    else
        out.Word(static_cast<std::uint16_t>(id));
    WriteNameOrOrdinal(out, windowClass);
    if (!title.IsName() && title.id == 0)
        out.Word(0);
    else
        WriteNameOrOrdinal(out, title);
    out.Word(0); // no creation data
}

}
