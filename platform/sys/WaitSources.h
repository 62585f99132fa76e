#pragma once
// File descriptors that lower layers ask the user-interface thread to watch. A library below the
// window layer (the automation bus, for one) registers its descriptor here; the message loop waits
// on them together with its own wake-up descriptor and runs each readable source's callback on
// the user-interface thread. A program without a message loop pumps them with PumpWaitSources.

#include <functional>
#include <memory>

// Keeps a descriptor watched for as long as it lives. The callback runs on the thread that waits
// (the message loop's) whenever the descriptor is readable; it is never entered again while it runs.
class WaitSource {
public:
    WaitSource(int fd, std::function<void()> onReadable);
    ~WaitSource();
    WaitSource(const WaitSource&) = delete;
    WaitSource& operator=(const WaitSource&) = delete;

private:
    int m_fd;
};

// A one-shot timer on the system's monotonic clock, whatever clock the display keeps (a headless
// display's is virtual): the callback runs once, on the waiting thread, when the time has passed.
class WaitTimer {
public:
    WaitTimer(unsigned milliseconds, std::function<void()> onElapsed);
    ~WaitTimer();
    WaitTimer(const WaitTimer&) = delete;
    WaitTimer& operator=(const WaitTimer&) = delete;

private:
    int m_fd;
    std::function<void()> m_onElapsed;
    std::unique_ptr<WaitSource> m_source;
};

// A descriptor that becomes readable when ownFd or any registered source is readable; ownFd itself
// while no source is registered. The message loop passes it where it used to pass ownFd.
int CombinedWaitFd(int ownFd);

// Runs the callbacks of the sources that are readable now, without waiting.
void DispatchReadyWaitSources();

// Waits up to timeoutMs (-1: no limit) for a registered source to become readable and runs the
// ready callbacks; false when no source is registered.
bool PumpWaitSources(int timeoutMs);
