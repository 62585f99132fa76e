#pragma once
// Where spoken samples go: the sound device, or whatever a test puts in its place.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// A sound output for 16-bit mono samples at a rate fixed when it was opened.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Queues samples, waiting while the output is full; false when the output failed.
    virtual bool Write(const short* samples, size_t count) = 0;
    // Waits until everything queued has been played.
    virtual void Drain() = 0;
    // Drops everything queued and not yet played.
    virtual void Flush() = 0;
};

// Opens an output for samples at rate; null when there is none (error then says why).
using AudioOpener = std::function<std::unique_ptr<AudioOutput>(int rate, std::string& error)>;

// The sound device (PulseAudio or ALSA); device null for the user's default one.
std::unique_ptr<AudioOutput> OpenSoundDevice(const char* device, int rate, std::string& error);
