// VERSIONINFO: the VS_VERSIONINFO tree. Every node is wLength, wValueLength, wType, a
// zero-terminated key, padding to a DWORD, its value, padding, then its children, each starting
// on a DWORD. The root's value is the 52-byte fixed file information.

#include "tools/rc/ScriptParser.h"

namespace fln::rc {

namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;

class NodeWriter {
public:
    NodeWriter(ByteWriter& out, const std::u16string& key, std::uint16_t valueLength, std::uint16_t type)
        : m_out(out)
    {
        m_out.AlignToDword();
        m_start = m_out.Size();
        m_out.Word(0);
        m_out.Word(valueLength);
        m_out.Word(type);
        m_out.TextZ(key);
        m_out.AlignToDword();
    }
    void Finish(const Token& at, const TokenStream& tokens)
    {
        std::size_t length = m_out.Size() - m_start;
        if (length > 0xFFFF)
            tokens.Fail(at, "version information larger than 64 KB");
        m_out.PatchWord(m_start, static_cast<std::uint16_t>(length));
    }

private:
    ByteWriter& m_out;
    std::size_t m_start = 0;
};

}

void ScriptParser::VersionInfo(const Token& at, const ResourceName& name)
{
    std::uint32_t fixed[4] = {}; // file MS, LS, product MS, LS
    std::uint32_t flagsMask = 0, flags = 0, os = 0, type = 0, subtype = 0;
    auto versionNumber = [&](std::uint32_t* pair) {
        std::uint16_t parts[4] = {};
        for (int i = 0; i < 4; ++i) {
            parts[i] = WordExpression("version part");
            if (!Accept(','))
                break;
        }
        pair[0] = (std::uint32_t(parts[0]) << 16) | parts[1];
        pair[1] = (std::uint32_t(parts[2]) << 16) | parts[3];
    };
    for (;;) {
        if (AcceptKeyword("FILEVERSION"))
            versionNumber(fixed);
        else if (AcceptKeyword("PRODUCTVERSION"))
            versionNumber(fixed + 2);
        else if (AcceptKeyword("FILEFLAGSMASK"))
            flagsMask = Expression();
        else if (AcceptKeyword("FILEFLAGS"))
            flags = Expression();
        else if (AcceptKeyword("FILEOS"))
            os = Expression();
        else if (AcceptKeyword("FILETYPE"))
            type = Expression();
        else if (AcceptKeyword("FILESUBTYPE"))
            subtype = Expression();
        else if (Peek().IsKeyword("LANGUAGE") || Peek().IsKeyword("CHARACTERISTICS") || Peek().IsKeyword("VERSION"))
            SkipCommonOptions();
        else
            break;
    }

    ByteWriter out;
    NodeWriter root(out, u"VS_VERSION_INFO", 52, 0);
    for (std::uint32_t value : { kFixedSignature, kFixedStructVersion, fixed[0], fixed[1], fixed[2], fixed[3], flagsMask,
             flags, os, type, subtype, 0u, 0u })
        out.Dword(value);
    ExpectBegin("to open the version information");
    while (!AcceptEnd())
        VersionBlock(out, false);
    root.Finish(at, *m_tokens);
    Add(at, { kTypeVersion, {} }, name, std::move(out.Data()));
}

// One BLOCK or VALUE statement inside the version information.
void ScriptParser::VersionBlock(ByteWriter& out, bool inStringFileInfo)
{
    const Token statement = Next();
    if (statement.IsKeyword("BLOCK")) {
        if (++m_nesting > kMaxNesting)
            Fail(statement, "blocks nested too deeply");
        std::u16string key = ExpectString("the block's name").text;
        NodeWriter node(out, key, 0, 1);
        ExpectBegin("to open the block");
        while (!AcceptEnd())
            VersionBlock(out, inStringFileInfo || key == u"StringFileInfo");
        node.Finish(statement, *m_tokens);
        --m_nesting;
        return;
    }
    if (!statement.IsKeyword("VALUE"))
        Fail(statement, "expected BLOCK or VALUE, found " + Describe(statement));
    std::u16string key = ExpectString("the value's name").text;
    // Text values are concatenated strings; others are words (or double words with L).
    std::u16string text;
    ByteWriter binary;
    bool isText = false;
    while (Accept(',')) {
        if (Peek().kind == TokenKind::String) {
            text += Next().text;
            isText = true;
        } else {
            m_sawLongNumber = false;
            std::uint32_t value = Expression();
            if (m_sawLongNumber)
                binary.Dword(value);
            else
                binary.Word(static_cast<std::uint16_t>(value));
        }
    }
    if (isText && binary.Size() != 0)
        Fail(statement, "a version value mixes text and numbers");
    if (inStringFileInfo && binary.Size() != 0)
        Fail(statement, "a value in StringFileInfo is text: write it in quotes");
    if (isText || inStringFileInfo) {
        if (text.size() + 1 > 0xFFFF)
            Fail(statement, "version text too long");
        NodeWriter node(out, key, static_cast<std::uint16_t>(text.size() + 1), 1);
        out.TextZ(text);
        node.Finish(statement, *m_tokens);
    } else {
        if (binary.Size() > 0xFFFF)
            Fail(statement, "version value too long");
        NodeWriter node(out, key, static_cast<std::uint16_t>(binary.Size()), 0);
        out.Bytes(binary.Data());
        node.Finish(statement, *m_tokens);
    }
}

}
