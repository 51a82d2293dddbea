// Test support implementation, one part per platform.
#include "support/system_calls.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>

namespace barvane::test {

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& text) {
  const std::u8string utf8(text.begin(), text.end());
  return std::filesystem::path(utf8).wstring();
}

// One word of a command line as the C run-time splits it again: backslashes count only
// before a quote.
void AppendQuoted(std::wstring* line, const std::wstring& word) {
  line->push_back(L'"');
  std::size_t backslashes = 0;
  for (wchar_t c : word) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line->append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line->push_back(c);
  }
  line->append(2 * backslashes, L'\\');
  line->push_back(L'"');
}

HANDLE OpenCapture(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

void SetEnvironment(const std::string& name, const std::string& value) {
  ::SetEnvironmentVariableW(Wide(name).c_str(), value.empty() ? nullptr : Wide(value).c_str());
}

bool IsSuperuser() { return false; }

bool MakeFifo(const std::string&) { return false; }

int RunProgram(const std::string& program, const std::vector<std::string>& words,
               const std::string& out, const std::string& err) {
  std::wstring line;
  AppendQuoted(&line, Wide(program));
  for (const std::string& word : words) {
    line.push_back(L' ');
    AppendQuoted(&line, Wide(word));
  }
  const HANDLE outFile = OpenCapture(out), errFile = OpenCapture(err);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  start.hStdOutput = outFile;
  start.hStdError = errFile;
  PROCESS_INFORMATION process{};
  int status = -1;
  // Wine, busy with a parallel suite, now and then fails to start a process at all: that says
  // nothing of the program under test, so it is tried again.
  bool started = false;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) ::Sleep(200);
    started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process) != FALSE;
  }
  if (started) {
    DWORD code = 0;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    if (::GetExitCodeProcess(process.hProcess, &code)) status = static_cast<int>(code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  ::CloseHandle(outFile);
  ::CloseHandle(errFile);
  return status;
}

#else

void SetEnvironment(const std::string& name, const std::string& value) {
  if (value.empty()) {
    ::unsetenv(name.c_str());
  } else {
    ::setenv(name.c_str(), value.c_str(), 1);
  }
}

bool IsSuperuser() { return ::geteuid() == 0; }

bool MakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }

int RunProgram(const std::string& program, const std::vector<std::string>& words,
               const std::string& out, const std::string& err) {
  std::string command = program;
  for (const std::string& word : words) {
    command.append(" '");
    for (char c : word) {
      if (c == '\'') {
        command.append("'\\''");
      } else {
        command += c;
      }
    }
    command += '\'';
  }
  command.append(" >").append(out).append(" 2>").append(err);
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

}  // namespace barvane::test
