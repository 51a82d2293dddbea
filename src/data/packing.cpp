// zstd packing, where the build has it.
#include "data/packing.h"

#include <cstring>

#ifdef BARVANE_ZSTD
#include <zstd.h>
#endif

namespace barvane {
namespace {

#ifdef BARVANE_ZSTD
// Quote files halve even at zstd's fastest levels; the higher ones cost more time than they save
// disk.
constexpr int kZstdLevel = 1;
#endif

}  // namespace

Bytes Pack(const Bytes& bytes, Packing* packing) {
#ifdef BARVANE_ZSTD
  Bytes packed(ZSTD_compressBound(bytes.size()));
  const std::size_t size = ZSTD_compress(packed.data(), packed.size(), bytes.data(), bytes.size(), kZstdLevel);
  if (!ZSTD_isError(size)) {
    packed.resize(size);
    *packing = Packing::kZstd;
    return packed;
  }
#endif
  *packing = Packing::kNone;
  return bytes;
}

bool Unpack(Packing packing, const std::uint8_t* data, std::size_t size, std::uint64_t length, Bytes* bytes) {
  bytes->clear();
  if (length > kLargestWholeRead) return false;
  if (packing == Packing::kNone) {
    if (size != length) return false;
    bytes->assign(data, data + size);
    return true;
  }
#ifdef BARVANE_ZSTD
  if (packing == Packing::kZstd) {
    bytes->resize(static_cast<std::size_t>(length));
    const std::size_t got = ZSTD_decompress(bytes->data(), bytes->size(), data, size);
    if (!ZSTD_isError(got) && got == length) return true;
    bytes->clear();
  }
#endif
  return false;
}

}  // namespace barvane
