// The RTF reader: one pass over the bytes with an explicit stack of group states, so neither deep
// nesting nor long input can exhaust the machine stack.

#include "platform/comctl/RtfReader.h"

#include "platform/base/CString.h"
#include "platform/base/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <utility>

namespace fln::comctl {

std::wstring RtfParagraph::Text() const
{
    std::wstring text;
    for (const RtfRun& run : runs)
        text += run.text;
    return text;
}

const std::wstring* RtfDocument::FaceOf(int number) const
{
    auto found = fonts.find(number);
    return found == fonts.end() ? nullptr : &found->second;
}

std::optional<COLORREF> RtfDocument::ColorOf(int index) const
{
    if (index <= 0 || static_cast<size_t>(index) >= colors.size())
        return std::nullopt;
    return colors[static_cast<size_t>(index)];
}

std::wstring RtfDocument::Text() const
{
    std::wstring text;
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i)
            text += L'\r';
        text += paragraphs[i].Text();
    }
    return text;
}

std::wstring DecodeCodePage(std::string_view bytes, int codePage)
{
    return codePage == 65001 ? NarrowToWide(bytes) : Windows1252ToWide(bytes);
}

namespace {

enum class Destination { Text, FontTable, ColorTable, Skip };

struct GroupState {
    RtfCharFormat chars;
    RtfParagraphFormat paragraph;
    int unicodeSkip = 1; // \ucN: the fallback characters that follow each \uN
    Destination destination = Destination::Text;
};

// Lengths beyond 22 inches and sizes beyond 1638 points are kept at those bounds.
constexpr int kMaxTwips = 31680;
constexpr int kMaxHalfPoints = 3276;
constexpr size_t kMaxControlWordLength = 32;

int ClampTwips(int value) { return std::clamp(value, -kMaxTwips, kMaxTwips); }

// The destinations whose text is not part of the document.
constexpr const char* kSkippedDestinations[] = { "author", "buptim", "comment", "creatim", "doccomm", "footer",
    "footerf", "footerl", "footerr", "footnote", "header", "headerf", "headerl", "headerr", "info", "keywords",
    "object", "operator", "pict", "printim", "revtim", "stylesheet", "subject", "title", "listtable",
    "listoverridetable", "revtbl", "rsidtbl", "xmlnstbl", "fldinst", "themedata", "colorschememapping",
    "datastore", "latentstyles", "generator", "filetbl", "pgdsctbl", "mmathPr" };

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) { m_document.paragraphs.emplace_back(); }

    RtfDocument Read()
    {
        m_position = 1; // inside the document's own group
        m_stack.push_back({});
        while (m_position < m_bytes.size() && !m_done)
            Step();
        if (!m_stack.empty()) {
            Flush();
            m_document.paragraphs.back().format = State().paragraph;
        }
        if (!m_done && m_document.problem == RtfProblem::None)
            m_document.problem = RtfProblem::Unbalanced;
        if (m_document.paragraphs.size() > 1 && m_document.paragraphs.back().runs.empty())
            m_document.paragraphs.pop_back(); // the last \par ends the text; it opens no empty line
        return std::move(m_document);
    }

private:
    GroupState& State() { return m_stack.back(); }

    void Step()
    {
        char c = m_bytes[m_position++];
        switch (c) {
        case '{':
            OpenGroup();
            break;
        case '}':
            CloseGroup();
            break;
        case '\\':
            ReadControl();
            break;
        case '\r':
        case '\n':
            break;
        default:
            if (ConsumeFallback())
                break;
            if (State().destination == Destination::ColorTable && c == ';')
                EndColor();
            else if (State().destination == Destination::FontTable && c == ';')
                EndFont();
            else
                m_pendingBytes += c;
        }
    }

    void OpenGroup()
    {
        Flush();
        m_fallbackLeft = 0;
        if (m_stack.size() >= static_cast<size_t>(kRtfMaxGroupDepth)) {
            m_document.problem = RtfProblem::TooDeep;
            m_done = true;
            return;
        }
        m_stack.push_back(State());
    }

    void CloseGroup()
    {
        Flush();
        m_fallbackLeft = 0;
        if (m_stack.size() == 1) { // the document's own group ends the text
            m_document.paragraphs.back().format = State().paragraph;
            m_stack.pop_back();
            m_done = true;
            return;
        }
        Destination closing = State().destination;
        m_stack.pop_back();
        if (closing == Destination::FontTable)
            EndFont(); // a font entry may end with its group instead of a semicolon
    }

    std::optional<int> ReadNumber()
    {
        size_t start = m_position;
        bool negative = m_position < m_bytes.size() && m_bytes[m_position] == '-';
        if (negative)
            ++m_position;
        long long value = 0;
        bool digits = false;
        while (m_position < m_bytes.size() && m_bytes[m_position] >= '0' && m_bytes[m_position] <= '9') {
            value = std::min<long long>(value * 10 + (m_bytes[m_position] - '0'), std::numeric_limits<int>::max());
            digits = true;
            ++m_position;
        }
        if (!digits) {
            m_position = start;
            return std::nullopt;
        }
        return static_cast<int>(negative ? -value : value);
    }

    void ReadControl()
    {
        if (m_position >= m_bytes.size())
            return;
        char c = m_bytes[m_position];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_position;
            ReadControlSymbol(c);
            return;
        }
        std::string word;
        while (m_position < m_bytes.size() && std::isalpha(static_cast<unsigned char>(m_bytes[m_position]))) {
            if (word.size() < kMaxControlWordLength)
                word += m_bytes[m_position];
            ++m_position;
        }
        std::optional<int> parameter = ReadNumber();
        if (m_position < m_bytes.size() && m_bytes[m_position] == ' ')
            ++m_position;
        if (word == "bin") {
            // Binary data: its bytes are skipped, whatever they hold.
            size_t length = static_cast<size_t>(std::max(0, parameter.value_or(0)));
            m_position += std::min(length, m_bytes.size() - m_position);
            return;
        }
        if (ConsumeFallback())
            return;
        ControlWord(word, parameter);
    }

    void ReadControlSymbol(char c)
    {
        if (c == '\'') {
            int high = m_position < m_bytes.size() ? HexValue(m_bytes[m_position]) : -1;
            int low = m_position + 1 < m_bytes.size() ? HexValue(m_bytes[m_position + 1]) : -1;
            if (high < 0 || low < 0) {
                m_position += high >= 0; // a broken escape is dropped with its one hex digit
                return;
            }
            m_position += 2;
            if (!ConsumeFallback())
                m_pendingBytes += static_cast<char>(high * 16 + low);
            return;
        }
        if (ConsumeFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            m_pendingBytes += c;
            break;
        case '~':
            AppendChar(0x00A0);
            break;
        case '_':
            AppendChar(0x2011);
            break;
        case '*':
            State().destination = Destination::Skip; // no destination of this kind is shown
            break;
        case '\r':
        case '\n':
            EndParagraph();
            break;
        default:
            break; // \- optional hyphens, \| and the rest show nothing
        }
    }

    static int HexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // After \uN, the reader skips the N fallback characters that stand in for it.
    bool ConsumeFallback()
    {
        if (m_fallbackLeft <= 0)
            return false;
        --m_fallbackLeft;
        return true;
    }

    void ControlWord(const std::string& word, std::optional<int> parameter)
    {
        GroupState& state = State();
        RtfCharFormat& chars = state.chars;
        RtfParagraphFormat& paragraph = state.paragraph;
        int value = parameter.value_or(0);
        bool on = !parameter || value != 0;

        if (std::find_if(std::begin(kSkippedDestinations), std::end(kSkippedDestinations),
                [&](const char* name) { return word == name; }) != std::end(kSkippedDestinations)) {
            Flush();
            state.destination = Destination::Skip;
            return;
        }
        if (word == "fonttbl") {
            Flush();
            state.destination = Destination::FontTable;
            m_font = {};
        } else if (word == "colortbl") {
            Flush();
            state.destination = Destination::ColorTable;
            m_color = {};
        } else if (word == "ansicpg") {
            Flush();
            m_codePage = value;
        } else if (word == "deff") {
            m_document.defaultFont = value;
        } else if (word == "f") {
            Flush();
            if (state.destination == Destination::FontTable)
                m_font.number = value;
            else
                chars.font = value;
        } else if (word == "red" || word == "green" || word == "blue") {
            int component = std::clamp(value, 0, 255);
            (word == "red" ? m_color.red : word == "green" ? m_color.green : m_color.blue) = component;
            m_color.given = true;
        } else if (word == "uc") {
            state.unicodeSkip = std::clamp(value, 0, 16);
        } else if (word == "u") {
            Unicode(value);
        } else if (state.destination == Destination::Skip || state.destination == Destination::ColorTable) {
            return;
        } else if (word == "plain") {
            Flush();
            chars = {};
        } else if (word == "fs") {
            Flush();
            chars.halfPoints = parameter ? std::clamp(value, 1, kMaxHalfPoints) : 24;
        } else if (word == "b") {
            SetFlag(chars.bold, on);
        } else if (word == "i") {
            SetFlag(chars.italic, on);
        } else if (word == "ul" || word == "uld" || word == "uldash" || word == "uldb" || word == "ulw" || word == "ulth") {
            SetFlag(chars.underline, on);
        } else if (word == "ulnone") {
            SetFlag(chars.underline, false);
        } else if (word == "strike") {
            SetFlag(chars.strike, on);
        } else if (word == "cf") {
            Flush();
            chars.color = std::max(0, value);
        } else if (word == "pard") {
            paragraph = {};
        } else if (word == "ql") {
            paragraph.alignment = RtfAlignment::Left;
        } else if (word == "qc") {
            paragraph.alignment = RtfAlignment::Center;
        } else if (word == "qr") {
            paragraph.alignment = RtfAlignment::Right;
        } else if (word == "qj") {
            paragraph.alignment = RtfAlignment::Justify;
        } else if (word == "li") {
            paragraph.leftIndent = ClampTwips(value);
        } else if (word == "ri") {
            paragraph.rightIndent = ClampTwips(value);
        } else if (word == "fi") {
            paragraph.firstLineIndent = ClampTwips(value);
        } else if (word == "sb") {
            paragraph.spaceBefore = std::clamp(value, 0, kMaxTwips);
        } else if (word == "sa") {
            paragraph.spaceAfter = std::clamp(value, 0, kMaxTwips);
        } else if (word == "par" || word == "row" || word == "sect" || word == "page") {
            EndParagraph();
        } else if (word == "line") {
            AppendChar(L'\v');
        } else if (word == "tab" || word == "cell") {
            AppendChar(L'\t');
        } else if (word == "emdash") {
            AppendChar(0x2014);
        } else if (word == "endash") {
            AppendChar(0x2013);
        } else if (word == "bullet") {
            AppendChar(0x2022);
        } else if (word == "lquote") {
            AppendChar(0x2018);
        } else if (word == "rquote") {
            AppendChar(0x2019);
        } else if (word == "ldblquote") {
            AppendChar(0x201C);
        } else if (word == "rdblquote") {
            AppendChar(0x201D);
        } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
            AppendChar(L' ');
        }
    }

    void SetFlag(bool& flag, bool on)
    {
        Flush();
        flag = on;
    }

    // \uN gives a UTF-16 code unit as a signed 16-bit number; a surrogate pair spans two of them.
    void Unicode(int value)
    {
        m_fallbackLeft = State().unicodeSkip;
        if (value < -32768 || value > 65535) {
            AppendChar(0xFFFD);
            return;
        }
        auto unit = static_cast<char32_t>(static_cast<uint16_t>(value));
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            Flush();
            m_highSurrogate = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            char32_t high = std::exchange(m_highSurrogate, 0);
            AppendChar(high ? static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00)) : 0xFFFD);
            return;
        }
        AppendChar(unit ? static_cast<wchar_t>(unit) : 0xFFFD);
    }

    void AppendChar(wchar_t ch)
    {
        Flush();
        AppendText(std::wstring(1, ch));
    }

    // Decodes the bytes collected since the last control word in the document's code page.
    void Flush()
    {
        if (m_highSurrogate) {
            m_highSurrogate = 0;
            AppendText(L"\xFFFD");
        }
        if (m_pendingBytes.empty())
            return;
        std::wstring text = DecodeCodePage(m_pendingBytes, m_codePage);
        m_pendingBytes.clear();
        AppendText(text);
    }

    void AppendText(const std::wstring& text)
    {
        switch (State().destination) {
        case Destination::Text: {
            auto& runs = m_document.paragraphs.back().runs;
            if (!runs.empty() && runs.back().format == State().chars)
                runs.back().text += text;
            else
                runs.push_back({ State().chars, text });
            break;
        }
        case Destination::FontTable:
            m_font.face += text;
            break;
        default:
            break;
        }
    }

    void EndParagraph()
    {
        if (State().destination != Destination::Text)
            return;
        Flush();
        m_document.paragraphs.back().format = State().paragraph;
        m_document.paragraphs.emplace_back();
    }

    void EndFont()
    {
        Flush();
        size_t first = m_font.face.find_first_not_of(L' ');
        if (first != std::wstring::npos) {
            size_t last = m_font.face.find_last_not_of(L' ');
            m_document.fonts.try_emplace(m_font.number, m_font.face.substr(first, last - first + 1)); // the first entry of a number counts
        }
        m_font.face.clear();
    }

    void EndColor()
    {
        if (m_color.given)
            m_document.colors.emplace_back(RGB(m_color.red, m_color.green, m_color.blue));
        else
            m_document.colors.emplace_back(std::nullopt);
        m_color = {};
    }

    struct FontEntry {
        int number = 0;
        std::wstring face;
    };
    struct ColorEntry {
        int red = 0, green = 0, blue = 0;
        bool given = false;
    };

    std::string_view m_bytes;
    size_t m_position = 0;
    bool m_done = false;
    RtfDocument m_document;
    std::vector<GroupState> m_stack;
    std::string m_pendingBytes;
    int m_codePage = 1252;
    int m_fallbackLeft = 0;
    char32_t m_highSurrogate = 0;
    FontEntry m_font;
    ColorEntry m_color;
};

bool StartsAsRtf(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

} // namespace

RtfDocument ReadRtf(std::string_view bytes)
{
    if (!StartsAsRtf(bytes))
        return PlainTextDocument(DecodeTextFile(bytes).text);
    return Reader(bytes).Read();
}

RtfDocument PlainTextDocument(std::wstring_view text)
{
    RtfDocument document;
    document.problem = RtfProblem::NotRtf;
    document.paragraphs.emplace_back();
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t ch = text[i];
        if (ch == L'\r' || ch == L'\n') {
            if (ch == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
            document.paragraphs.emplace_back();
            continue;
        }
        auto& runs = document.paragraphs.back().runs;
        if (runs.empty())
            runs.emplace_back();
        runs.back().text += ch;
    }
    return document;
}

} // namespace fln::comctl
