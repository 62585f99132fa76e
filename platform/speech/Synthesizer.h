#pragma once
// Text to speech samples on espeak-ng. The library keeps one state for the whole process, so every
// use goes through here, one synthesis at a time.

#include "platform/base/WinTypes.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Failures of the speech output, in the interface range.
constexpr HRESULT SPEECH_E_NOENGINE = static_cast<HRESULT>(0x80040201);  // no engine library or voice data installed
constexpr HRESULT SPEECH_E_NOVOICE = static_cast<HRESULT>(0x80040202);   // the voice asked for does not exist
constexpr HRESULT SPEECH_E_NOAUDIO = static_cast<HRESULT>(0x80040203);   // no sound output could be opened
constexpr HRESULT SPEECH_E_AUDIOFAILED = static_cast<HRESULT>(0x80040204);  // the sound output failed while speaking

// A text the user can be shown for one of the failures above (or for any other result).
std::wstring SpeechErrorText(HRESULT result);

struct SpeechOptions {
    // An espeak-ng voice ("en", "de", "en-us"...). Empty: the language of LC_ALL, LC_MESSAGES or
    // LANG ("de_AT.UTF-8" gives "de") when espeak-ng has it, else "en".
    std::string voice;
    bool warning = false;  // said at a higher pitch
};

// Samples per second of everything synthesised (16-bit mono); 0 when the engine cannot start.
int SpeechSampleRate();

// S_OK when the voice exists (empty: the default one), else SPEECH_E_NOVOICE or SPEECH_E_NOENGINE.
HRESULT CheckSpeechVoice(const std::string& voice);

// Receives the samples block by block as they are made; returning false stops the synthesis.
using SpeechSampleSink = std::function<bool(const short* samples, size_t count)>;

// Synthesises text (taken literally, never as markup) into sink. Returns S_OK, E_ABORT when the
// sink stopped it, SPEECH_E_NOENGINE or SPEECH_E_NOVOICE.
HRESULT SynthesizeSpeech(std::wstring_view text, const SpeechOptions& options, const SpeechSampleSink& sink);
