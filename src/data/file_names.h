// Every name of a portfolio file the program reads or creates, temporary and backup files
// included, and the roots and joins of the paths they lie on. Files the program creates carry
// upper-case names; existing files are found in whatever letter case they are stored (see
// file_ops.h).
#pragma once

#include <string>
#include <string_view>

namespace barvane {

inline constexpr const char* kMasterName = "MASTER";
inline constexpr const char* kEmasterName = "EMASTER";
inline constexpr const char* kXmasterName = "XMASTER";

// File numbers above this belong to XMASTER, and their quote files are F<n>.MWD.
inline constexpr int kLargestMasterFileNumber = 255;

// "F7.DAT" and the like for file number 7; "F300.MWD" for a number above 255.
std::string QuoteFileName(int fileNumber);
std::string LayoutFileName(int fileNumber);
std::string QuoteBackupName(int fileNumber);
std::string QuoteNewName(int fileNumber);

// The backup and new files beside a MASTER file: "MASTER.BAK" and "MASTER.NEW".
std::string MasterBackupName();
std::string MasterNewName();
// The temporary name through which Delete, Copy and Move symbol replace a MASTER: "MASTER.~NU".
std::string MasterSwapName();
// The same names for any index file: "EMASTER.BAK", "XMASTER.NEW", "EMASTER.~NU".
std::string IndexBackupName(const std::string& indexName);
std::string IndexNewName(const std::string& indexName);
std::string IndexSwapName(const std::string& indexName);

// The temporary file through which the blank-symbol repair replaces a MASTER: ".bak" appended.
std::string RepairTemporaryPath(const std::string& masterPath);

// The temporary file through which a copy reaches `target`: `target` with ".NEW" appended.
std::string CopyTemporaryPath(const std::string& target);

// The file that the temporary file `path` is made to replace: "X" for "X.NEW", the quote file
// "F7.DAT" for "F7.NEW", the index file for its ".~NU" or ".bak"; empty for any other name.
std::string TemporaryTarget(const std::string& path);

// The temporary file through which export-all writes the export file `path`: hidden beside it,
// "/out/.ALPHA.txt.barvane-tmp" for "/out/ALPHA.txt".
std::string ExportTemporaryPath(const std::string& path);
// Whether the file name `name` is one that ExportTemporaryPath makes.
bool IsExportTemporaryName(std::string_view name);

// The length of the root that begins `path`, 0 when `path` is relative: "/" on every system,
// and on Windows also a drive's "X:/" and a share's "//server/share/" ("//server/share" when
// nothing follows). Paths inside the program use "/" only.
std::size_t RootLength(std::string_view path);
bool IsAbsolutePath(std::string_view path);
// `name` below `dir`, one "/" between them: "/" and "data" give "/data", never "//data".
std::string JoinPath(const std::string& dir, const std::string& name);

// `dir` ending in "/" (empty stays empty).
std::string WithTrailingSlash(std::string dir);
// `dir` without its trailing "/" (a root such as "/" or "C:/" stays whole).
std::string WithoutTrailingSlash(std::string dir);
// The directory part of `path`, ending in "/"; empty when `path` has no "/".
std::string DirectoryOf(const std::string& path);

}  // namespace barvane
