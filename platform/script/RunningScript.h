#pragma once
// The stop flag of the script that runs on this thread. The engines point it at their interrupt
// flag while a script runs; code that can run long inside one call of a script (the JavaScript
// interpreter's regular expressions, the RegExp object's search over a long text) reads it and
// ends early, and the engine then stops the script at its next step.

#include <atomic>

class ScopedRunningScript {
public:
    explicit ScopedRunningScript(const std::atomic<bool>& stop);
    ~ScopedRunningScript();
    ScopedRunningScript(const ScopedRunningScript&) = delete;
    ScopedRunningScript& operator=(const ScopedRunningScript&) = delete;

private:
    const std::atomic<bool>* m_previous;
};

// True when the script running on this thread has been asked to stop, or the program to end.
bool RunningScriptStopRequested();
