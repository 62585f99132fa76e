#pragma once

// The system's print queues, through the print service's client library, which is loaded on
// first use. Without the library there are no queues and no job can be sent.

#include <string>
#include <vector>

namespace fln::print {

struct PrintQueue {
    std::string name;
    std::string description;
    bool isDefault = false;
};

std::vector<PrintQueue> SystemPrintQueues();

// Sends the file to the queue; the job's number, or 0 when it could not be sent.
int SubmitPrintFile(const std::string& queue, const std::string& path, const std::string& title, int copies);

}
