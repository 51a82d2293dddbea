// Reading and rebuilding MASTER files for the symbol commands.
#include "tools/master_image.h"

#include <algorithm>
#include <cstring>

#include "app/list_order.h"
#include "app/symbol_list.h"

namespace barvane {
namespace {

int Number16(const Bytes& bytes, std::size_t at) {
  return static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8);
}

// Adds `delta` to the header's first two numbers, wrapping as the 16-bit fields do.
void AdjustHeader(Bytes& bytes, int delta) {
  for (std::size_t at = 0; at <= 2; at += 2) {
    const auto value = static_cast<std::uint16_t>(Number16(bytes, at) + delta);
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
  }
}

std::size_t Offset(int index) { return kMasterRecordSize * static_cast<std::size_t>(index); }

// Numbers that the directory's files already carry: F<m>.anything in any letter case.
bool NumbersOfFiles(FileSystem& fs, const std::string& dir, std::array<bool, 256>* used) {
  std::vector<DirEntry> entries;
  if (!fs.ListDirectory(dir, &entries)) return false;
  for (const DirEntry& entry : entries) {
    const std::string name = AsciiUpper(entry.name);
    if (name.size() < 3 || name[0] != 'F') continue;
    std::size_t end = 1;
    int number = 0;
    while (end < name.size() && end < 5 && name[end] >= '0' && name[end] <= '9') {
      number = number * 10 + (name[end] - '0');
      ++end;
    }
    if (end > 1 && end < name.size() && name[end] == '.' && number <= 255) {
      (*used)[static_cast<std::size_t>(number)] = true;
    }
  }
  return true;
}

}  // namespace

int FreeFileNumber(FileSystem& fs, const MasterImage& master, const std::string& dir) {
  std::array<bool, 256> used{};
  used[0] = true;
  for (int i = 1; i <= master.count(); ++i) {
    used[static_cast<std::size_t>(master.record(i).fileNumber())] = true;
  }
  if (!NumbersOfFiles(fs, dir, &used)) return 0;
  const auto free = std::find(used.begin() + 1, used.end(), false);
  return free == used.end() ? 0 : static_cast<int>(free - used.begin());
}


bool MasterImage::Read(FileSystem& fs, const std::string& path) {
  bytes_.clear();
  count_ = 0;
  Bytes contents;
  if (path.empty() || !ReadWholeFile(fs, path, &contents, kLargestMasterFile) || contents.size() < kMasterRecordSize) {
    return false;
  }
  const int announced = MasterRecordCount(contents.data());
  if (announced < 0 || contents.size() < Offset(announced + 1)) return false;
  bytes_ = std::move(contents);
  count_ = announced;
  return true;
}

int MasterImage::headerCount() const { return Number16(bytes_, 0); }
int MasterImage::headerSecond() const { return Number16(bytes_, 2); }

MasterRecord MasterImage::record(int index) const {
  MasterRecord record;
  std::memcpy(record.bytes.data(), bytes_.data() + Offset(index), kMasterRecordSize);
  return record;
}

int MasterImage::FindByGridText(const std::string& gridText) const {
  for (int i = 1; i <= count_; ++i) {
    if (GridSymbolText(bytes_.data() + Offset(i) + kMasterSymbol) == gridText) return i;
  }
  return 0;
}

int MasterImage::FindExact(const MasterRecord& wanted) const {
  for (int i = 1; i <= count_; ++i) {
    if (std::memcmp(bytes_.data() + Offset(i), wanted.bytes.data(), kMasterRecordSize) == 0) return i;
  }
  return 0;
}

bool MasterImage::OtherRecordUses(int fileNumber, int except) const {
  for (int i = 1; i <= count_; ++i) {
    if (i == except) continue;
    const MasterRecord r = record(i);
    if (!r.isSubPortfolio() && r.fileNumber() == fileNumber) return true;
  }
  return false;
}

Bytes MasterImage::WithRecordReplaced(int index, const MasterRecord& record) const {
  Bytes out = bytes_;
  std::copy(record.bytes.begin(), record.bytes.end(), out.begin() + static_cast<long>(Offset(index)));
  return out;
}

Bytes MasterImage::WithoutRecord(int index) const {
  Bytes out;
  out.reserve(bytes_.size() - kMasterRecordSize);
  out.insert(out.end(), bytes_.begin(), bytes_.begin() + static_cast<long>(Offset(index)));
  out.insert(out.end(), bytes_.begin() + static_cast<long>(Offset(index + 1)), bytes_.end());
  AdjustHeader(out, -1);
  return out;
}

Bytes MasterImage::WithRecordAdded(const MasterRecord& record) const {
  const auto end = bytes_.begin() + static_cast<long>(Offset(count_ + 1));
  Bytes out(bytes_.begin(), end);
  out.insert(out.end(), record.bytes.begin(), record.bytes.end());
  out.insert(out.end(), end, bytes_.end());
  AdjustHeader(out, +1);
  return out;
}

}  // namespace barvane
