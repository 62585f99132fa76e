#pragma once
// The version both script engines report to scripts (ScriptEngineMajorVersion and its kin).

namespace script {

inline constexpr int kEngineMajorVersion = 5;
inline constexpr int kEngineMinorVersion = 8;
inline constexpr int kEngineBuildVersion = 1;

} // namespace script
