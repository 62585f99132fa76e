#pragma once
// For a process a test forks (a server, a window manager, the program): it ends when the test
// process ends, however that ends. A test that crashes or is killed at its time limit would
// otherwise leave it running, holding the test's output open and its display or bus taken.

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// Called in the child between fork and exec; `parent` is the forking process's id, taken before
// the fork. The signal comes when the forking thread ends, so fork from a thread that outlives
// the child (the test's own).
inline void EndWithParent(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(127);
}
