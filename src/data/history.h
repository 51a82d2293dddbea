// History: the changes Barvane made to portfolios, kept outside them so that vendor software
// never sees it, with what undo and redo need: for every file a change touched, its exact
// bytes before (or that it did not exist), and its length and strong digest after. The bytes
// after, which only redo needs, are taken when the change is undone: undo reads every file
// anyway to see that nothing else changed it since.
//
// One directory holds every portfolio's changes: "<id>.chg" a complete change, its before
// bytes packed (packing.h) or, for a file the change replaced whole, kept as "<id>.keep<n>": the
// replaced file itself under a further name, which costs neither a copy nor a flush of its bytes
// (where the store and the file share a file system); "<id>.rec" the before-states of a change
// still being made, those of files noted later added at its end as parts of their own (or, after
// an append failed, in "<id>.rec<n>" from its n-th file on); where it holds no bytes, the change
// is added after its parts and "<id>.chg" is a further name of that file;
// "<id>.undone" present while the change is undone, holding its files' bytes after;
// "<id>.undoing" (those bytes) and "<id>.redoing" present while an undo or redo is putting files
// back; "spare" the file of the change dropped last, which the next recording takes over.
// Changes and recordings' parts end in a checksum and are written under names of their
// own or at the end of one, so that one a crash tore is known as such.
// A change file is on the disk before its recording goes; a commit leaves its flush to the
// store's next one, by this or another process, so that a change costs no flush of its own.
// Files of an older layout (every state's bytes kept whole, empty marks) are read as well. A
// change is listed under every portfolio whose files it touched and under the portfolio the
// command was given; portfolios are known by their real path. Ids grow with time, so the newest
// change has the highest id.
#pragma once

#include <cstdint>
#include <future>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/digest.h"
#include "data/file_ops.h"
#include "data/fs.h"
#include "data/packing.h"
#include "data/portfolio_lock.h"

namespace barvane {

// What a file held, known by its length and strong digest.
struct StateDigest {
  std::uint64_t length = 0;
  Digest digest{};
  bool operator==(const StateDigest&) const = default;
};

struct FileChange {
  std::string path;             // absolute
  std::optional<Bytes> before;  // none: the file did not exist (or its bytes are `kept`, unread)
  std::optional<Bytes> after;   // none: the file did not exist afterwards, or only afterDigest is kept
  std::optional<StateDigest> afterDigest;  // what the file held afterwards when `after` is not kept
  // The recorder's word that the file is only replaced whole or removed, never written in
  // place: the history may then keep the file itself under a further name instead of a copy.
  bool replacedWhole = false;
  // The before-bytes are the store's file "<id>.keep<n>", a further name of the file replaced.
  std::optional<std::uint32_t> kept;
};

// Whether `state` (none: no file) is what `file` held after its change.
bool HeldAfter(const FileChange& file, const std::optional<Bytes>& state);

struct Change {
  std::uint64_t id = 0;
  std::int64_t time = 0;                // seconds since 1970-01-01 UTC
  std::vector<std::string> words;       // the command and its words, as the CLI takes them
  std::vector<std::string> portfolios;  // real paths of the portfolio directories
  std::vector<FileChange> files;        // in the order the command first touched them
  bool undone = false;
};

struct HistoryLimits {
  int changesPerPortfolio = 50;
  std::uint64_t maxBytes = std::uint64_t{512} << 20;

  // The defaults, with maxBytes taken from BARVANE_HISTORY_MB (megabytes) when it is set to a
  // positive number.
  static HistoryLimits FromEnvironment();
};

// UserDataDirectory() + "/Orvell Software/Barvane/History".
std::string DefaultHistoryDirectory();

// The change's words as one line, each word as the system's command line takes it: joined by
// blanks, a word that is empty or holds a blank, quote or control character quoted. Unix: in
// single quotes (a quote in it as '\''; a backslash also quotes). Windows: in double quotes,
// backslashes as given except before a quote, as the C run-time splits a command line.
std::string WordsText(const std::vector<std::string>& words);

class History {
 public:
  History(FileSystem& fs, std::string directory, HistoryLimits limits = {});

  FileSystem& fs() { return fs_; }
  const std::string& directory() const { return directory_; }
  const HistoryLimits& limits() const { return limits_; }

  // How a portfolio directory is known in the history: its real path without a trailing "/",
  // or `dir` as spelled (without a trailing "/") when it cannot be resolved.
  std::string PortfolioKey(const std::string& dir);

  // The changes listed under portfolio `dir`, newest first; their files carry paths, no bytes.
  // A store that does not exist yet lists nothing. Returns false when it cannot be read.
  [[nodiscard]] bool List(const std::string& dir, std::vector<Change>* changes);
  // Change `id` with every file's bytes before, and after where they are kept (the change is
  // undone, or being undone). False when it is not stored or cannot be read.
  [[nodiscard]] bool Load(std::uint64_t id, Change* change);

  // The store's file of change `id` that keeps a before-state as its file number `n`.
  std::string KeptPath(std::uint64_t id, std::uint32_t n) const;

  // A shared lock on the store, held while this process records or applies a change, so that
  // RecoverHistory in another process leaves that change alone. Null when it cannot be had.
  [[nodiscard]] std::unique_ptr<PortfolioLock> LockLive();
  // The store locked against every live change, for completing what a crash left; null at once
  // when another process is recording or applying a change now.
  [[nodiscard]] std::unique_ptr<PortfolioLock> LockForRecovery();

  // Writes `change`'s before-states as the change being made, so that the next start can
  // complete it; they are on the disk once FlushRecording returns. A change without an id is
  // given one higher than every id stored, under a lock on the store, so that two processes
  // recording at once never share an id, and is stored with all its files. A change with an id
  // stores only its files from `firstNew` on (those noted since the last call), so that a
  // command touching many files writes each file's bytes once. On failure leaves `change->id`
  // as it was and nothing written that a read would take.
  [[nodiscard]] bool SaveRecording(Change* change, std::size_t firstNew = 0);
  // Flushes what SaveRecording wrote and, unless null, the open file `open` of fs() and the
  // files `with`, together.
  // REQUIRES: before any file whose before-state was saved is altered (a new temporary file
  // aside: a crash leaves it as a stray that the next command of its name removes).
  [[nodiscard]] bool FlushRecording(WritableFile* open, const std::vector<std::string>& with = {});
  // Completes the change being made: reads every file's after-state, leaves out files that
  // end as they began, adds the portfolios of the files, and stores the change unless nothing
  // is left; then drops the undone changes of its portfolios (they can no longer be redone)
  // and the changes beyond the limits. On failure the recording stays for the next start.
  [[nodiscard]] bool Commit(Change change);

  // Marks an undo (or redo) of `change` as under way, before any file is put back; an undo
  // keeps its files' bytes after (`change.files[i].after`), which redo will need.
  [[nodiscard]] bool MarkApplying(const Change& change, bool undo);
  // Marks it done: the change undone (or in effect again) and the mark of work under way gone.
  [[nodiscard]] bool MarkApplied(std::uint64_t id, bool undo);
  // Takes back MarkApplying after the work failed with every file put back.
  [[nodiscard]] bool ClearApplying(std::uint64_t id, bool undo);

  // Work that a crash left unfinished.
  struct Pending {
    std::vector<std::uint64_t> recordings;
    std::vector<std::pair<std::uint64_t, bool>> applies;  // id, true for an undo
  };
  [[nodiscard]] bool FindPending(Pending* pending);
  // Removes what a crash left of the store's own writes: temporary files ("<id>.rec.NEW" and
  // the like), recordings torn before they were flushed and recordings of changes stored
  // whole; regular files only, a link or anything else of such a name left as it stands.
  // REQUIRES: LockForRecovery held, so that no live change is writing one of them now.
  void RemoveLeftovers();
  // The change being made as recorded so far (before-states only).
  [[nodiscard]] bool LoadRecording(std::uint64_t id, Change* change);

 private:
  struct Stored {
    Change change;  // files without bytes
    std::uint64_t size = 0;
  };
  std::string PathOf(std::uint64_t id, const char* extension) const;
  // The later parts of recording `id`, ordered by their first file.
  [[nodiscard]] bool ListParts(std::uint64_t id, std::vector<std::string>* paths);
  void RemoveRecording(std::uint64_t id);
  // Starts packing the before-states of `change`'s files from `first` on, each large one on a
  // thread of its own: zstd then runs while the command writes and waits for the disk, and the
  // commit takes what it made instead of packing the bytes itself.
  void PackAhead(const Change& change, std::size_t first);
  // Merges into `change` the bytes after that an undo of it kept.
  void LoadAfters(Change* change);
  // Change `id` from its stored bytes, with the before-bytes it keeps as files of their own.
  [[nodiscard]] bool ParseStored(std::span<const std::uint8_t> bytes, std::uint64_t id, Change* change);
  // Recording `id` from the bytes of its file: its first part, which must be whole, and the later
  // parts appended to it up to the first that a crash tore.
  [[nodiscard]] bool ParseRecording(const Bytes& bytes, std::uint64_t id, Change* change);
  // Gives each file of `change` from `first` on that is replaced whole a further name in the
  // store, or where that cannot be, reads its bytes. False when neither can be done.
  [[nodiscard]] bool KeepBefores(Change* change, std::size_t first);
  // Writes `bytes`, the first part of a recording, as the new store file `path`.
  [[nodiscard]] bool WriteRecording(const std::string& path, const Bytes& bytes);
  // Adds `bytes`, a later part or the change, at the end of recording `id`.
  [[nodiscard]] bool AppendToRecording(std::uint64_t id, const Bytes& bytes);
  void RemoveKept(const Change& change);
  // Takes the files that stored change `listed` keeps under further names into it, packed; in
  // `size` its size then. False when it keeps none or this fails.
  [[nodiscard]] bool PackKept(const Change& listed, std::uint64_t* size);
  // An id higher than every id stored, from the store's `entries`.
  std::uint64_t NewId(const std::vector<DirEntry>& entries);
  // Whether change `id` is stored, its file whole (the checksum holds).
  [[nodiscard]] bool StoredWhole(std::uint64_t id);
  // Notes a file written to the store, to be flushed with the store's directory.
  void NoteUnflushed(const std::string& path);
  // Notes, among the store's `entries`, the change files stored whole beside their recordings,
  // to be flushed with the next FlushRecording, and their recordings to go after it.
  void NoteUnsettled(const std::vector<DirEntry>& entries);
  // Flushes every change stored whole beside its recording, and removes the recordings.
  [[nodiscard]] bool Settle();
  std::unique_ptr<PortfolioLock> LockStore(LockMode mode, std::chrono::milliseconds wait);
  [[nodiscard]] bool ListIds(std::vector<std::uint64_t>* ids, const char* extension);
  [[nodiscard]] bool ReadStored(std::uint64_t id, Stored* stored);
  [[nodiscard]] bool ReadAll(std::vector<Stored>* all);
  bool Drop(const Change& change);
  void Prune(const Change& latest);

  FileSystem& fs_;
  std::string directory_;  // ends in "/"
  HistoryLimits limits_;
  std::vector<std::string> unflushed_;  // store files written but not yet flushed
  std::vector<std::string> settled_;    // recordings to remove once unflushed_ is flushed
  struct PackingAhead {
    std::uint64_t id = 0;
    std::string path;
    std::future<PackedState> packed;
  };
  std::vector<PackingAhead> packingAhead_;  // of the change being made
  // The recording made here whose file takes its later parts at its end, and its change after
  // them; 0 once an append to it failed.
  std::uint64_t appending_ = 0;
  // The changes ReadAll read, with the file each was read from: a change file is never written in
  // place, so one whose file has the same identity and size is as read.
  struct Known {
    FileInfo file;
    Stored stored;
  };
  std::map<std::uint64_t, Known> known_;
};

}  // namespace barvane
