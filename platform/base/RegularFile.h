#pragma once
// Opening files that the program reads or writes as documents. A path may name a FIFO, which would
// block the opening until a writer comes, or a device such as /dev/zero, which never ends: only
// regular files are opened.

#include <string>
#include <sys/types.h>

// open(2) for a regular file: never waits on a FIFO or device. -1 with errno EISDIR for a folder
// and ENODEV for anything else that is not a regular file (FIFO, device, socket).
int OpenRegularFile(const std::string& path, int flags, mode_t mode = 0666);
