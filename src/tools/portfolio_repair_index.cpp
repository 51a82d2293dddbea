// The mend of one directory's index files, MASTER trusted.
#include "tools/portfolio_repair_index.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "data/file_names.h"
#include "data/mbf.h"
#include "data/printed.h"

namespace barvane {
namespace {

int Read16(const Bytes& bytes, std::size_t at) {
  return at + 2 <= bytes.size() ? (bytes[at] | bytes[at + 1] << 8) : 0;
}

void Write16(Bytes& bytes, std::size_t at, int value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// The whole records after the header.
int RecordsIn(const Bytes& bytes, std::size_t recordSize) {
  return bytes.size() < recordSize ? 0 : static_cast<int>(bytes.size() / recordSize - 1);
}

std::uint8_t* RecordAt(Bytes& bytes, std::size_t recordSize, int index) {
  return bytes.data() + recordSize * static_cast<std::size_t>(index);
}

MasterRecord MasterRecordAt(const Bytes& master, int index) {
  MasterRecord record;
  std::memcpy(record.bytes.data(),
              master.data() + kMasterRecordSize * static_cast<std::size_t>(index),
              kMasterRecordSize);
  return record;
}

std::string TextUpToZero(const std::uint8_t* bytes, std::size_t size) {
  const auto* end = static_cast<const std::uint8_t*>(std::memchr(bytes, 0, size));
  return std::string(reinterpret_cast<const char*>(bytes),
                     end ? static_cast<std::size_t>(end - bytes) : size);
}

std::string WithoutTrailingBlanks(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void PutZeroPadded(std::uint8_t* field, std::size_t size, const std::string& text) {
  for (std::size_t i = 0; i < size; ++i)
    field[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

std::string EmasterSymbolOf(const MasterRecord& record) {
  return GridSymbolText(record.bytes.data() + kMasterSymbol).substr(0, kEmasterSymbolSize);
}

std::string DateText(const std::uint8_t* mbf) { return ScreenDate(DateFloatToDay(ReadMbf(mbf))); }

std::string Slots(int n) { return Printed(n == 1 ? "%d empty record slot" : "%d empty record slots", n); }
std::string Records(int n) { return Printed(n == 1 ? "%d record" : "%d records", n); }

struct SpareSlotCount {
  const char* name;
  int slots;
  int count;  // the records the header counts
};

std::vector<SpareSlotCount> SpareSlotCounts(const IndexFiles& files, const SpareSlots& spare) {
  std::vector<SpareSlotCount> counts;
  if (spare.master != 0) counts.push_back({"MASTER", spare.master, files.masterCount()});
  if (spare.emaster != 0) counts.push_back({"EMASTER", spare.emaster, static_cast<std::int16_t>(Read16(files.emaster.bytes, 0))});
  if (spare.xmaster != 0) counts.push_back({"XMASTER", spare.xmaster, files.xmasterCount()});
  return counts;
}

class Mend {
 public:
  Mend(const IndexFiles& files, const FieldSetOf& fieldSetOf) : fieldSetOf_(fieldSetOf) {
    out_.files = files;
  }

  IndexMend Done() && { return std::move(out_); }

  void DropSpareSlots() {
    const SpareSlots spare = ZeroSlotsBeyondCounts(out_.files);
    if (!spare.any()) return;
    for (const auto& [name, slots, count] : SpareSlotCounts(out_.files, spare)) {
      Told("removed " + Slots(slots) + " after the " + Records(count) + " " + name + " counts");
    }
    out_.files = WithoutSpareSlots(out_.files);
  }

  void CutMaster() {
    Bytes& master = out_.files.master.bytes;
    if (!MasterCountMendable(master)) return;
    const int present = RecordsIn(master, kMasterRecordSize);
    master.resize(kMasterRecordSize * static_cast<std::size_t>(present + 1));
    Write16(master, 0, present);
    out_.files.master.changed = true;
    Told(Printed("set the MASTER record count to %d", present));
  }

  void MendEmaster() {
    if (!out_.files.hasEmaster()) return;
    const Bytes& master = out_.files.master.bytes;
    count_ = std::min(out_.files.masterCount(), RecordsIn(master, kMasterRecordSize));
    Bytes& em = out_.files.emaster.bytes;
    const Bytes before = em;
    if (!RecordsInPlace() && RecordsCanBeMatched()) RebuildRecords();
    if (em.size() < kEmasterRecordSize ||
        !std::equal(master.begin(), master.begin() + 4, em.begin())) {
      if (em.size() < kEmasterRecordSize) em.resize(kEmasterRecordSize, 0);
      std::copy(master.begin(), master.begin() + 4, em.begin());
      Told("set EMASTER's header to MASTER's counts");
    }
    for (int i = 1; i <= std::min(count_, RecordsIn(em, kEmasterRecordSize)); ++i) MirrorRecord(i);
    out_.files.emaster.changed = out_.files.emaster.changed || em != before;
  }

  void MendXmaster() {
    Bytes& xm = out_.files.xmaster.bytes;
    if (!out_.files.hasXmaster() || xm.size() < kXmasterRecordSize) return;
    const int present = RecordsIn(xm, kXmasterRecordSize);
    const int count = Read16(xm, kXmasterCount);
    if (count >= present && (count != present || Read16(xm, kXmasterCountAgain) != present)) {
      Write16(xm, kXmasterCount, present);
      Write16(xm, kXmasterCountAgain, present);
      out_.files.xmaster.changed = true;
      Told(Printed("set XMASTER's record counts to %d", present));
    }
    int highest = 0;
    for (int j = 1; j <= present; ++j) {
      highest = std::max(highest, Read16(xm, kXmasterRecordSize * static_cast<std::size_t>(j) +
                                                 kXmasterFileNumber));
    }
    // The number after the highest must fit the 16-bit field.
    if (highest >= Read16(xm, kXmasterNextNumber) && highest < 0xFFFF) {
      Write16(xm, kXmasterNextNumber, highest + 1);
      out_.files.xmaster.changed = true;
      Told(Printed("set XMASTER's next file number to %d", highest + 1));
    }
  }

 private:
  void Told(std::string text) { out_.mends.push_back(std::move(text)); }

  int EmasterNumber(int index) {
    return RecordAt(out_.files.emaster.bytes, kEmasterRecordSize, index)[kEmasterFileNumber];
  }

  // Whether EMASTER holds one record for each of MASTER's, each of the same file number.
  bool RecordsInPlace() {
    const Bytes& master = out_.files.master.bytes;
    if (RecordsIn(out_.files.emaster.bytes, kEmasterRecordSize) != count_) return false;
    for (int i = 1; i <= count_; ++i) {
      const MasterRecord m = MasterRecordAt(master, i);
      if (!m.isSubPortfolio() && EmasterNumber(i) != m.fileNumber()) return false;
    }
    return true;
  }

  // Whether each symbol of MASTER has at most one EMASTER record and each EMASTER record at
  // most one symbol, and MASTER holds nothing else that EMASTER would have to describe.
  bool RecordsCanBeMatched() {
    const Bytes& master = out_.files.master.bytes;
    if (RecordsIn(master, kMasterRecordSize) != count_) return false;
    std::set<int> numbers;
    for (int i = 1; i <= count_; ++i) {
      const MasterRecord m = MasterRecordAt(master, i);
      if (m.isSubPortfolio() || !numbers.insert(m.fileNumber()).second) return false;
    }
    numbers.clear();
    for (int e = 1; e <= RecordsIn(out_.files.emaster.bytes, kEmasterRecordSize); ++e) {
      if (!numbers.insert(EmasterNumber(e)).second) return false;
    }
    return true;
  }

  void RebuildRecords() {
    const Bytes& master = out_.files.master.bytes;
    const Bytes& em = out_.files.emaster.bytes;
    const int present = RecordsIn(em, kEmasterRecordSize);
    Bytes rebuilt(em.begin(),
                  em.begin() + static_cast<long>(std::min(em.size(), kEmasterRecordSize)));
    rebuilt.resize(kEmasterRecordSize, 0);
    std::vector<bool> kept(static_cast<std::size_t>(present) + 1, false);
    std::vector<std::string> added;
    int lastKept = 0;
    bool reordered = false;
    for (int i = 1; i <= count_; ++i) {
      const MasterRecord m = MasterRecordAt(master, i);
      int found = 0;
      for (int e = 1; e <= present && found == 0; ++e) {
        if (EmasterNumber(e) == m.fileNumber()) found = e;
      }
      if (found != 0) {
        const std::uint8_t* r = em.data() + kEmasterRecordSize * static_cast<std::size_t>(found);
        rebuilt.insert(rebuilt.end(), r, r + kEmasterRecordSize);
        kept[static_cast<std::size_t>(found)] = true;
        reordered = reordered || found < lastKept;
        lastKept = found;
        continue;
      }
      const NewIndexEntry entry{m, std::nullopt, std::nullopt,
                                fieldSetOf_ ? fieldSetOf_(m) : std::uint8_t{0}};
      const Bytes record = EmasterRecordFor(entry, m.fileNumber());
      rebuilt.insert(rebuilt.end(), record.begin(), record.end());
      added.push_back("added EMASTER's record of " + EmasterSymbolOf(m) + " (" +
                      QuoteFileName(m.fileNumber()) + ")");
    }
    for (int e = 1; e <= present; ++e) {
      if (kept[static_cast<std::size_t>(e)]) continue;
      const std::uint8_t* r = em.data() + kEmasterRecordSize * static_cast<std::size_t>(e);
      Told("removed EMASTER's record of " + TextUpToZero(r + kEmasterSymbol, kEmasterSymbolSize) +
           " (" + QuoteFileName(r[kEmasterFileNumber]) + "), a file number MASTER does not list");
    }
    for (std::string& text : added) Told(std::move(text));
    if (reordered) Told("put EMASTER's records in MASTER's order");
    out_.files.emaster.bytes = std::move(rebuilt);
  }

  // EMASTER's record `i` given what MASTER's record `i` says, when both are of one file number.
  void MirrorRecord(int i) {
    const MasterRecord m = MasterRecordAt(out_.files.master.bytes, i);
    std::uint8_t* e = RecordAt(out_.files.emaster.bytes, kEmasterRecordSize, i);
    if (m.isSubPortfolio() || e[kEmasterFileNumber] != m.fileNumber()) return;
    const std::string at = Printed(" of EMASTER's record %d to ", i);
    const std::string symbol = EmasterSymbolOf(m);
    if (TextUpToZero(e + kEmasterSymbol, kEmasterSymbolSize) != symbol) {
      PutZeroPadded(e + kEmasterSymbol, kEmasterSymbolSize, symbol);
      Told("set the symbol" + at + symbol);
    }
    const std::string name = WithoutTrailingBlanks(m.nameText());
    if (WithoutTrailingBlanks(TextUpToZero(e + kEmasterIssueName, kMasterTextSize)) != name) {
      PutZeroPadded(e + kEmasterIssueName, kMasterTextSize, name);
      // A long name is the same name written out further; another one would be shown instead.
      if (!TextUpToZero(e + kEmasterLongName, kEmasterLongNameSize).starts_with(name)) {
        PutZeroPadded(e + kEmasterLongName, kEmasterLongNameSize, "");
      }
      Told("set the name" + at + name);
    }
    const std::uint8_t* first = m.bytes.data() + kMasterFirstDate;
    const std::uint8_t* last = m.bytes.data() + kMasterLastDate;
    const bool firstDiffers = !SameDateValue(ReadIeee(e + kEmasterFirstDate), ReadMbf(first));
    const bool lastDiffers = !SameDateValue(ReadIeee(e + kEmasterLastDate), ReadMbf(last));
    if (firstDiffers) {
      const float value = ReadMbf(first);
      WriteIeee(value, e + kEmasterFirstDate);
      // The 32-bit first date follows the first date, as every change of the dates keeps it.
      const auto number = static_cast<std::uint32_t>(DateNumberOfValue(value));
      for (std::size_t k = 0; k < 4; ++k)
        e[kEmasterFirstDateNumber + k] = static_cast<std::uint8_t>(number >> (8 * k));
    }
    if (lastDiffers) WriteIeee(ReadMbf(last), e + kEmasterLastDate);
    if (firstDiffers || lastDiffers)
      Told("set the dates" + at + DateText(first) + " and " + DateText(last));
    if (e[kEmasterFieldCount] != m.fieldCount()) {
      e[kEmasterFieldCount] = static_cast<std::uint8_t>(m.fieldCount());
      Told(Printed("set the number of fields%s%d", at.c_str(), m.fieldCount()));
    }
  }

  const FieldSetOf& fieldSetOf_;
  IndexMend out_;
  int count_ = 0;
};

}  // namespace

bool MasterCountMendable(const Bytes& master) {
  if (master.size() < kMasterRecordSize) return false;
  const int count = MasterRecordCount(master.data());
  const int present = RecordsIn(master, kMasterRecordSize);
  return count >= present && (count != present || master.size() % kMasterRecordSize != 0);
}

std::vector<std::string> SpareSlotTexts(const IndexFiles& files) {
  std::vector<std::string> texts;
  for (const auto& [name, slots, count] : SpareSlotCounts(files, ZeroSlotsBeyondCounts(files))) {
    texts.push_back(std::string(name) + " holds " + Slots(slots) + " after the " + Records(count) + " it counts");
  }
  return texts;
}

IndexMend MendIndexFiles(const IndexFiles& files, const FieldSetOf& fieldSetOf) {
  Mend mend(files, fieldSetOf);
  mend.DropSpareSlots();
  mend.CutMaster();
  mend.MendEmaster();
  mend.MendXmaster();
  return std::move(mend).Done();
}

}  // namespace barvane
