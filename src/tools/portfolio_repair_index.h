// The index files of one portfolio directory brought into step where that needs no guess.
// MASTER is the one trusted, as every reader takes it: a MASTER that counts more records than
// it holds is cut to those it holds; EMASTER follows MASTER record for record; XMASTER's counts
// and next file number follow its own records. Whatever only a person can settle is left as it
// is, and the check goes on reporting it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/index_files.h"

namespace barvane {

// Whether MASTER's header count can be mended: it promises at least the records the file
// holds and disagrees with them, or the file ends in a piece of a record. Records beyond a
// count that promises too few may be remnants of deleted symbols, which only a person can tell.
bool MasterCountMendable(const Bytes& master);

// The field set to give a new EMASTER record for a MASTER record; 0 when none can be told.
using FieldSetOf = std::function<std::uint8_t(const MasterRecord&)>;

struct IndexMend {
  IndexFiles files;                // after the mend, each file it changed marked
  std::vector<std::string> mends;  // what was done, one text each, in the order done
};

// What the check and the repair say of a file's spare slots (ZeroSlotsBeyondCounts): "MASTER
// holds 1 empty record slot after the 25 records it counts".
std::vector<std::string> SpareSlotTexts(const IndexFiles& files);

// Mends `files` (as ReadIndexFiles gave them, every file read whole) in memory:
// - the empty record slots beyond each file's count removed;
// - MASTER's count, when MasterCountMendable, set to its whole records, a trailing piece cut;
// - EMASTER's header made to repeat MASTER's counts;
// - EMASTER's records rebuilt in MASTER's order when their count, order or file numbers
//   disagree: each record kept whole when EMASTER has one of the same file number, built from
//   MASTER's record (field set from `fieldSetOf`) when not, dropped when MASTER lists no symbol
//   of its number. Not done when that match is not one to one (a number used twice in either
//   file), when MASTER holds sub-portfolio records or records beyond its count;
// - each EMASTER record of MASTER's file number given MASTER's symbol, name, first and last
//   dates and number of fields (a long name that does not start with the name cleared);
// - XMASTER's two counts set to its records when the first promises at least those, and its
//   next file number raised above every number its records use.
// Every other byte of a record kept is carried over as it was.
IndexMend MendIndexFiles(const IndexFiles& files, const FieldSetOf& fieldSetOf);

}  // namespace barvane
