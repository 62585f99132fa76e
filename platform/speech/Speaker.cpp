#include "platform/speech/Speaker.h"

#include <algorithm>
#include <vector>

namespace {

// Texts are synthesised in pieces of about this many characters, so that a long text neither
// holds the engine nor fills memory with its samples, and a stop takes effect soon.
constexpr size_t kPieceLength = 1000;
// Samples handed to the output at a time: about 1/20 s, the longest a stop waits for.
constexpr size_t kBlockSamples = 1024;

// The next piece of text from start: cut after the last sentence end or blank within the length.
std::wstring_view NextPiece(std::wstring_view text, size_t start)
{
    std::wstring_view rest = text.substr(start);
    if (rest.size() <= kPieceLength) return rest;
    std::wstring_view window = rest.substr(0, kPieceLength);
    size_t cut = window.find_last_of(L".!?;\n");
    if (cut == std::wstring_view::npos || cut < kPieceLength / 2) cut = window.find_last_of(L" \t");
    return rest.substr(0, cut == std::wstring_view::npos ? kPieceLength : cut + 1);
}

} // namespace

Speaker::Speaker(std::string voice, AudioOpener opener)
    : m_voice(std::move(voice)), m_opener(std::move(opener)), m_ready(CheckSpeechVoice(m_voice)), m_thread([this] { Run(); })
{
}

Speaker::~Speaker()
{
    {
        std::lock_guard lock(m_guard);
        m_quit = true;
        ++m_generation;
        m_queue.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

HRESULT Speaker::Speak(std::wstring text, bool warning, bool interrupt)
{
    if (FAILED(m_ready)) return m_ready;
    std::unique_lock lock(m_guard);
    if (m_failed) {
        m_failed = false;
        return SPEECH_E_AUDIOFAILED;
    }
    if (!m_output) {
        m_outputError.clear();
        m_output = m_opener(SpeechSampleRate(), m_outputError);
        if (!m_output) return SPEECH_E_NOAUDIO;
    }
    if (interrupt) {
        ++m_generation;
        m_queue.clear();
    }
    m_queue.push_back({ std::move(text), warning });
    lock.unlock();
    m_wake.notify_one();
    return S_OK;
}

void Speaker::Stop()
{
    std::lock_guard lock(m_guard);
    ++m_generation;
    m_queue.clear();
}

bool Speaker::IsSpeaking() const
{
    std::lock_guard lock(m_guard);
    return m_busy || !m_queue.empty();
}

void Speaker::Run()
{
    std::unique_lock lock(m_guard);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || !m_queue.empty(); });
        if (m_quit) return;
        Utterance utterance = std::move(m_queue.front());
        m_queue.pop_front();
        unsigned generation = m_generation;
        AudioOutput* output = m_output.get();  // only this thread closes it, and only below
        m_busy = true;
        lock.unlock();
        bool said = output && Say(*output, utterance, generation);
        lock.lock();
        m_busy = false;
        if (!said) {  // what follows would fail the same way: the next Speak reports it
            m_output.reset();
            m_failed = true;
            m_queue.clear();
        }
    }
}

bool Speaker::Say(AudioOutput& output, const Utterance& utterance, unsigned generation)
{
    SpeechOptions options { m_voice, utterance.warning };
    std::vector<short> samples;
    for (size_t start = 0; start < utterance.text.size() && Current(generation);) {
        std::wstring_view piece = NextPiece(utterance.text, start);
        start += piece.size();
        samples.clear();
        SynthesizeSpeech(piece, options, [&](const short* block, size_t count) {
            samples.insert(samples.end(), block, block + count);
            return Current(generation);
        });
        for (size_t at = 0; at < samples.size() && Current(generation); at += kBlockSamples)
            if (!output.Write(samples.data() + at, std::min(kBlockSamples, samples.size() - at))) return false;
    }
    if (Current(generation))
        output.Drain();
    else
        output.Flush();
    return true;
}
