#include "platform/script/RunningScript.h"

#include "platform/sys/TerminationSignals.h"

namespace {
thread_local const std::atomic<bool>* t_runningScriptStop = nullptr;
}

ScopedRunningScript::ScopedRunningScript(const std::atomic<bool>& stop) : m_previous(t_runningScriptStop)
{
    t_runningScriptStop = &stop;
}

ScopedRunningScript::~ScopedRunningScript() { t_runningScriptStop = m_previous; }

bool RunningScriptStopRequested()
{
    return (t_runningScriptStop && t_runningScriptStop->load(std::memory_order_relaxed)) || TerminationRequested();
}
