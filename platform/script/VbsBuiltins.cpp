// The built-in functions of the script language that reach the host: message boxes, objects and the
// engine's version; the lookup of every family's functions, and the built-in constants.

#include "platform/script/VbsBuiltinSupport.h"

#include "platform/script/EngineVersion.h"
#include "platform/script/ScriptDialogs.h"

#include <ctime>
#include <unordered_map>
#include <sys/time.h>

namespace vbs {
namespace builtins {
namespace {

Var MsgBox(Interpreter& in, const Args& a)
{
    ScriptMessageBoxRequest request;
    request.owner = in.OwnerWindow();
    request.prompt = IsNullArg(a, 0) ? L"" : Text(a, 0);
    request.type = static_cast<UINT>(Whole(a, 1, 0));
    request.title = a.Has(2) ? Text(a, 2) : L"VBScript";
    return Var::Int(static_cast<SHORT>(ShowScriptMessageBox(request)));
}

Var InputBox(Interpreter& in, const Args& a)
{
    ScriptInputBoxRequest request;
    request.owner = in.OwnerWindow();
    request.prompt = Text(a, 0);
    request.title = a.Has(1) ? Text(a, 1) : L"VBScript";
    request.defaultText = Text(a, 2);
    if (a.Has(3))
        request.x = Whole(a, 3);
    if (a.Has(4))
        request.y = Whole(a, 4);
    std::optional<std::wstring> answer = ShowScriptInputBox(request);
    return Var::Text(answer ? *answer : L"");
}

Var CreateObject(Interpreter& in, const Args& a) { return in.CreateObjectByName(Text(a, 0)); }

Var GetObject(Interpreter& in, const Args& a)
{
    std::wstring path = Text(a, 0);
    if (path.empty() && a.Has(1))
        return in.CreateObjectByName(Text(a, 1));
    Throw(kCannotCreateObject);
}

Var Eval(Interpreter& in, const Args& a) { return in.ExecuteText(Text(a, 0), true, false); }
Var Execute(Interpreter& in, const Args& a) { return in.ExecuteText(Text(a, 0), false, false); }
Var ExecuteGlobal(Interpreter& in, const Args& a) { return in.ExecuteText(Text(a, 0), false, true); }

Var GetRef(Interpreter& in, const Args& a) { return in.ProcedureReference(Text(a, 0)); }

Var ErrOf(Interpreter& in, const Args&) { return Var::Object(in.ErrDispatch()); }
Var ScriptEngine(Interpreter&, const Args&) { return Var::Text(L"VBScript"); }
Var EngineMajor(Interpreter&, const Args&) { return Var::Long(script::kEngineMajorVersion); }
Var EngineMinor(Interpreter&, const Args&) { return Var::Long(script::kEngineMinorVersion); }
Var EngineBuild(Interpreter&, const Args&) { return Var::Long(script::kEngineBuildVersion); }
Var GetLocale(Interpreter&, const Args&) { return Var::Long(1033); }
Var SetLocale(Interpreter&, const Args&) { return Var::Long(1033); }

Var Rgb(Interpreter&, const Args& a)
{
    auto part = [&](size_t i) {
        LONG v = ToLong(a[i]);
        if (v < 0)
            Throw(kInvalidProcedureCall);
        return std::min<LONG>(v, 255);
    };
    return Var::Long(part(0) | (part(1) << 8) | (part(2) << 16));
}

const Builtin kFunctions[] = {
    {L"createobject", 1, 2, CreateObject},
    {L"err", 0, 0, ErrOf},
    {L"eval", 1, 1, Eval},
    {L"execute", 1, 1, Execute},
    {L"executeglobal", 1, 1, ExecuteGlobal},
    {L"getlocale", 0, 0, GetLocale},
    {L"getobject", 0, 2, GetObject},
    {L"getref", 1, 1, GetRef},
    {L"inputbox", 1, 7, InputBox},
    {L"msgbox", 1, 5, MsgBox},
    {L"rgb", 3, 3, Rgb},
    {L"scriptengine", 0, 0, ScriptEngine},
    {L"scriptenginebuildversion", 0, 0, EngineBuild},
    {L"scriptenginemajorversion", 0, 0, EngineMajor},
    {L"scriptengineminorversion", 0, 0, EngineMinor},
    {L"setlocale", 0, 1, SetLocale},
};

} // namespace

std::span<const Builtin> HostFunctions() { return kFunctions; }

} // namespace builtins

const std::unordered_map<std::wstring, const Builtin*>& BuiltinFunctions()
{
    static const std::unordered_map<std::wstring, const Builtin*> table = [] {
        std::unordered_map<std::wstring, const Builtin*> t;
        using namespace builtins;
        for (auto family : { StringFunctions(), ConversionFunctions(), MathFunctions(), TypeFunctions(), DateFunctions(),
                 HostFunctions() })
            for (const Builtin& b : family)
                t[b.name] = &b;
        return t;
    }();
    return table;
}

const Builtin* FindBuiltin(const std::wstring& lower)
{
    auto it = BuiltinFunctions().find(lower);
    return it == BuiltinFunctions().end() ? nullptr : it->second;
}

const std::unordered_map<std::wstring, Var>& BuiltinConstants()
{
    static const std::unordered_map<std::wstring, Var> table = [] {
        std::unordered_map<std::wstring, Var> t;
        auto i = [&](const wchar_t* name, int value) { t[name] = Var::Int(static_cast<SHORT>(value)); };
        auto l = [&](const wchar_t* name, LONG value) { t[name] = Var::Long(value); };
        auto s = [&](const wchar_t* name, std::wstring_view value) { t[name] = Var::Text(value); };
        s(L"vbcr", L"\r");
        s(L"vblf", L"\n");
        s(L"vbcrlf", L"\r\n");
        s(L"vbnewline", L"\r\n");
        s(L"vbtab", L"\t");
        s(L"vbnullchar", std::wstring_view(L"\0", 1));
        s(L"vbnullstring", L"");
        s(L"vbformfeed", L"\f");
        s(L"vbverticaltab", L"\v");
        i(L"vbtrue", -1);
        i(L"vbfalse", 0);
        i(L"vbusedefault", -2);
        i(L"vbbinarycompare", 0);
        i(L"vbtextcompare", 1);
        i(L"vbdatabasecompare", 2);
        i(L"vbokonly", 0);
        i(L"vbokcancel", 1);
        i(L"vbabortretryignore", 2);
        i(L"vbyesnocancel", 3);
        i(L"vbyesno", 4);
        i(L"vbretrycancel", 5);
        i(L"vbcritical", 16);
        i(L"vbquestion", 32);
        i(L"vbexclamation", 48);
        i(L"vbinformation", 64);
        i(L"vbdefaultbutton1", 0);
        i(L"vbdefaultbutton2", 256);
        i(L"vbdefaultbutton3", 512);
        i(L"vbdefaultbutton4", 768);
        i(L"vbapplicationmodal", 0);
        i(L"vbsystemmodal", 4096);
        i(L"vbmsgboxhelpbutton", 16384);
        l(L"vbmsgboxsetforeground", 65536);
        l(L"vbmsgboxright", 524288);
        l(L"vbmsgboxrtlreading", 1048576);
        i(L"vbok", 1);
        i(L"vbcancel", 2);
        i(L"vbabort", 3);
        i(L"vbretry", 4);
        i(L"vbignore", 5);
        i(L"vbyes", 6);
        i(L"vbno", 7);
        i(L"vbempty", 0);
        i(L"vbnull", 1);
        i(L"vbinteger", 2);
        i(L"vblong", 3);
        i(L"vbsingle", 4);
        i(L"vbdouble", 5);
        i(L"vbcurrency", 6);
        i(L"vbdate", 7);
        i(L"vbstring", 8);
        i(L"vbobject", 9);
        i(L"vberror", 10);
        i(L"vbboolean", 11);
        i(L"vbvariant", 12);
        i(L"vbdataobject", 13);
        i(L"vbdecimal", 14);
        i(L"vbbyte", 17);
        i(L"vbarray", 8192);
        i(L"vbsunday", 1);
        i(L"vbmonday", 2);
        i(L"vbtuesday", 3);
        i(L"vbwednesday", 4);
        i(L"vbthursday", 5);
        i(L"vbfriday", 6);
        i(L"vbsaturday", 7);
        i(L"vbusesystemdayofweek", 0);
        i(L"vbusesystem", 0);
        i(L"vbfirstjan1", 1);
        i(L"vbfirstfourdays", 2);
        i(L"vbfirstfullweek", 3);
        i(L"vbgeneraldate", 0);
        i(L"vblongdate", 1);
        i(L"vbshortdate", 2);
        i(L"vblongtime", 3);
        i(L"vbshorttime", 4);
        l(L"vbobjecterror", static_cast<LONG>(0x80040000u));
        l(L"vbblack", 0);
        l(L"vbred", 0xFF);
        l(L"vbgreen", 0xFF00);
        l(L"vbyellow", 0xFFFF);
        l(L"vbblue", 0xFF0000);
        l(L"vbmagenta", 0xFF00FF);
        l(L"vbcyan", 0xFFFF00);
        l(L"vbwhite", 0xFFFFFF);
        return t;
    }();
    return table;
}

const Var* FindBuiltinConstant(const std::wstring& lower)
{
    auto it = BuiltinConstants().find(lower);
    return it == BuiltinConstants().end() ? nullptr : &it->second;
}

float SecondsSinceMidnight()
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    time_t t = tv.tv_sec;
    tm local;
    localtime_r(&t, &local);
    return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + tv.tv_usec / 1e6);
}

} // namespace vbs