// FileSystem on Win32 calls: the only place where the Windows build talks to the operating
// system. Paths arrive as UTF-8 with "/" and become UTF-16 in the long-path form only here.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The interface's own names, not the system's A/W macros.
#undef CreateDirectory

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "data/fs.h"

namespace barvane {
namespace {

// How long a replace or removal keeps trying while another program holds the file open.
constexpr auto kBusyFileWait = std::chrono::seconds(2);
constexpr auto kBusyFileStep = std::chrono::milliseconds(50);

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                        nullptr, nullptr);
  return text;
}

// The program's form of a system path: "\\?\" dropped, "\" as "/", a share as "//server/share".
std::string ProgramPath(std::wstring wide) {
  if (wide.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    wide.replace(0, 8, L"\\\\");
  } else if (wide.rfind(L"\\\\?\\", 0) == 0) {
    wide.erase(0, 4);
  }
  std::string path = Narrow(wide);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

// The system's form of a program path: absolute, "\" separated and in the long-path form, so
// that no length limit applies and no name is changed by the path rules of old MS-DOS.
std::wstring SystemPath(const std::string& path) {
  std::wstring wide = Wide(path.empty() ? std::string(".") : path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return wide;
  std::wstring full(n, L'\0');
  const DWORD got = ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return wide;
  full.resize(got);
  // The long form takes a name as written: "dir\" would not name the directory "dir".
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

bool IsBusyError(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION;
}

// Runs `step` until it succeeds, fails for another reason than a file held open by another
// program, or the wait is over.
template <typename Step>
bool RetryWhileBusy(Step step) {
  const auto deadline = std::chrono::steady_clock::now() + kBusyFileWait;
  for (;;) {
    if (step()) return true;
    const DWORD error = ::GetLastError();
    if (!IsBusyError(error) || std::chrono::steady_clock::now() >= deadline) {
      ::SetLastError(error);
      return false;
    }
    std::this_thread::sleep_for(kBusyFileStep);
  }
}

class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() {
    if (ok()) ::CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  HANDLE release() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }

 private:
  HANDLE h_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens `path` only to ask about it; a directory too, and a link itself with `noFollow`.
HANDLE OpenToQuery(const std::string& path, bool noFollow) {
  return ::CreateFileW(
      SystemPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | (noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
}

// Symbolic links and junctions lead elsewhere; other reparse points (a cloud file, a
// deduplicated one) are the file itself.
bool IsLinkTag(DWORD tag) {
  return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT;
}

bool InfoOf(HANDLE h, FileInfo* info) {
  BY_HANDLE_FILE_INFORMATION data{};
  if (!::GetFileInformationByHandle(h, &data)) return false;
  info->kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? DirEntry::Kind::kDirectory
               : ::GetFileType(h) == FILE_TYPE_DISK               ? DirEntry::Kind::kFile
                                                                  : DirEntry::Kind::kOther;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) ||
        IsLinkTag(tag.ReparseTag)) {
      info->kind = DirEntry::Kind::kOther;
    }
  }
  info->identity = {data.dwVolumeSerialNumber,
                    (std::uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow};
  info->size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return true;
}

bool StatOf(const std::string& path, bool noFollow, FileInfo* info) {
  Handle h(OpenToQuery(path, noFollow));
  return h.ok() && InfoOf(h.get(), info);
}

// A leftover of a stopped command: a plain file with no other name.
bool IsOwnLeftover(const std::string& path) {
  Handle h(OpenToQuery(path, true));
  BY_HANDLE_FILE_INFORMATION data{};
  return h.ok() && ::GetFileInformationByHandle(h.get(), &data) &&
         !(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
         data.nNumberOfLinks == 1;
}

class Win32ReadableFile final : public ReadableFile {
 public:
  explicit Win32ReadableFile(HANDLE h) : h_(h) {}

  bool ReadAt(std::uint64_t offset, std::size_t n, std::uint8_t* buffer,
              std::size_t* got) override {
    *got = 0;
    while (*got < n) {
      OVERLAPPED at{};
      const std::uint64_t position = offset + *got;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - *got, 1u << 30));
      DWORD read = 0;
      if (!::ReadFile(h_.get(), buffer + *got, want, &read, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) break;
        return false;
      }
      if (read == 0) break;
      *got += read;
    }
    return true;
  }

  bool Size(std::uint64_t* size) override {
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(h_.get(), &value)) return false;
    *size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
  }

 private:
  Handle h_;
};

class Win32WritableFile final : public WritableFile {
 public:
  // With `cutAtClose` the file is cut where the appended bytes end when it is closed or dropped.
  explicit Win32WritableFile(HANDLE h, bool cutAtClose = false) : h_(h), cutAtClose_(cutAtClose) {}
  ~Win32WritableFile() override {
    if (h_.ok() && cutAtClose_) (void)Cut();
  }

  bool Append(const std::uint8_t* data, std::size_t n) override {
    while (n > 0) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
      DWORD wrote = 0;
      if (!::WriteFile(h_.get(), data, want, &wrote, nullptr)) return false;
      data += wrote;
      n -= wrote;
      written_ += wrote;
    }
    return true;
  }

  bool Sync() override { return ::FlushFileBuffers(h_.get()) != 0; }

  bool Close() override {
    const bool cut = !cutAtClose_ || Cut();
    Handle closing(h_.release());
    return ::CloseHandle(closing.release()) != 0 && cut;
  }

 private:
  bool Cut() {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(written_);
    return ::SetFilePointerEx(h_.get(), at, nullptr, FILE_BEGIN) && ::SetEndOfFile(h_.get());
  }

  Handle h_;
  bool cutAtClose_;
  std::uint64_t written_ = 0;
};

class Win32DirectoryLock final : public DirectoryLock {
 public:
  explicit Win32DirectoryLock(HANDLE h) : h_(h) {}
  // Closing the lock file's only handle releases its lock.

 private:
  Handle h_;
};

std::unique_ptr<WritableFile> OpenForWriting(const std::string& path, DWORD disposition,
                                             bool cutAtClose) {
  const HANDLE h = ::CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  if (::GetFileType(h) != FILE_TYPE_DISK) cutAtClose = false;
  return std::make_unique<Win32WritableFile>(h, cutAtClose);
}

// Moves `from` over `to` with the POSIX semantics of rename where the system has them (the
// old file's name is taken even while another program has it open), else by MoveFileExW.
bool MoveOver(const std::wstring& from, const std::wstring& to) {
  Handle h(::CreateFileW(from.c_str(), DELETE | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (h.ok()) {
    const std::size_t bytes = sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t);
    std::vector<std::uint8_t> buffer(bytes, 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    // FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS, as FileRenameInfoEx
    // reads them.
    rename->Flags = 0x1 | 0x2;
    rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
    std::copy(to.begin(), to.end(), rename->FileName);
    constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    if (::SetFileInformationByHandle(h.get(), kFileRenameInfoEx, rename,
                                     static_cast<DWORD>(bytes))) {
      return ::FlushFileBuffers(h.get()) || true;
    }
  }
  return ::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string EnvironmentOf(const wchar_t* name) {
  const DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::wstring value(n, L'\0');
  const DWORD got = ::GetEnvironmentVariableW(name, value.data(), n);
  if (got == 0 || got >= n) return {};
  value.resize(got);
  return Narrow(value);
}

// Where the lock files of every portfolio live, one per directory identity: a lock cannot be
// taken on a directory itself, and a file inside the portfolio would be a file of the
// portfolio. BARVANE_LOCK_DIR stands in for it in tests.
std::string LockDirectory() {
  std::string dir = EnvironmentOf(L"BARVANE_LOCK_DIR");
  if (!dir.empty()) return dir;
  dir = EnvironmentOf(L"ProgramData");
  if (dir.empty()) dir = "C:/ProgramData";
  return ProgramPath(Wide(dir)) + "/Orvell Software/Barvane/Locks";
}

bool MakeDirectories(const std::string& dir) {
  if (::CreateDirectoryW(SystemPath(dir).c_str(), nullptr) ||
      ::GetLastError() == ERROR_ALREADY_EXISTS)
    return true;
  const std::size_t slash = dir.find_last_of('/');
  if (slash == std::string::npos || slash == 0 || !MakeDirectories(dir.substr(0, slash)))
    return false;
  return ::CreateDirectoryW(SystemPath(dir).c_str(), nullptr) ||
         ::GetLastError() == ERROR_ALREADY_EXISTS;
}

// The existing regular file `path` on a disk opened with `access`, never through a link; with
// `onlyName`, only a file that has no other name. INVALID_HANDLE_VALUE when there is none such.
HANDLE OpenExistingFile(const std::string& path, DWORD access, bool onlyName) {
  Handle h(::CreateFileW(SystemPath(path).c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!h.ok() || ::GetFileType(h.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
      (onlyName && info.nNumberOfLinks != 1)) {
    return INVALID_HANDLE_VALUE;
  }
  return h.release();
}

class Win32FileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) override {
    // Full sharing: a reader never keeps another program (or a replace of ours) from the file.
    const HANDLE h = ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    FileInfo info;
    if (!InfoOf(h, &info) || info.kind != DirEntry::Kind::kFile) {
      ::CloseHandle(h);
      return nullptr;
    }
    return std::make_unique<Win32ReadableFile>(h);
  }

  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override {
    return OpenForWriting(path, CREATE_ALWAYS, false);
  }

  std::unique_ptr<WritableFile> OpenForRewrite(const std::string& path) override {
    return OpenForWriting(path, OPEN_ALWAYS, true);
  }

  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    auto file = OpenForWriting(path, CREATE_NEW, false);
    if (file || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    if (!IsOwnLeftover(path) || !Remove(path)) return nullptr;
    return OpenForWriting(path, CREATE_NEW, false);
  }

  std::unique_ptr<WritableFile> ReopenForRewrite(const std::string& path) override {
    const HANDLE h = OpenExistingFile(path, GENERIC_WRITE, true);
    return h == INVALID_HANDLE_VALUE ? nullptr : std::make_unique<Win32WritableFile>(h, true);
  }

  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override {
    // Without FILE_WRITE_DATA every write lands at the end, whatever the handle's position.
    const HANDLE h = OpenExistingFile(path, FILE_APPEND_DATA, false);
    return h == INVALID_HANDLE_VALUE ? nullptr : std::make_unique<Win32WritableFile>(h);
  }

  bool Rename(const std::string& from, const std::string& to) override {
    const std::wstring source = SystemPath(from), target = SystemPath(to);
    return RetryWhileBusy([&] { return MoveOver(source, target); });
  }

  bool Remove(const std::string& path) override {
    const std::wstring target = SystemPath(path);
    return RetryWhileBusy([&] { return ::DeleteFileW(target.c_str()) != 0; });
  }

  bool CreateDirectory(const std::string& path) override {
    return ::CreateDirectoryW(SystemPath(path).c_str(), nullptr) ||
           (::GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path));
  }

  // A directory's entries reach the disk with the MOVEFILE_WRITE_THROUGH replace; Windows
  // has no flush of a directory of its own.
  bool SyncDirectory(const std::string& dir) override { return IsDirectory(dir); }

  // One after another: a flush here waits for its own file's writes only. A directory has no
  // flush of its own (see SyncDirectory).
  bool SyncFiles(const std::vector<std::string>& paths, WritableFile* open) override {
    if (open && !open->Sync()) return false;
    for (const std::string& path : paths) {
      if (IsDirectory(path)) continue;
      Handle h(::CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
      BY_HANDLE_FILE_INFORMATION info{};
      if (!h.ok() || !::GetFileInformationByHandle(h.get(), &info) ||
          (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
          !::FlushFileBuffers(h.get())) {
        return false;
      }
    }
    return true;
  }

  bool ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) override {
    entries->clear();
    if (!IsDirectory(dir)) return false;
    WIN32_FIND_DATAW found{};
    const HANDLE h = ::FindFirstFileExW((SystemPath(dir) + L"\\*").c_str(), FindExInfoBasic, &found,
                                        FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      DirEntry entry{Narrow(name), DirEntry::Kind::kOther};
      const bool link =
          (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(found.dwReserved0);
      if (!link) {
        entry.kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                         ? DirEntry::Kind::kDirectory
                         : DirEntry::Kind::kFile;
      }
      entries->push_back(std::move(entry));
    } while (::FindNextFileW(h, &found));
    ::FindClose(h);
    return true;
  }

  std::optional<std::string> StoredName(const std::string& path) override {
    const std::size_t slash = path.rfind('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    // The search takes "*" and "?" as patterns, and no stored name holds them.
    if (name.empty() || name.find_first_of("*?") != std::string::npos) return std::string();
    WIN32_FIND_DATAW found{};
    const HANDLE h = ::FindFirstFileExW(SystemPath(path).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                        nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    ::FindClose(h);
    return Narrow(found.cFileName);
  }

  bool IsRegularFile(const std::string& path) override {
    FileInfo info;
    return Stat(path, &info) && info.kind == DirEntry::Kind::kFile;
  }

  bool IsDirectory(const std::string& path) override {
    FileInfo info;
    return Stat(path, &info) && info.kind == DirEntry::Kind::kDirectory;
  }

  bool Stat(const std::string& path, FileInfo* info) override { return StatOf(path, false, info); }

  bool StatNoFollow(const std::string& path, FileInfo* info) override {
    return StatOf(path, true, info);
  }

  std::unique_ptr<DirectoryLock> TryLockDirectory(const std::string& dir, LockMode mode,
                                                  FileIdentity* identity, bool* busy) override {
    *busy = false;
    FileInfo info;
    if (!Stat(dir, &info) || info.kind != DirEntry::Kind::kDirectory) return nullptr;
    const std::string lockDir = LockDirectory();
    char name[40];
    std::snprintf(name, sizeof name, "%08llX-%016llX.lock",
                  static_cast<unsigned long long>(info.identity.device),
                  static_cast<unsigned long long>(info.identity.inode));
    if (!MakeDirectories(lockDir)) return nullptr;
    Handle h(::CreateFileW(SystemPath(lockDir + "/" + name).c_str(), GENERIC_READ | GENERIC_WRITE,
                           kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.ok()) return nullptr;
    OVERLAPPED at{};
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (mode == LockMode::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!::LockFileEx(h.get(), flags, 0, 1, 0, &at)) {
      *busy = ::GetLastError() == ERROR_LOCK_VIOLATION;
      return nullptr;
    }
    *identity = info.identity;
    return std::make_unique<Win32DirectoryLock>(h.release());
  }

  // The fixed and removable drives, each its root "X:/" with the kind of drive as its type.
  bool ListMounts(std::vector<MountEntry>* mounts) override {
    mounts->clear();
    wchar_t buffer[512];
    const DWORD n = ::GetLogicalDriveStringsW(sizeof buffer / sizeof buffer[0], buffer);
    if (n == 0 || n >= sizeof buffer / sizeof buffer[0]) return false;
    for (const wchar_t* root = buffer; *root; root += wcslen(root) + 1) {
      const UINT type = ::GetDriveTypeW(root);
      if (type != DRIVE_FIXED && type != DRIVE_REMOVABLE) continue;
      mounts->push_back({ProgramPath(root), type == DRIVE_FIXED ? "fixed" : "removable"});
    }
    return true;
  }

  std::string CurrentDirectory() override {
    const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring dir(n, L'\0');
    const DWORD got = ::GetCurrentDirectoryW(n, dir.data());
    if (got == 0 || got >= n) return {};
    dir.resize(got);
    return ProgramPath(dir);
  }

  std::string RealPath(const std::string& path) override {
    Handle h(OpenToQuery(path, false));
    if (!h.ok()) return {};
    const DWORD n =
        ::GetFinalPathNameByHandleW(h.get(), nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return {};
    std::wstring real(n, L'\0');
    const DWORD got = ::GetFinalPathNameByHandleW(h.get(), real.data(), n,
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (got == 0 || got >= n) return {};
    real.resize(got);
    std::string result = ProgramPath(real);
    // A drive's root keeps its "/" ("C:/"); any other directory is named without one.
    if (result.size() > 3 && result.back() == '/') result.pop_back();
    return result;
  }
};

}  // namespace

FileSystem& FileSystem::Default() {
  static Win32FileSystem fs;
  return fs;
}

std::string EnvironmentVariable(const std::string& name) {
  return EnvironmentOf(Wide(name).c_str());
}

void PassStandardOutputBytes() {
  std::fflush(stdout);
  std::fflush(stderr);
  (void)::_setmode(_fileno(stdout), _O_BINARY);
  (void)::_setmode(_fileno(stderr), _O_BINARY);
  ::SetConsoleOutputCP(CP_UTF8);
}

bool LocalTime(std::time_t time, std::tm* local) { return ::localtime_s(local, &time) == 0; }

std::string UserDataDirectory() {
  const std::string dir = EnvironmentOf(L"LOCALAPPDATA");
  return dir.empty() ? dir : ProgramPath(Wide(dir));
}

}  // namespace barvane
