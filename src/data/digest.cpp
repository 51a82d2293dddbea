// BLAKE2b as RFC 7693 gives it, and the store's checksum.
#include "data/digest.h"

#include <bit>
#include <cstring>

namespace barvane {
namespace {

constexpr std::uint64_t kIv[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b, 0xa54ff53a5f1d36f1,
                                  0x510e527fade682d1, 0x9b05688c2b3e6c1f, 0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};

constexpr std::uint8_t kSigma[12][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4}, {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13}, {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11}, {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5}, {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
};

std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t value = 0;
  // Compilers leave the loop a byte at a time, which made the checksum cost more than the copy.
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&value, p, sizeof value);
  } else {
    for (int i = 7; i >= 0; --i) value = (value << 8) | p[i];
  }
  return value;
}

void Mix(std::uint64_t* v, int a, int b, int c, int d, std::uint64_t x, std::uint64_t y) {
  v[a] += v[b] + x;
  v[d] = std::rotr(v[d] ^ v[a], 32);
  v[c] += v[d];
  v[b] = std::rotr(v[b] ^ v[c], 24);
  v[a] += v[b] + y;
  v[d] = std::rotr(v[d] ^ v[a], 16);
  v[c] += v[d];
  v[b] = std::rotr(v[b] ^ v[c], 63);
}

void Compress(std::uint64_t* h, const std::uint8_t* block, std::uint64_t counted, bool last) {
  std::uint64_t m[16], v[16];
  for (int i = 0; i < 16; ++i) m[i] = Load64(block + 8 * i);
  for (int i = 0; i < 8; ++i) {
    v[i] = h[i];
    v[i + 8] = kIv[i];
  }
  v[12] ^= counted;  // the high word of the count stays zero below 2^64 bytes
  if (last) v[14] = ~v[14];
  for (const auto& s : kSigma) {
    Mix(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
    Mix(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
    Mix(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
    Mix(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
    Mix(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
    Mix(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
    Mix(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
    Mix(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
  }
  for (int i = 0; i < 8; ++i) h[i] ^= v[i] ^ v[i + 8];
}

}  // namespace

Digest StrongDigest(const std::uint8_t* data, std::size_t size) {
  std::uint64_t h[8];
  std::memcpy(h, kIv, sizeof h);
  h[0] ^= 0x01010000 ^ Digest().size();
  std::uint64_t counted = 0;
  // Every block but the last is compressed as it comes; the last is marked as such.
  while (size > 128) {
    counted += 128;
    Compress(h, data, counted, false);
    data += 128;
    size -= 128;
  }
  std::uint8_t last[128] = {};
  if (size > 0) std::memcpy(last, data, size);
  Compress(h, last, counted + size, true);
  Digest digest;
  for (std::size_t i = 0; i < digest.size(); ++i) digest[i] = static_cast<std::uint8_t>(h[i / 8] >> (8 * (i % 8)));
  return digest;
}

std::uint64_t Checksum(const std::uint8_t* data, std::size_t size) {
  constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15, kOther = 0xC2B2AE3D27D4EB4F;
  std::uint64_t lanes[4] = {size, kOdd, kOther, 1};
  std::size_t at = 0;
  for (; at + 32 <= size; at += 32) {
    for (int l = 0; l < 4; ++l) lanes[l] = std::rotl((lanes[l] ^ Load64(data + at + 8 * l)) * kOdd, 29) * kOther;
  }
  std::uint64_t sum = lanes[0] ^ std::rotl(lanes[1], 7) ^ std::rotl(lanes[2], 17) ^ std::rotl(lanes[3], 41);
  for (; at < size; ++at) sum = (sum ^ data[at]) * kOdd;
  return sum ^ (sum >> 31);
}

}  // namespace barvane
