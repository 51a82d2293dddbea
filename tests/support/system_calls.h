// Test support: the few system effects tests cause themselves (environment, FIFOs, running a
// program with its outputs captured), on Unix and on Windows.
#pragma once

#include <string>
#include <vector>

namespace barvane::test {

// The environment variable that names the user's data directory, the history's home.
#ifdef _WIN32
inline constexpr const char* kDataHomeVariable = "LOCALAPPDATA";
#else
inline constexpr const char* kDataHomeVariable = "XDG_DATA_HOME";
#endif

// Sets `name` to `value`; an empty value removes it.
void SetEnvironment(const std::string& name, const std::string& value);
// True when the tests run as the superuser, whom no permission keeps out.
bool IsSuperuser();
// Makes a FIFO at `path`; false where the system has none.
bool MakeFifo(const std::string& path);
// Runs `program` with `words`, its standard output and error written to the files `out` and
// `err`; returns its exit status, -1 when it did not exit normally.
int RunProgram(const std::string& program, const std::vector<std::string>& words,
               const std::string& out, const std::string& err);

}  // namespace barvane::test
