#include "platform/script/RegExpObject.h"

#define PCRE2_CODE_UNIT_WIDTH 32
#include <pcre2.h>

#include "platform/script/RunningScript.h"
#include "platform/script/VbsErrors.h"
#include "platform/script/VbsObjects.h"

#include <memory>
#include <optional>
#include <vector>

static_assert(sizeof(wchar_t) == sizeof(PCRE2_UCHAR32), "wide text is UTF-32");

namespace {

using vbs::RuntimeObject;

struct MatchData {
    std::wstring value;
    LONG firstIndex;
    std::vector<std::optional<std::wstring>> groups;
};

VARIANT EmptyVariant()
{
    VARIANT v;
    VariantInit(&v);
    return v;
}

VARIANT TextVariant(std::wstring_view text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringView(text);
    return v;
}

VARIANT ObjectVariant(IDispatch* object)  // takes the reference
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

// Reads an index argument of a collection; DISP_E_BADINDEX when outside 0..count-1.
HRESULT IndexArgument(AutomationObject::Call& c, size_t count, size_t& index)
{
    double n;
    if (HRESULT hr = c.Number(0, n); FAILED(hr))
        return hr;
    if (n < 0 || n >= static_cast<double>(count))
        return c.Raise(vbs::kInvalidProcedureCall, vbs::ErrorText(vbs::kInvalidProcedureCall));
    index = static_cast<size_t>(n);
    return S_OK;
}

VARIANT CopyOf(const VARIANT& value)
{
    VARIANT copy;
    VariantInit(&copy);
    VariantCopy(&copy, &value);
    return copy;
}

// A read-only collection of values: Item (also the default member), Count and _NewEnum.
class ValueCollection final : public RuntimeObject {
public:
    ValueCollection(std::wstring typeName, std::vector<VARIANT> values)  // takes ownership of values
        : RuntimeObject(std::move(typeName)), m_values(std::move(values))
    {
        auto item = [this](Call& c) {
            size_t index = 0;
            if (HRESULT hr = IndexArgument(c, m_values.size(), index); FAILED(hr))
                return hr;
            c.Return(CopyOf(m_values[index]));
            return S_OK;
        };
        AddMember(L"Item", DISPID_MATCHES_ITEM, item);
        AddMember(L"", DISPID_VALUE, item);
        AddMember(L"Count", DISPID_MATCHES_COUNT, [this](Call& c) {
            c.ReturnLong(static_cast<LONG>(m_values.size()));
            return S_OK;
        });
        AddMember(L"_NewEnum", DISPID_NEWENUM, [this](Call& c) {
            std::vector<VARIANT> copies;
            for (const VARIANT& value : m_values)
                copies.push_back(CopyOf(value));
            VARIANT v;
            VariantInit(&v);
            v.vt = VT_UNKNOWN;
            v.punkVal = new VariantEnumerator(std::move(copies));
            c.Return(v);
            return S_OK;
        });
    }
    ~ValueCollection() override
    {
        for (VARIANT& value : m_values)
            VariantClear(&value);
    }

private:
    std::vector<VARIANT> m_values;
};

class Match final : public RuntimeObject {
public:
    explicit Match(MatchData data) : RuntimeObject(L"IMatch2"), m_data(std::move(data))
    {
        AddMember(L"Value", DISPID_MATCH_VALUE, [this](Call& c) {
            c.ReturnText(m_data.value);
            return S_OK;
        });
        AddMember(L"FirstIndex", DISPID_MATCH_FIRSTINDEX, [this](Call& c) {
            c.ReturnLong(m_data.firstIndex);
            return S_OK;
        });
        AddMember(L"Length", DISPID_MATCH_LENGTH, [this](Call& c) {
            c.ReturnLong(static_cast<LONG>(m_data.value.size()));
            return S_OK;
        });
        AddCollectionProperty(L"SubMatches", DISPID_MATCH_SUBMATCHES, [this](Call& c) {
            std::vector<VARIANT> groups;
            for (const auto& g : m_data.groups)
                groups.push_back(g ? TextVariant(*g) : EmptyVariant());
            c.Return(ObjectVariant(new ValueCollection(L"ISubMatches", std::move(groups))));
            return S_OK;
        });
    }

private:
    MatchData m_data;
};

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct CompileContextDeleter {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};

class RegExp final : public RuntimeObject {
public:
    RegExp() : RuntimeObject(L"IRegExp2")
    {
        AddMember(L"Pattern", DISPID_REGEXP_PATTERN, [this](Call& c) {
            if (c.IsPut()) {
                std::wstring pattern;
                if (HRESULT hr = c.Text(c.Count() - 1, pattern); FAILED(hr))
                    return hr;
                m_pattern = pattern;
                m_code.reset();
                return S_OK;
            }
            c.ReturnText(m_pattern);
            return S_OK;
        });
        AddFlag(L"IgnoreCase", DISPID_REGEXP_IGNORECASE, m_ignoreCase);
        AddFlag(L"Global", DISPID_REGEXP_GLOBAL, m_global);
        AddFlag(L"Multiline", DISPID_REGEXP_MULTILINE, m_multiline);
        AddMember(L"Execute", DISPID_REGEXP_EXECUTE, [this](Call& c) {
            std::wstring subject;
            if (HRESULT hr = c.Text(0, subject); FAILED(hr))
                return hr;
            std::vector<MatchData> found;
            if (HRESULT hr = Search(c, subject, m_global, found); FAILED(hr))
                return hr;
            std::vector<VARIANT> matches;
            for (MatchData& m : found)
                matches.push_back(ObjectVariant(new Match(std::move(m))));
            c.Return(ObjectVariant(new ValueCollection(L"IMatchCollection2", std::move(matches))));
            return S_OK;
        }, {L"sourceString"});
        AddMember(L"Test", DISPID_REGEXP_TEST, [this](Call& c) {
            std::wstring subject;
            if (HRESULT hr = c.Text(0, subject); FAILED(hr))
                return hr;
            std::vector<MatchData> found;
            if (HRESULT hr = Search(c, subject, false, found); FAILED(hr))
                return hr;
            c.ReturnBool(!found.empty());
            return S_OK;
        }, {L"sourceString"});
        AddMember(L"Replace", DISPID_REGEXP_REPLACE, [this](Call& c) { return Replace(c); },
                  {L"sourceString", L"replaceVar"});
    }

private:
    void AddFlag(const wchar_t* name, DISPID id, bool& flag)
    {
        AddMember(name, id, [this, &flag](Call& c) {
            if (c.IsPut()) {
                bool value;
                if (HRESULT hr = c.Flag(c.Count() - 1, value); FAILED(hr))
                    return hr;
                if (value != flag)
                    m_code.reset();
                flag = value;
                return S_OK;
            }
            c.ReturnBool(flag);
            return S_OK;
        });
    }

    HRESULT Compile(Call& c)
    {
        if (m_code)
            return S_OK;
        std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(pcre2_compile_context_create(nullptr));
        pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANY);
        pcre2_set_parens_nest_limit(context.get(), 200);
        uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY;
        if (m_ignoreCase)
            options |= PCRE2_CASELESS;
        if (m_multiline)
            options |= PCRE2_MULTILINE;
        int error = 0;
        PCRE2_SIZE offset = 0;
        pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(m_pattern.c_str()), m_pattern.size(), options,
                                         &error, &offset, context.get());
        if (!code) {
            int number = vbs::kRegExpSyntax;
            switch (error) {
            case PCRE2_ERROR_QUANTIFIER_INVALID: number = 5018; break;
            case PCRE2_ERROR_MISSING_SQUARE_BRACKET: number = 5019; break;
            case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS: number = 5020; break;
            case PCRE2_ERROR_CLASS_RANGE_ORDER: number = 5021; break;
            default: break;
            }
            return c.Raise(number, vbs::ErrorText(number), vbs::kRuntimeErrorSource);
        }
        m_code.reset(code);
        // The automaton does not take text with invalid UTF (a lone surrogate): its copy of the
        // pattern checks the text instead, and such a text is not searched by it.
        m_automaton.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(m_pattern.c_str()), m_pattern.size(),
                                        options & ~PCRE2_MATCH_INVALID_UTF, &error, &offset, context.get()));
        return S_OK;
    }

    // Collects the first match, or every match when all is set.
    HRESULT Search(Call& c, const std::wstring& subject, bool all, std::vector<MatchData>& found)
    {
        if (HRESULT hr = Compile(c); FAILED(hr))
            return hr;
        std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
            pcre2_match_data_create_from_pattern(m_code.get(), nullptr));
        std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(pcre2_match_context_create(nullptr));
        pcre2_set_match_limit(context.get(), 5'000'000);
        pcre2_set_depth_limit(context.get(), 10'000);
        std::unique_ptr<pcre2_match_data, MatchDataDeleter> automatonData(pcre2_match_data_create(1, nullptr));
        std::vector<int> workspace(4096);
        auto subjectText = reinterpret_cast<PCRE2_SPTR>(subject.c_str());
        PCRE2_SIZE start = 0;
        // A long subject is searched from many places, each up to the match limit: the script's
        // stop is honoured between them.
        while (start <= subject.size() && !RunningScriptStopRequested()) {
            pcre2_match_data* matched = data.get();
            int rc = pcre2_match(m_code.get(), subjectText, subject.size(), start, 0, matched, context.get());
            if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT) {
                // Backtracking would take exponential time here ("(a+)+$" on many a's): the
                // automaton tries every way at once, in time bounded by the subject's length, and
                // gives the longest match at the first place one starts (without groups).
                matched = automatonData.get();
                rc = !m_automaton ? PCRE2_ERROR_DFA_UITEM
                                  : pcre2_dfa_match(m_automaton.get(), subjectText, subject.size(), start, 0, matched,
                                                    context.get(), workspace.data(), workspace.size());
                if (rc < 0 && rc != PCRE2_ERROR_NOMATCH)  // back-references, or a text with a lone surrogate
                    return c.Raise(vbs::kOutOfStackSpace, vbs::ErrorText(vbs::kOutOfStackSpace), vbs::kRuntimeErrorSource);
            }
            if (rc == PCRE2_ERROR_NOMATCH)
                break;
            if (rc < 0)
                break;
            PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matched);
            uint32_t pairs = matched == data.get() ? pcre2_get_ovector_count(matched) : 1;
            MatchData m;
            m.firstIndex = static_cast<LONG>(ovector[0]);
            m.value = subject.substr(ovector[0], ovector[1] - ovector[0]);
            uint32_t groups = 0;
            pcre2_pattern_info(m_code.get(), PCRE2_INFO_CAPTURECOUNT, &groups);
            for (uint32_t g = 1; g <= groups; ++g) {
                if (g < pairs && ovector[2 * g] != PCRE2_UNSET)
                    m.groups.emplace_back(subject.substr(ovector[2 * g], ovector[2 * g + 1] - ovector[2 * g]));
                else
                    m.groups.emplace_back(std::nullopt);
            }
            PCRE2_SIZE end = ovector[1];
            found.push_back(std::move(m));
            if (!all)
                break;
            start = end > ovector[0] ? end : end + 1;  // an empty match moves on by one
        }
        return S_OK;
    }

    // $& the match, $` before it, $' after it, $n and $nn groups, $$ a dollar.
    static std::wstring Expand(const std::wstring& replacement, const std::wstring& subject, const MatchData& m)
    {
        std::wstring out;
        for (size_t i = 0; i < replacement.size(); ++i) {
            wchar_t ch = replacement[i];
            if (ch != L'$' || i + 1 >= replacement.size()) {
                out += ch;
                continue;
            }
            wchar_t next = replacement[i + 1];
            if (next == L'$') {
                out += L'$';
                ++i;
            } else if (next == L'&') {
                out += m.value;
                ++i;
            } else if (next == L'`') {
                out += subject.substr(0, m.firstIndex);
                ++i;
            } else if (next == L'\'') {
                out += subject.substr(m.firstIndex + m.value.size());
                ++i;
            } else if (next >= L'0' && next <= L'9') {
                size_t group = next - L'0';
                size_t used = 1;
                if (i + 2 < replacement.size() && replacement[i + 2] >= L'0' && replacement[i + 2] <= L'9') {
                    size_t two = group * 10 + (replacement[i + 2] - L'0');
                    if (two >= 1 && two <= m.groups.size()) {
                        group = two;
                        used = 2;
                    }
                }
                if (group >= 1 && group <= m.groups.size()) {
                    if (m.groups[group - 1])
                        out += *m.groups[group - 1];
                    i += used;
                } else {
                    out += ch;
                }
            } else {
                out += ch;
            }
        }
        return out;
    }

    HRESULT Replace(Call& c)
    {
        std::wstring subject, replacement;
        if (HRESULT hr = c.Text(0, subject); FAILED(hr))
            return hr;
        if (HRESULT hr = c.Text(1, replacement); FAILED(hr))
            return hr;
        std::vector<MatchData> found;
        if (HRESULT hr = Search(c, subject, m_global, found); FAILED(hr))
            return hr;
        std::wstring out;
        size_t position = 0;
        for (const MatchData& m : found) {
            out.append(subject, position, m.firstIndex - position);
            out += Expand(replacement, subject, m);
            position = m.firstIndex + m.value.size();
        }
        out.append(subject, position, std::wstring::npos);
        c.ReturnText(out);
        return S_OK;
    }

    std::wstring m_pattern;
    bool m_ignoreCase = false;
    bool m_global = false;
    bool m_multiline = false;
    std::unique_ptr<pcre2_code, CodeDeleter> m_code;
    std::unique_ptr<pcre2_code, CodeDeleter> m_automaton;  // the same pattern, for the automaton
};

} // namespace

IDispatch* CreateRegExp()
{
    return new RegExp;
}
