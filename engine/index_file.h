#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base_index.h"

namespace nuv::engine {

// The index file: one header, then every array of a BaseIndex exactly as the index holds it, so
// that a load uses the file's bytes in place: no copy, no sort, no folding, no derived table to
// rebuild. All integers are little-endian.
//
//   header (kHeaderSize bytes)
//     magic        8 bytes  kMagic: tells our file from any other
//     version      u32      kVersion: the layout below; any other version is refused (and the
//                           service then rebuilds the index by scanning)
//     headerSize   u32      kHeaderSize: where the payload starts
//     payloadSize  u64      bytes after the header; a shorter or longer file is torn or foreign
//     checksum     u64      IndexFileChecksum: every byte of the file but this field; catches
//                           flipped or zeroed bytes anywhere, the section table included
//     volumeCount  u32      number of volumes
//     entryCount   u32      number of entries
//     sections     kSectionCount times { offset u64, size u64 }: where each section lies in the
//                           file, in the order of IndexSection; offsets are multiples of
//                           kSectionAlignment and ascending, sections do not overlap
//     reserved     zero up to kHeaderSize; room for later fields
//   payload: the sections, each padded with zero bytes up to the next aligned offset
//     volumes             volumeCount times: u32 length, that many bytes of UTF-8
//     names               every name, UTF-8 (or WTF-8), packed without separators
//     nameStarts          (entryCount + 1) u32: entry i's name is names[nameStarts[i], nameStarts[i+1])
//     folded              every case-folded name, each followed by a zero byte
//     foldedStarts        (entryCount + 1) u32, as nameStarts, each span taking its zero byte
//     parents             entryCount u32: an entry index, or 0x80000000 | volume index
//     folderBits          ceil(entryCount / 64) u64: bit i % 64 of word i / 64 marks a folder
//     foldersBefore       one u32 per folderBits word: the folders before it; then the total F
//     folderFolded        the folded names of the F folders, each followed by a zero byte
//     folderFoldedStarts  (F + 1) u32
//     folderEntries       F u32: the entry of each folder number
//     children            entryCount u32: every entry, ordered by (parent, index)
//     childrenStarts      (F + volumeCount + 1) u32: where each parent's run in children
//                         starts: folders by number, then volumes, then the end
// Entries are in result order (see BaseIndex). The loader checks all of it, not only the
// checksum, before a query reads a byte (BaseIndex::Adopt).
inline constexpr char kMagic[8] = {'N', 'U', 'V', 'I', 'N', 'D', 'E', 'X'};
inline constexpr std::uint32_t kVersion = 2;
inline constexpr std::uint32_t kHeaderSize = 256;
// A cache line: every array starts aligned for its integers, whatever their size.
inline constexpr std::uint64_t kSectionAlignment = 64;

enum class IndexSection : std::uint32_t {
    kVolumes,
    kNames,
    kNameStarts,
    kFolded,
    kFoldedStarts,
    kParents,
    kFolderBits,
    kFoldersBefore,
    kFolderFolded,
    kFolderFoldedStarts,
    kFolderEntries,
    kChildren,
    kChildrenStarts,
};
inline constexpr std::uint32_t kSectionCount = 13;
// Where the header keeps the payload size, the checksum and the section table.
inline constexpr std::size_t kPayloadSizeOffset = 16;
inline constexpr std::size_t kChecksumOffset = 24;
inline constexpr std::size_t kSectionTableOffset = 40;

// The file as pieces to write one after another: the header, the volume list and padding, which
// it places in `head` (to be kept alive and unchanged while the pieces are used), and the
// index's arrays, viewed where the index holds them, so that a save copies none of them.
std::vector<std::string_view> IndexFilePieces(const BaseIndex& index, std::string& head);
// The same for whatever arrays it is given; a loader refuses any that a build would not make.
std::vector<std::string_view> IndexFilePieces(const BaseIndexArrays& arrays,
                                              const std::vector<std::string>& volumes, std::string& head);
// The pieces joined.
std::string EncodeIndexFile(const BaseIndex& index);
std::string EncodeIndexFile(const BaseIndexArrays& arrays, const std::vector<std::string>& volumes);

// Checks everything the header promises, the checksum, then the whole structure, before a
// byte of the payload is trusted; fails with a reason. The bytes are copied.
std::shared_ptr<const BaseIndex> DecodeIndexFile(std::string_view bytes, std::string* error);
// The same for a file on disk, whose bytes the index then uses where they lie (see FileBytes).
std::shared_ptr<const BaseIndex> LoadIndexFile(const std::string& path, std::string* error);

// The checksum of a whole file of at least kHeaderSize bytes, its checksum field left out.
std::uint64_t IndexFileChecksum(std::string_view file);

} // namespace nuv::engine
