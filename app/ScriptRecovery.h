#pragma once
// Recovery copies of a changed script that the program had to end without asking about (a
// logout, a closed terminal, Ctrl+C, a lost screen): the text goes, never over the user's own
// file, into "Recovered scripts" in the settings folder, private to the user. Nothing there is
// followed or replaced: the folder must be the user's own folder (not a link), and each copy is a
// new file under a name nobody has taken, numbered when two ends fall in one second. Where that
// folder cannot be used, the copy goes to a private folder in the runtime folder instead. The next
// start tells the user where each new copy is; the newest kKeptRecoveryCopies that the program
// made stay in each folder, older ones go.

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr std::size_t kKeptRecoveryCopies = 10;

// The folder of the copies.
std::string RecoveryFolder();

// Where a copy goes when RecoveryFolder cannot take it: in $XDG_RUNTIME_DIR (else the temporary
// folder), made for this user alone.
std::string FallbackRecoveryFolder();

// Keeps the UTF-8 text as a new copy named after the moment; its path, or nothing when it could be
// written in neither folder (errno tells why the usual folder failed). Safe on any thread.
std::optional<std::string> KeepRecoveryCopy(std::string_view utf8, std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// The copies kept since the last start, under the names they keep from now on, oldest first; the
// copies beyond the kept number, told about at earlier starts, are removed.
std::vector<std::string> TakeNewRecoveryCopies();

// One end's recovery copy, kept once by whichever thread comes first: the window's own end, with
// the script as it stands, or the last resort of an end whose window does not come back, from its
// own thread, with the script as it last stood whole (its snapshot).
class RecoveryCopyOnce {
public:
    // The script as it now stands, or nothing when it has no change to keep.
    void SetSnapshot(std::optional<std::string> utf8);
    // Keeps the text (nothing: no change to keep) unless this end's copy is kept already; stderr
    // says where it went.
    void Keep(const std::optional<std::string>& utf8);
    // Keeps the last snapshot the same way; any thread.
    void KeepSnapshot();

private:
    void KeepLocked(const std::optional<std::string>& utf8);

    std::mutex m_mutex;
    std::optional<std::string> m_snapshot;
    bool m_kept = false;
};
