// Digests of byte strings: a strong one that tells whether a file still holds the bytes a change
// left there (BLAKE2b with a 32-byte result), and a fast checksum that tells a store file cut
// short or torn by a crash from a whole one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace barvane {

using Digest = std::array<std::uint8_t, 32>;

// BLAKE2b-256 of `size` bytes at `data`.
Digest StrongDigest(const std::uint8_t* data, std::size_t size);

// A 64-bit checksum of `size` bytes at `data`: no defence against a crafted file, only against
// a torn one, at the speed of a copy.
std::uint64_t Checksum(const std::uint8_t* data, std::size_t size);

}  // namespace barvane
