#pragma once
// Speaks texts one after another on a thread of its own, so that the caller never waits for the
// speech: Speak queues and returns, Stop silences at once, IsSpeaking tells whether anything is
// still to be heard.

#include "platform/speech/AudioOutput.h"
#include "platform/speech/Synthesizer.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class Speaker {
public:
    // Speaks with voice (empty: the user's language) into the outputs opener opens.
    Speaker(std::string voice, AudioOpener opener);
    ~Speaker();  // stops and waits for the thread (a moment at most)
    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    // S_OK when the voice can speak (SPEECH_E_NOENGINE or SPEECH_E_NOVOICE else); checked once.
    HRESULT Ready() const { return m_ready; }

    // Queues text behind what is being said; interrupt first stops everything queued or being
    // said. Fails at once when the voice cannot speak, when no sound output can be opened
    // (SPEECH_E_NOAUDIO), or when the output failed during the last text (SPEECH_E_AUDIOFAILED,
    // reported once, after which the output is opened again).
    HRESULT Speak(std::wstring text, bool warning, bool interrupt);
    void Stop();
    bool IsSpeaking() const;
    // The reason the last Speak failed, for the user.
    const std::string& OutputError() const { return m_outputError; }

private:
    struct Utterance {
        std::wstring text;
        bool warning;
    };
    void Run();
    // Says one text; false when the output failed.
    bool Say(AudioOutput& output, const Utterance& utterance, unsigned generation);
    bool Current(unsigned generation) const { return generation == m_generation; }

    const std::string m_voice;
    const AudioOpener m_opener;
    const HRESULT m_ready;
    std::string m_outputError;

    mutable std::mutex m_guard;
    std::condition_variable m_wake;
    std::deque<Utterance> m_queue;
    std::unique_ptr<AudioOutput> m_output;  // opened by Speak, used by the thread
    std::atomic<unsigned> m_generation = 0;  // counts the stops: a text of an older generation is dropped
    bool m_busy = false;  // the thread is saying a text
    bool m_failed = false;  // the output failed during a text
    bool m_quit = false;
    std::thread m_thread;  // last: starts when everything above is ready
};
