#pragma once
// Recovery copies of a changed script that the program had to end without asking about (a
// logout, a closed terminal, Ctrl+C, a lost screen): the text goes, never over the user's own
// file, into "Recovered scripts" in the settings folder, private to the user. The next start
// tells the user where each new copy is; the newest kKeptRecoveryCopies stay there, older ones go.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr std::size_t kKeptRecoveryCopies = 10;

// The folder of the copies.
std::string RecoveryFolder();

// Keeps the UTF-8 text as a new copy named after the moment; its path, or nothing when it could
// not be written (errno tells why).
std::optional<std::string> KeepRecoveryCopy(std::string_view utf8, std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// The copies kept since the last start, under the names they keep from now on, oldest first; the
// copies beyond the kept number, told about at earlier starts, are removed.
std::vector<std::string> TakeNewRecoveryCopies();
