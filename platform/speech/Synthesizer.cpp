#include "platform/speech/Synthesizer.h"

#include "platform/com/OleTypes.h"
#include "platform/sys/SharedLibrary.h"

#include <espeak-ng/espeak_ng.h>

#include <cstdlib>
#include <mutex>

namespace {

// The library's functions this program calls, resolved when the engine starts.
struct EngineFunctions {
    decltype(espeak_ng_InitializePath)* initializePath = nullptr;
    decltype(espeak_ng_Initialize)* initialize = nullptr;
    decltype(espeak_ng_InitializeOutput)* initializeOutput = nullptr;
    decltype(espeak_ng_ClearErrorContext)* clearErrorContext = nullptr;
    decltype(espeak_SetSynthCallback)* setSynthCallback = nullptr;
    decltype(espeak_ng_GetSampleRate)* getSampleRate = nullptr;
    decltype(espeak_ng_SetVoiceByName)* setVoiceByName = nullptr;
    decltype(espeak_ng_SetParameter)* setParameter = nullptr;
    decltype(espeak_ng_Synthesize)* synthesize = nullptr;
    decltype(espeak_ng_Terminate)* terminate = nullptr;

    // False when the library or one of its functions is missing.
    bool resolve()
    {
        static fln::sys::SharedLibrary library("libespeak-ng.so.1");
        return library.resolve(initializePath, "espeak_ng_InitializePath") && library.resolve(initialize, "espeak_ng_Initialize")
            && library.resolve(initializeOutput, "espeak_ng_InitializeOutput")
            && library.resolve(clearErrorContext, "espeak_ng_ClearErrorContext")
            && library.resolve(setSynthCallback, "espeak_SetSynthCallback") && library.resolve(getSampleRate, "espeak_ng_GetSampleRate")
            && library.resolve(setVoiceByName, "espeak_ng_SetVoiceByName") && library.resolve(setParameter, "espeak_ng_SetParameter")
            && library.resolve(synthesize, "espeak_ng_Synthesize") && library.resolve(terminate, "espeak_ng_Terminate");
    }
};

// The engine's state: espeak-ng has one per process.
struct Engine {
    // An initialised library runs a thread of its own: it is stopped and joined before the process
    // ends, rather than left running while exit handlers (the leak checker's among them) inspect the
    // process's threads.
    ~Engine()
    {
        std::lock_guard lock(guard);
        if (initialized)
            call.terminate();
    }

    EngineFunctions call;
    std::mutex guard;  // held for the whole of each call into the library
    bool started = false;
    bool initialized = false;
    int sampleRate = 0;
    std::string voice;  // the voice set last
    const SpeechSampleSink* sink = nullptr;  // of the synthesis running now
    bool stopped = false;
};

Engine& TheEngine()
{
    static Engine engine;
    return engine;
}

int ReceiveSamples(short* samples, int count, espeak_EVENT*)
{
    Engine& engine = TheEngine();
    if (samples && count > 0 && engine.sink && !(*engine.sink)(samples, static_cast<size_t>(count))) {
        engine.stopped = true;
        return 1;
    }
    return 0;
}

// Starts the library once (the caller holds the guard); false when its data is missing.
bool Start(Engine& engine)
{
    if (!engine.started) {
        engine.started = true;
        if (!engine.call.resolve())
            return false;
        engine.call.initializePath(nullptr);
        espeak_ng_ERROR_CONTEXT context = nullptr;
        engine.initialized = engine.call.initialize(&context) == ENS_OK;
        bool ready = engine.initialized && engine.call.initializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr) == ENS_OK;
        engine.call.clearErrorContext(&context);
        if (ready) {
            engine.call.setSynthCallback(&ReceiveSamples);
            engine.sampleRate = engine.call.getSampleRate();
        }
    }
    return engine.sampleRate > 0;
}

std::string LocaleLanguage()
{
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const char* value = std::getenv(name);
        if (value && *value) {
            std::string language(value);
            language = language.substr(0, language.find_first_of("_.@"));
            return language == "C" || language == "POSIX" ? std::string() : language;
        }
    }
    return {};
}

// Selects the voice (the caller holds the guard and has started the engine).
HRESULT SelectVoice(Engine& engine, const std::string& voice)
{
    if (voice.empty()) {
        std::string language = LocaleLanguage();
        return !language.empty() && SelectVoice(engine, language) == S_OK ? S_OK : SelectVoice(engine, "en");
    }
    if (voice == engine.voice) return S_OK;
    // Names are short words of letters, digits, '-', '_' and '+' (variants): nothing that reads as a path.
    bool plain = voice.size() < 64 && voice.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_+") == std::string::npos;
    if (!plain || engine.call.setVoiceByName(voice.c_str()) != ENS_OK) {
        engine.voice.clear();  // a failed selection may leave the library with no voice
        return SPEECH_E_NOVOICE;
    }
    engine.voice = voice;
    return S_OK;
}

} // namespace

std::wstring SpeechErrorText(HRESULT result)
{
    switch (result) {
    case S_OK: return L"";
    case SPEECH_E_NOENGINE: return L"The speech engine cannot start: espeak-ng (libespeak-ng.so.1) or its voice data (espeak-ng-data) is not installed.";
    case SPEECH_E_NOVOICE: return L"The speech engine has no such voice.";
    case SPEECH_E_NOAUDIO: return L"No sound output is available for speech.";
    case SPEECH_E_AUDIOFAILED: return L"The sound output failed while speaking.";
    default: return L"The speech engine failed.";
    }
}

int SpeechSampleRate()
{
    Engine& engine = TheEngine();
    std::lock_guard lock(engine.guard);
    return Start(engine) ? engine.sampleRate : 0;
}

HRESULT CheckSpeechVoice(const std::string& voice)
{
    Engine& engine = TheEngine();
    std::lock_guard lock(engine.guard);
    return Start(engine) ? SelectVoice(engine, voice) : SPEECH_E_NOENGINE;
}

HRESULT SynthesizeSpeech(std::wstring_view text, const SpeechOptions& options, const SpeechSampleSink& sink)
{
    Engine& engine = TheEngine();
    std::lock_guard lock(engine.guard);
    if (!Start(engine)) return SPEECH_E_NOENGINE;
    if (HRESULT selected = SelectVoice(engine, options.voice); FAILED(selected)) return selected;
    engine.call.setParameter(espeakPITCH, options.warning ? 70 : 50, 0);
    std::wstring terminated(text);
    engine.sink = &sink;
    engine.stopped = false;
    espeak_ng_STATUS status = engine.call.synthesize(terminated.c_str(), (terminated.size() + 1) * sizeof(wchar_t), 0,
                                                   POS_CHARACTER, 0, espeakCHARS_WCHAR | espeakENDPAUSE, nullptr, nullptr);
    engine.sink = nullptr;
    if (engine.stopped) return E_ABORT;
    return status == ENS_OK ? S_OK : E_FAIL;
}
