#include "platform/print/PrintQueues.h"

#include "platform/sys/SharedLibrary.h"

#include <cups/cups.h>

namespace fln::print {

namespace {

fln::sys::SharedLibrary& Client()
{
    static fln::sys::SharedLibrary library("libcups.so.2");
    return library;
}

}

std::vector<PrintQueue> SystemPrintQueues()
{
    auto getDests = Client().function<decltype(cupsGetDests)>("cupsGetDests");
    auto getOption = Client().function<decltype(cupsGetOption)>("cupsGetOption");
    auto freeDests = Client().function<decltype(cupsFreeDests)>("cupsFreeDests");
    if (!getDests || !getOption || !freeDests)
        return {};
    std::vector<PrintQueue> queues;
    cups_dest_t* dests = nullptr;
    int count = getDests(&dests);
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance)
            continue;
        const char* info = getOption("printer-info", dests[i].num_options, dests[i].options);
        queues.push_back({ dests[i].name, info ? info : "", dests[i].is_default != 0 });
    }
    freeDests(count, dests);
    return queues;
}

int SubmitPrintFile(const std::string& queue, const std::string& path, const std::string& title, int copies)
{
    auto addOption = Client().function<decltype(cupsAddOption)>("cupsAddOption");
    auto printFile = Client().function<decltype(cupsPrintFile)>("cupsPrintFile");
    auto freeOptions = Client().function<decltype(cupsFreeOptions)>("cupsFreeOptions");
    if (!addOption || !printFile || !freeOptions)
        return 0;
    std::string copiesText = std::to_string(copies);
    cups_option_t* options = nullptr;
    int optionCount = addOption("copies", copiesText.c_str(), 0, &options);
    int job = printFile(queue.c_str(), path.c_str(), title.c_str(), optionCount, options);
    freeOptions(optionCount, options);
    return job > 0 ? job : 0;
}

}
