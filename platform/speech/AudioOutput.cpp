#include "platform/speech/AudioOutput.h"

#include <pcaudiolib/audio.h>

namespace {

class SoundDevice final : public AudioOutput {
public:
    explicit SoundDevice(audio_object* device) : m_device(device) {}
    ~SoundDevice() override
    {
        audio_object_close(m_device);
        audio_object_destroy(m_device);
    }
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    bool Write(const short* samples, size_t count) override
    {
        return audio_object_write(m_device, samples, count * sizeof(short)) == 0;
    }
    void Drain() override { audio_object_drain(m_device); }
    void Flush() override { audio_object_flush(m_device); }

private:
    audio_object* m_device;
};

} // namespace

std::unique_ptr<AudioOutput> OpenSoundDevice(const char* device, int rate, std::string& error)
{
    audio_object* object = create_audio_device_object(device, "Formulon", "Speech");
    if (!object) {
        error = "no sound system";
        return nullptr;
    }
    if (int status = audio_object_open(object, AUDIO_OBJECT_FORMAT_S16LE, static_cast<uint32_t>(rate), 1); status != 0) {
        const char* text = audio_object_strerror(object, status);
        error = text ? text : "the sound device cannot be opened";
        audio_object_destroy(object);
        return nullptr;
    }
    return std::make_unique<SoundDevice>(object);
}
