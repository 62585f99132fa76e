#pragma once
// The mutex of the named block held by a reader on another thread for as long as the object lives,
// as another program reading the block would hold it.

#include "app/SharedMemory.h"
#include "platform/sys/Mutex.h"

#include <atomic>
#include <thread>

class HeldResultMutex {
public:
    explicit HeldResultMutex(const CString& blockName)
        : m_reader([this, mutexName = CSharedMemory::MutexNameFor(blockName)] {
            CMutex mutex(FALSE, mutexName);
            mutex.Lock();
            m_held = true;
            while (!m_release)
                std::this_thread::yield();
            mutex.Unlock();
        })
    {
        while (!m_held)
            std::this_thread::yield();
    }
    ~HeldResultMutex()
    {
        m_release = true;
        m_reader.join();
    }
    HeldResultMutex(const HeldResultMutex&) = delete;
    HeldResultMutex& operator=(const HeldResultMutex&) = delete;

private:
    std::atomic<bool> m_held = false;
    std::atomic<bool> m_release = false;
    std::thread m_reader;
};
