#pragma once
// The voice-text object "Speech.VoiceText.1": reads texts aloud through the IVTxtAuto interface
// and, for scripts, through IDispatch with the same members (Register, Speak, StopSpeaking,
// IsSpeaking). Speaking never blocks the caller; failures (no engine data, no voice, no sound
// output) come back as SPEECH_E_ results from Synthesizer.h, through IDispatch with their text in
// the exception record. The class serves CLSCTX_LOCAL_SERVER requests too: it stands in for the
// speech server another program used to run.

#include "platform/com/Interfaces.h"
#include "platform/speech/AudioOutput.h"

// Speak's type flags (how the text is meant: only a warning is said differently, higher) and
// priorities (a very high one interrupts what is being said; the others queue behind it).
constexpr LONG vtxtst_STATEMENT = 0x1;
constexpr LONG vtxtst_QUESTION = 0x2;
constexpr LONG vtxtst_COMMAND = 0x4;
constexpr LONG vtxtst_WARNING = 0x8;
constexpr LONG vtxtst_READING = 0x10;
constexpr LONG vtxtst_NUMBERS = 0x20;
constexpr LONG vtxtst_SPREADSHEET = 0x40;
constexpr LONG vtxtsp_VERYHIGH = 0x80;
constexpr LONG vtxtsp_HIGH = 0x100;
constexpr LONG vtxtsp_NORMAL = 0x200;

struct IVTxtAuto : IDispatch {
    // Names the program that speaks (site may be null); accepted, since every program may speak.
    virtual HRESULT Register(BSTR site, BSTR application) = 0;
    virtual HRESULT Speak(BSTR text, LONG flags) = 0;
    virtual HRESULT StopSpeaking() = 0;
    virtual HRESULT get_IsSpeaking(VARIANT_BOOL* speaking) = 0;
};
extern const IID IID_IVTxtAuto;
extern const CLSID CLSID_VTxtAuto;

// Registers "Speech.VoiceText.1" with the class registry. Creating it fails with SPEECH_E_NOENGINE
// when the engine's data is missing; no sound output shows only when speaking.
void RegisterSpeechClasses();

// Replaces where the objects made from now on send their sound (tests); returns the previous
// opener. An empty one restores the sound device.
AudioOpener SetSpeechAudioOpener(AudioOpener opener);
