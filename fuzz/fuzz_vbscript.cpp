// Parses and runs arbitrary script text through the engine's interfaces, with a step limit so
// that endless loops end, a stop after a second for loops whose every turn is heavy (as the
// page's Stop button would), and with dialogs answered at once.

#include "platform/base/CString.h"
#include "platform/base/MessageBox.h"
#include "platform/com/Automation.h"
#include "platform/com/ClassRegistry.h"
#include "platform/script/ScriptDialogs.h"
#include "platform/script/VbsEngine.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <thread>

namespace {

class FuzzSite final : public IActiveScriptSite {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IActiveScriptSite) {
            *ppv = static_cast<IActiveScriptSite*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetLCID(LCID* lcid) override { *lcid = 0; return S_OK; }
    HRESULT GetItemInfo(LPCOLESTR, DWORD, IUnknown**, ITypeInfo**) override { return TYPE_E_ELEMENTNOTFOUND; }
    HRESULT GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT OnScriptError(IActiveScriptError* error)
        override
    {
        EXCEPINFO info{};
        error->GetExceptionInfo(&info);
        ClearExcepInfo(&info);
        BSTR line = nullptr;
        error->GetSourceLineText(&line);
        SysFreeString(line);
        return S_OK;
    }
    HRESULT OnEnterScript() override { return S_OK; }
    HRESULT OnLeaveScript() override { return S_OK; }
};

// Interrupts the engine's script if it still runs after a second.
class StopWatch {
public:
    explicit StopWatch(IActiveScript* engine)
        : m_thread([this, engine] {
              std::unique_lock lock(m_mutex);
              if (!m_ended.wait_for(lock, std::chrono::seconds(1), [this] { return m_done; }))
                  engine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0);
          })
    {
    }
    ~StopWatch()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ended.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    std::thread m_thread;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool initialised = [] {
        RegisterScriptClasses();
        SetScriptMessageBoxHandler([](const ScriptMessageBoxRequest&) { return IDOK; });
        SetScriptInputBoxHandler([](const ScriptInputBoxRequest&) { return std::optional<std::wstring>(L"1"); });
        return true;
    }();
    (void)initialised;
    std::wstring text = NarrowToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    FuzzSite site;
    IActiveScript* engine = vbs::CreateEngine();
    vbs::SetEngineStepLimit(engine, 20000);
    vbs::SetEngineMemoryLimit(engine, 64u << 20);
    IActiveScriptParse* parser = nullptr;
    engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser));
    engine->SetScriptSite(&site);
    parser->InitNew();
    parser->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
    {
        StopWatch stopWatch(engine);
        engine->SetScriptState(SCRIPTSTATE_STARTED);
    }
    engine->SetScriptState(SCRIPTSTATE_CLOSED);
    parser->Release();
    engine->Close();
    engine->Release();
    return 0;
}
