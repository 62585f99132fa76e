#include "platform/speech/AudioOutput.h"

#include "platform/sys/SharedLibrary.h"

#include <pcaudiolib/audio.h>

namespace {

// The sound library's functions, resolved when a device is first opened.
struct SoundFunctions {
    decltype(create_audio_device_object)* create = nullptr;
    decltype(audio_object_open)* open = nullptr;
    decltype(audio_object_strerror)* errorText = nullptr;
    decltype(audio_object_write)* write = nullptr;
    decltype(audio_object_drain)* drain = nullptr;
    decltype(audio_object_flush)* flush = nullptr;
    decltype(audio_object_close)* close = nullptr;
    decltype(audio_object_destroy)* destroy = nullptr;

    bool resolved = false;
};

// Null when the library or one of its functions is missing.
const SoundFunctions* Sound()
{
    static const SoundFunctions functions = [] {
        static fln::sys::SharedLibrary library("libpcaudio.so.0");
        SoundFunctions f;
        f.resolved = library.resolve(f.create, "create_audio_device_object") && library.resolve(f.open, "audio_object_open")
            && library.resolve(f.errorText, "audio_object_strerror") && library.resolve(f.write, "audio_object_write")
            && library.resolve(f.drain, "audio_object_drain") && library.resolve(f.flush, "audio_object_flush")
            && library.resolve(f.close, "audio_object_close") && library.resolve(f.destroy, "audio_object_destroy");
        return f;
    }();
    return functions.resolved ? &functions : nullptr;
}

class SoundDevice final : public AudioOutput {
public:
    SoundDevice(const SoundFunctions& call, audio_object* device) : m_call(call), m_device(device) {}
    ~SoundDevice() override
    {
        m_call.close(m_device);
        m_call.destroy(m_device);
    }
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    bool Write(const short* samples, size_t count) override
    {
        return m_call.write(m_device, samples, count * sizeof(short)) == 0;
    }
    void Drain() override { m_call.drain(m_device); }
    void Flush() override { m_call.flush(m_device); }

private:
    const SoundFunctions& m_call;
    audio_object* m_device;
};

} // namespace

std::unique_ptr<AudioOutput> OpenSoundDevice(const char* device, int rate, std::string& error)
{
    const SoundFunctions* call = Sound();
    audio_object* object = call ? call->create(device, "Formulon", "Speech") : nullptr;
    if (!object) {
        error = "no sound system";
        return nullptr;
    }
    if (int status = call->open(object, AUDIO_OBJECT_FORMAT_S16LE, static_cast<uint32_t>(rate), 1); status != 0) {
        const char* text = call->errorText(object, status);
        error = text ? text : "the sound device cannot be opened";
        call->destroy(object);
        return nullptr;
    }
    return std::make_unique<SoundDevice>(*call, object);
}
