// MasterImage: a MASTER file held whole in memory while a symbol command builds its
// replacement: the header, the records the header announces, and whatever bytes follow them,
// which every rewrite carries over untouched.
#pragma once

#include <cstdint>
#include <string>

#include "data/file_ops.h"
#include "data/fs.h"
#include "data/master.h"

namespace barvane {

class MasterImage {
 public:
  // Reads the MASTER at `path`. On success the image holds every byte of the file. Returns
  // false when the file cannot be read, has no header, announces a negative count, or holds
  // fewer whole records than it announces; the image is then empty.
  [[nodiscard]] bool Read(FileSystem& fs, const std::string& path);

  const Bytes& bytes() const { return bytes_; }
  // The records the header announces (record 0, the header, not counted).
  int count() const { return count_; }
  // The first and second 16-bit numbers of the header.
  int headerCount() const;
  int headerSecond() const;
  // Record `index`, 1 to count().
  MasterRecord record(int index) const;

  // The first record whose symbol, read as the symbol grid reads it, is `gridText` exactly;
  // 0 when none is.
  int FindByGridText(const std::string& gridText) const;
  // The first record whose 53 bytes equal `record`'s; 0 when none does.
  int FindExact(const MasterRecord& record) const;
  // Whether a symbol record other than `except` uses file number `fileNumber`.
  bool OtherRecordUses(int fileNumber, int except) const;

  // The file with record `index` replaced by `record`, everything else unchanged.
  Bytes WithRecordReplaced(int index, const MasterRecord& record) const;
  // The file without record `index`, both header numbers one lower.
  Bytes WithoutRecord(int index) const;
  // The file with `record` after the last announced record, both header numbers one higher.
  Bytes WithRecordAdded(const MasterRecord& record) const;

 private:
  Bytes bytes_;
  int count_ = 0;
};

// The lowest number from 1 to 255 that neither a record of `master` nor a file of `dir`
// (F<m>.anything, any letter case) uses; 0 when there is none or `dir` cannot be listed.
int FreeFileNumber(FileSystem& fs, const MasterImage& master, const std::string& dir);

}  // namespace barvane
