#pragma once
// Little-endian integers in byte strings: the program's own records after
// the set object (set_extension.h, catalog_record.h).

#include <cstdint>
#include <string>
#include <string_view>

// Appends the low size bytes of v, least significant first.
inline void PutLE(std::string& out, std::uint64_t v, int size) {
  for (int i = 0; i < size; ++i) out += char(v >> (8 * i));
}

// The size bytes at at (which the caller has checked are there).
inline std::uint64_t GetLE(std::string_view bytes, std::size_t at, int size) {
  std::uint64_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | std::uint8_t(bytes[at + std::size_t(i)]);
  return v;
}
