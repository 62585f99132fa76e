#include "platform/speech/Speaker.h"
#include "platform/speech/Synthesizer.h"
#include "platform/speech/VoiceText.h"

#include "platform/base/CString.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/com/ClassRegistry.h"
#include "platform/script/tests/ScriptHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

double RootMeanSquare(const std::vector<short>& samples)
{
    double sum = 0;
    for (short sample : samples) sum += double(sample) * sample;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

// What a sound output was given. Writes wait while the gate is closed, as a full device does.
struct Recording {
    std::mutex guard;
    std::condition_variable changed;
    std::vector<short> samples;
    bool gateOpen = true;
    bool failWrites = false;
    int opened = 0, drains = 0, flushes = 0;
    int writesBegun = 0;

    void SetGate(bool open)
    {
        std::lock_guard lock(guard);
        gateOpen = open;
        changed.notify_all();
    }
    template<typename T>
    T Read(T Recording::*field)
    {
        std::lock_guard lock(guard);
        return this->*field;
    }
};

class RecordingOutput final : public AudioOutput {
public:
    explicit RecordingOutput(std::shared_ptr<Recording> recording) : m_recording(std::move(recording)) {}
    bool Write(const short* samples, size_t count) override
    {
        std::unique_lock lock(m_recording->guard);
        ++m_recording->writesBegun;
        m_recording->changed.wait(lock, [&] { return m_recording->gateOpen; });
        if (m_recording->failWrites) return false;
        m_recording->samples.insert(m_recording->samples.end(), samples, samples + count);
        return true;
    }
    void Drain() override { std::lock_guard lock(m_recording->guard); ++m_recording->drains; }
    void Flush() override { std::lock_guard lock(m_recording->guard); ++m_recording->flushes; }

private:
    std::shared_ptr<Recording> m_recording;
};

AudioOpener RecordInto(std::shared_ptr<Recording> recording)
{
    return [recording](int, std::string&) -> std::unique_ptr<AudioOutput> {
        std::lock_guard lock(recording->guard);
        ++recording->opened;
        return std::make_unique<RecordingOutput>(recording);
    };
}

AudioOpener NoSuchDevice()
{
    return [](int rate, std::string& error) { return OpenSoundDevice("formulon-no-such-device", rate, error); };
}

TEST(Synthesizer, TextBecomesAudibleSamples)
{
    int rate = SpeechSampleRate();
    ASSERT_GT(rate, 0) << "espeak-ng-data is missing";
    struct Case {
        const wchar_t* text;
        SpeechOptions options;
    };
    const Case cases[] = {
        { L"1 + 1 = 2", { "en", false } },
        { L"Error: division by zero", { "en", true } },
        { L"Gr\u00fc\u00dfe, zw\u00f6lf", { "de", false } },
        { L"<speak>12by30</speak>", { "", false } },  // markup is read as text
    };
    for (const Case& c : cases) {
        std::vector<short> samples;
        HRESULT result = SynthesizeSpeech(c.text, c.options, [&](const short* block, size_t count) {
            samples.insert(samples.end(), block, block + count);
            return true;
        });
        EXPECT_EQ(result, S_OK) << WideToUtf8(c.text);
        EXPECT_GT(samples.size(), static_cast<size_t>(rate / 4)) << WideToUtf8(c.text);
        EXPECT_GT(RootMeanSquare(samples), 300.0) << WideToUtf8(c.text);
    }

    // A sink that has had enough stops the synthesis.
    size_t received = 0;
    EXPECT_EQ(SynthesizeSpeech(L"one two three four five six seven eight nine ten", { "en", false },
                               [&](const short*, size_t count) { received += count; return false; }),
              E_ABORT);
    EXPECT_GT(received, 0u);
    EXPECT_LT(received, static_cast<size_t>(rate));
}

TEST(Synthesizer, MissingVoicesAndSoundOutputsAreFailures)
{
    for (const char* voice : { "no-such-voice", "../../../etc/passwd", "en\nde" }) {
        EXPECT_EQ(CheckSpeechVoice(voice), SPEECH_E_NOVOICE) << voice;
        EXPECT_EQ(SynthesizeSpeech(L"1", { voice, false }, [](const short*, size_t) { return true; }), SPEECH_E_NOVOICE);
        Speaker speaker(voice, RecordInto(std::make_shared<Recording>()));
        EXPECT_EQ(speaker.Ready(), SPEECH_E_NOVOICE);
        EXPECT_EQ(speaker.Speak(L"1", false, false), SPEECH_E_NOVOICE);
    }
    EXPECT_EQ(CheckSpeechVoice("en"), S_OK);  // a failed choice leaves the engine usable

    // Without a sound output Speak fails at once, in a bounded time.
    auto failed = std::async(std::launch::async, [] {
        Speaker speaker("en", NoSuchDevice());
        HRESULT result = speaker.Speak(L"1 + 1 = 2", false, false);
        return std::make_tuple(result, speaker.OutputError(), speaker.IsSpeaking());
    });
    ASSERT_EQ(failed.wait_for(20s), std::future_status::ready) << "opening a missing sound device hangs";
    auto [result, reason, speaking] = failed.get();
    EXPECT_EQ(result, SPEECH_E_NOAUDIO);
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(speaking);
}

TEST(Speaker, SpeaksAsideAndStopsAtOnce)
{
    auto recording = std::make_shared<Recording>();
    recording->SetGate(false);  // the output is full: the first block waits
    Speaker speaker("en", RecordInto(recording));
    ASSERT_EQ(speaker.Ready(), S_OK);

    // Speak returns while the speech waits for the output.
    EXPECT_EQ(speaker.Speak(L"one two three four five six seven eight nine ten", false, false), S_OK);
    EXPECT_EQ(speaker.Speak(L"eleven twelve", false, false), S_OK);
    EXPECT_TRUE(speaker.IsSpeaking());
    ASSERT_TRUE(WaitUntil([&] { return recording->Read(&Recording::writesBegun) == 1; }));
    speaker.Stop();
    recording->SetGate(true);
    ASSERT_TRUE(WaitUntil([&] { return !speaker.IsSpeaking(); }));
    EXPECT_EQ(recording->Read(&Recording::flushes), 1);
    EXPECT_EQ(recording->Read(&Recording::drains), 0);
    EXPECT_LE(recording->Read(&Recording::samples).size(), 1024u);  // the block already under way, nothing after

    // The next text is said whole, into the output already open.
    EXPECT_EQ(speaker.Speak(L"1 + 1 = 2", false, false), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return !speaker.IsSpeaking(); }));
    EXPECT_EQ(recording->Read(&Recording::drains), 1);
    EXPECT_GT(RootMeanSquare(recording->Read(&Recording::samples)), 300.0);
    EXPECT_EQ(recording->Read(&Recording::opened), 1);
}

TEST(Speaker, AnInterruptionReplacesWhatIsSaidAndAFailingOutputIsReportedOnce)
{
    auto recording = std::make_shared<Recording>();
    recording->SetGate(false);
    Speaker speaker("en", RecordInto(recording));
    EXPECT_EQ(speaker.Speak(L"one two three four five six seven eight nine ten", false, false), S_OK);
    EXPECT_EQ(speaker.Speak(L"eleven twelve thirteen", false, false), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return recording->Read(&Recording::writesBegun) == 1; }));
    EXPECT_EQ(speaker.Speak(L"Error", true, true), S_OK);
    recording->SetGate(true);
    ASSERT_TRUE(WaitUntil([&] { return !speaker.IsSpeaking(); }));
    EXPECT_EQ(recording->Read(&Recording::flushes), 1);  // the first text, cut short
    EXPECT_EQ(recording->Read(&Recording::drains), 1);   // the interrupting one, said whole; the second dropped

    {
        std::lock_guard lock(recording->guard);
        recording->failWrites = true;
    }
    EXPECT_EQ(speaker.Speak(L"1 + 1 = 2", false, false), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return !speaker.IsSpeaking(); }));
    EXPECT_EQ(speaker.Speak(L"3", false, false), SPEECH_E_AUDIOFAILED);
    {
        std::lock_guard lock(recording->guard);
        recording->failWrites = false;
    }
    EXPECT_EQ(speaker.Speak(L"3", false, false), S_OK);  // the output is opened again
    EXPECT_EQ(recording->Read(&Recording::opened), 2);
}

// Sends the sound of the voice-text objects made in its scope into a recording.
class VoiceTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterSpeechClasses();
        m_previous = SetSpeechAudioOpener(RecordInto(recording));
    }
    void TearDown() override { SetSpeechAudioOpener(std::move(m_previous)); }

    std::shared_ptr<Recording> recording = std::make_shared<Recording>();

private:
    AudioOpener m_previous;
};

TEST_F(VoiceTextTest, TheProgramCreatesItAsALocalServerAndSpeaks)
{
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Speech.VoiceText.1", &clsid), S_OK);
    IVTxtAuto* voice = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IVTxtAuto, reinterpret_cast<void**>(&voice)), S_OK);
    BSTR application = SysAllocString(L"Voxlane");
    EXPECT_EQ(voice->Register(nullptr, application), S_OK);
    BSTR text = SysAllocString(L"12by30");
    EXPECT_EQ(voice->Speak(text, vtxtst_NUMBERS), S_OK);
    SysFreeString(text);
    SysFreeString(application);
    VARIANT_BOOL speaking = VARIANT_TRUE;
    ASSERT_TRUE(WaitUntil([&] { return voice->get_IsSpeaking(&speaking) == S_OK && speaking == VARIANT_FALSE; }));
    EXPECT_GT(RootMeanSquare(recording->Read(&Recording::samples)), 300.0);
    EXPECT_EQ(voice->StopSpeaking(), S_OK);
    EXPECT_EQ(voice->Release(), 0u);
}

TEST_F(VoiceTextTest, ScriptsCreateItAndSeeItsFailures)
{
    MessageBoxRecorder boxes;
    RunResult run = RunLikeThePage(
        L"Set voice = CreateObject(\"Speech.VoiceText.1\")\n"
        L"voice.Register \"\", \"Voxlane\"\n"
        L"voice.Speak \"1 + 1 = 2\", 32\n"
        // Waits by the clock, not by a count of turns, which a loaded machine may run through first;
        // as long as any wait of the tests.
        L"t = Timer\n"
        L"Do While voice.IsSpeaking And Timer - t < 60 And Timer >= t\n"
        L"Loop\n"
        L"MsgBox voice.IsSpeaking\n"
        L"voice.StopSpeaking\n");
    EXPECT_EQ(run.start, S_OK);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(boxes.Text(), L"False\n");
    EXPECT_GT(RootMeanSquare(recording->Read(&Recording::samples)), 300.0);

    SetSpeechAudioOpener(NoSuchDevice());
    MessageBoxRecorder failures;
    RunLikeThePage(L"Set voice = CreateObject(\"Speech.VoiceText.1\")\n"
                   L"On Error Resume Next\n"
                   L"voice.Speak \"1 + 1 = 2\", 32\n"
                   L"MsgBox Hex(Err.Number) & \": \" & Err.Description\n");
    ASSERT_EQ(failures.requests.size(), 1u);
    EXPECT_EQ(failures.requests[0].prompt.rfind(L"80040203: No sound output is available for speech.", 0), 0u)
        << WideToUtf8(failures.requests[0].prompt);
}

} // namespace
