#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/raw_tree.h"

namespace nuv::engine {

// The index file: one header, then the catalogue's entries in result order, so that loading needs
// no sort. All integers are little-endian.
//
//   header (kHeaderSize bytes)
//     magic        8 bytes  kMagic: tells our file from any other
//     version      u32      kVersion: the layout below; any other version is refused
//     headerSize   u32      kHeaderSize: where the payload starts
//     payloadSize  u64      bytes after the header; a shorter or longer file is torn or foreign
//     checksum     u64      IndexChecksum of the payload; catches flipped or zeroed bytes
//     volumeCount  u32      number of volumes
//     entryCount   u32      number of entries
//     volumeBytes  u64      size of the volume list
//     nameBytes    u64      size of the packed names
//     reserved     u64 * 2  zero; room for later fields (sizes, modification times)
//   payload
//     volumes      volumeCount times: u32 length, that many bytes of UTF-8
//     nameStarts   (entryCount + 1) u32: entry i's name is names[nameStarts[i], nameStarts[i+1])
//     parents      entryCount u32: an entry index, or 0x80000000 | volume index
//     folderBits   ceil(entryCount / 64) u64: bit i % 64 of word i / 64 marks a folder
//     names        nameBytes bytes: every name, UTF-8 (or WTF-8), packed without separators
inline constexpr char kMagic[8] = {'N', 'U', 'V', 'I', 'N', 'D', 'E', 'X'};
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::uint32_t kHeaderSize = 72;

std::string EncodeIndexFile(const RawTree& tree);

// Checks everything the header promises before trusting a byte of the payload; the structure of
// the entries (parents, cycles) is checked by the index build that follows.
bool DecodeIndexFile(std::string_view bytes, RawTree& tree, std::string* error);
// The same for a file on disk, read section by section straight into the tree's arrays.
bool ReadIndexFile(const std::string& path, RawTree& tree, std::string* error);

std::uint64_t IndexChecksum(std::string_view bytes);

} // namespace nuv::engine
