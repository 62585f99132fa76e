// Reads arbitrary bytes as the update check's version file, as a server might send them: a file
// larger than the limit is refused, a download address that comes out is always a web address,
// versions compare the same both ways round, and the verdict agrees with the comparison.

#include "app/VersionCheck.h"
#include "platform/net/InternetSession.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<CVersionFile> file = CVersionFile::Parse(bytes);
    if (!file)
        return 0;
    if (size > CVersionFile::kMaxSize)
        __builtin_trap();
    const CString local = L"4.2.0.0";
    for (LPCWSTR section : { CVersionFile::kReleaseSection, CVersionFile::kDevelopmentSection }) {
        const CString address = file->GetDownloadAddress(section);
        if (!address.IsEmpty() && !IsWebAddress(address.view()))
            __builtin_trap();
        const CString version = file->GetValue(section, L"Version", L"0.0.0");
        if (CompareVersions(version.view(), local.view()) != -CompareVersions(local.view(), version.view()))
            __builtin_trap();
    }
    for (bool development : { false, true }) {
        const UpdateOffer offer = EvaluateVersionFile(*file, local, development);
        const bool newer = offer.verdict == UpdateOffer::Verdict::NewRelease || offer.verdict == UpdateOffer::Verdict::NewDevelopment;
        if (newer != (CompareVersions(offer.version.view(), local.view()) > 0))
            __builtin_trap();
        if (!offer.downloadAddress.IsEmpty() && !IsWebAddress(offer.downloadAddress.view()))
            __builtin_trap();
    }
    return 0;
}
