#include "platform/speech/VoiceText.h"

#include "platform/base/CString.h"
#include "platform/com/AutomationObject.h"
#include "platform/com/ClassRegistry.h"
#include "platform/speech/Speaker.h"

#include <memory>
#include <mutex>
#include <utility>

const IID IID_IVTxtAuto = { 0xFF2C7A50, 0x78F9, 0x11CE, { 0xB7, 0x62, 0x00, 0xAA, 0x00, 0x4C, 0xD6, 0x5C } };
const CLSID CLSID_VTxtAuto = { 0x3D1D900D, 0xC2EF, 0x4907, { 0x9D, 0x01, 0x1F, 0x19, 0x3A, 0x26, 0x7A, 0xE0 } };

namespace {

std::mutex g_openerGuard;
AudioOpener g_opener;

AudioOpener CurrentOpener()
{
    std::lock_guard lock(g_openerGuard);
    if (g_opener) return g_opener;
    return [](int rate, std::string& error) { return OpenSoundDevice(nullptr, rate, error); };
}

class VoiceText final : public AutomationObject, public IVTxtAuto {
public:
    explicit VoiceText(std::unique_ptr<Speaker> speaker) : m_speaker(std::move(speaker))
    {
        AddMember(L"Register", 1, [](Call&) { return S_OK; }, { L"pszSite", L"pszApp" });
        AddMember(L"Speak", 2, [this](Call& call) {
            std::wstring text;
            double flags = 0;
            if (FAILED(call.Text(0, text))) return DISP_E_TYPEMISMATCH;
            if (call.Has(1) && FAILED(call.Number(1, flags))) return DISP_E_TYPEMISMATCH;
            return Report(call, SpeakText(std::move(text), static_cast<LONG>(flags)));
        }, { L"pszBuffer", L"dwFlags" });
        AddMember(L"StopSpeaking", 3, [this](Call&) {
            m_speaker->Stop();
            return S_OK;
        });
        AddMember(L"IsSpeaking", 4, [this](Call& call) {
            if (!call.IsGet()) return DISP_E_MEMBERNOTFOUND;
            call.ReturnBool(m_speaker->IsSpeaking());
            return S_OK;
        });
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return AutomationObject::QueryInterface(riid, ppv); }
    ULONG AddRef() override { return AutomationObject::AddRef(); }
    ULONG Release() override { return AutomationObject::Release(); }
    HRESULT GetTypeInfoCount(UINT* count) override { return AutomationObject::GetTypeInfoCount(count); }
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override
    {
        return AutomationObject::GetTypeInfo(index, lcid, info);
    }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return AutomationObject::GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) override
    {
        return AutomationObject::Invoke(id, riid, lcid, flags, params, result, exception, argError);
    }

    HRESULT Register(BSTR, BSTR) override { return S_OK; }
    HRESULT Speak(BSTR text, LONG flags) override { return SpeakText(std::wstring(BstrView(text)), flags); }
    HRESULT StopSpeaking() override
    {
        m_speaker->Stop();
        return S_OK;
    }
    HRESULT get_IsSpeaking(VARIANT_BOOL* speaking) override
    {
        if (!speaking) return E_POINTER;
        *speaking = m_speaker->IsSpeaking() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

protected:
    void* QueryExtraInterface(REFIID riid) override
    {
        return riid == IID_IVTxtAuto ? static_cast<IVTxtAuto*>(this) : nullptr;
    }

private:
    HRESULT SpeakText(std::wstring text, LONG flags)
    {
        return m_speaker->Speak(std::move(text), flags & vtxtst_WARNING, flags & vtxtsp_VERYHIGH);
    }

    // A failure goes to the script with its code and a text the user can be shown.
    HRESULT Report(Call& call, HRESULT result) const
    {
        if (SUCCEEDED(result)) return result;
        if (call.exception) {
            ClearExcepInfo(call.exception);
            std::wstring description = SpeechErrorText(result);
            if (!m_speaker->OutputError().empty())
                description += L" (" + NarrowToWide(m_speaker->OutputError()) + L")";
            call.exception->scode = result;
            call.exception->bstrDescription = SysAllocStringView(description);
            call.exception->bstrSource = SysAllocStringView(L"Speech.VoiceText");
        }
        return DISP_E_EXCEPTION;
    }

    std::unique_ptr<Speaker> m_speaker;
};

} // namespace

AudioOpener SetSpeechAudioOpener(AudioOpener opener)
{
    std::lock_guard lock(g_openerGuard);
    return std::exchange(g_opener, std::move(opener));
}

void RegisterSpeechClasses()
{
    auto create = [](IUnknown* outer, REFIID riid, void** ppv) -> HRESULT {
        if (outer) return CLASS_E_NOAGGREGATION;
        auto speaker = std::make_unique<Speaker>(std::string(), CurrentOpener());
        if (FAILED(speaker->Ready())) return speaker->Ready();
        auto* object = new VoiceText(std::move(speaker));
        HRESULT result = object->QueryInterface(riid, ppv);
        object->Release();
        return result;
    };
    RegisterComClass(CLSID_VTxtAuto, L"Speech.VoiceText.1", create, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER);
}
