// The packing of the bytes the history keeps: zstd where the build has it (Debian's libzstd),
// else the bytes as they are. Every packed string carries its method, so a store written with
// zstd is refused only by a build without it, and one written without it is read everywhere.
#pragma once

#include <cstdint>

#include "data/file_ops.h"

namespace barvane {

enum class Packing : std::uint8_t { kNone = 0, kZstd = 1 };

// `bytes` packed by the best method of this build; `*packing` says which.
Bytes Pack(const Bytes& bytes, Packing* packing);

// Bytes as Pack made them, with the length they unpack to.
struct PackedState {
  std::uint64_t length = 0;
  Packing packing = Packing::kNone;
  Bytes bytes;
};

// What Pack made of `length` bytes, from `size` bytes at `data`. False when the data is damaged,
// unpacks to another length, `length` exceeds kLargestWholeRead, or this build lacks the method.
[[nodiscard]] bool Unpack(Packing packing, const std::uint8_t* data, std::size_t size, std::uint64_t length,
                          Bytes* bytes);

}  // namespace barvane
