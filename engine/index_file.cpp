#include "engine/index_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <thread>

#include "engine/file_io.h"

namespace nuv::engine {
namespace {

static_assert(std::endian::native == std::endian::little, "the index file is written in memory order");

struct Section {
    std::uint64_t offset;
    std::uint64_t size;
};

struct Header {
    char magic[8];
    std::uint32_t version;
    std::uint32_t headerSize;
    std::uint64_t payloadSize;
    std::uint64_t checksum;
    std::uint32_t volumeCount;
    std::uint32_t entryCount;
    Section sections[kSectionCount];
    std::uint64_t reserved[1];
};
static_assert(sizeof(Header) == kHeaderSize);
static_assert(offsetof(Header, payloadSize) == kPayloadSizeOffset &&
              offsetof(Header, checksum) == kChecksumOffset &&
              offsetof(Header, sections) == kSectionTableOffset);
static_assert(static_cast<std::uint32_t>(IndexSection::kChildrenStarts) + 1 == kSectionCount);
static_assert(kHeaderSize % kSectionAlignment == 0);

template <typename T> void Put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof(T));
}

// Every section's bytes as the index holds them, in file order.
std::array<std::string_view, kSectionCount> SectionBytes(const BaseIndexArrays& a, std::string_view volumes) {
    const auto bytes = [](auto view) {
        return std::string_view(reinterpret_cast<const char*>(view.data()), view.size() * sizeof(view[0]));
    };
    return {volumes,
            a.names,
            bytes(a.nameStarts),
            a.folded,
            bytes(a.foldedStarts),
            bytes(a.parents),
            bytes(a.folderBits),
            bytes(a.foldersBefore),
            a.folderFolded,
            bytes(a.folderFoldedStarts),
            bytes(a.folderEntries),
            bytes(a.children),
            bytes(a.childrenStarts)};
}

std::string Join(const std::vector<std::string_view>& pieces) {
    std::string joined;
    for (const std::string_view piece : pieces)
        joined.append(piece);
    return joined;
}

bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
}

std::shared_ptr<const BaseIndex> Refuse(std::string* error, const char* why) {
    Fail(error, why);
    return nullptr;
}

bool DecodeVolumes(std::string_view bytes, std::uint32_t count, std::vector<std::string>& volumes) {
    for (std::uint32_t v = 0; v < count; ++v) {
        std::uint32_t length = 0;
        if (bytes.size() < sizeof(length)) return false;
        std::memcpy(&length, bytes.data(), sizeof(length));
        bytes.remove_prefix(sizeof(length));
        if (length > bytes.size()) return false;
        volumes.emplace_back(bytes.substr(0, length));
        bytes.remove_prefix(length);
    }
    return bytes.empty();
}

std::uint64_t Rotate(std::uint64_t x, int bits) {
    return (x << bits) | (x >> (64 - bits));
}

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull, kPrime2 = 0xC2B2AE3D27D4EB4Full;

// Four independent lanes of multiply-rotate keep the checksum near memory speed, so verifying a
// large index adds little to its load time. Not a defence against tampering; the file is
// per-user and merely has to be recognised as damaged. Fed piece by piece, it gives what one
// pass over the joined pieces gives, so a file's own checksum field can be left out.
class Checksum {
public:
    void Add(std::string_view bytes) {
        if (bytes.empty()) return; // an empty piece may have no buffer to copy from
        total_ += bytes.size();
        if (pendingSize_ > 0) {
            const std::size_t taken = std::min(bytes.size(), kBlock - pendingSize_);
            std::memcpy(pending_ + pendingSize_, bytes.data(), taken);
            pendingSize_ += taken;
            bytes.remove_prefix(taken);
            if (pendingSize_ < kBlock) return;
            AddBlock(pending_);
            pendingSize_ = 0;
        }
        for (; bytes.size() >= kBlock; bytes.remove_prefix(kBlock))
            AddBlock(bytes.data());
        std::memcpy(pending_, bytes.data(), bytes.size());
        pendingSize_ = bytes.size();
    }

    std::uint64_t Finish() const {
        std::uint64_t hash =
            Rotate(lanes_[0], 1) + Rotate(lanes_[1], 7) + Rotate(lanes_[2], 12) + Rotate(lanes_[3], 18);
        for (std::size_t i = 0; i < pendingSize_; ++i)
            hash = Rotate(hash ^ (static_cast<unsigned char>(pending_[i]) * kPrime1), 11) * kPrime2;
        hash ^= total_ * kPrime1;
        hash ^= hash >> 33;
        hash *= kPrime2;
        return hash ^ (hash >> 29);
    }

private:
    static constexpr std::size_t kBlock = 32;

    void AddBlock(const char* block) {
        for (int l = 0; l < 4; ++l) {
            std::uint64_t word;
            std::memcpy(&word, block + 8 * l, 8);
            lanes_[l] = Rotate(lanes_[l] + word * kPrime2, 31) * kPrime1;
        }
    }

    std::uint64_t lanes_[4] = {kPrime1, kPrime2, ~kPrime1, ~kPrime2};
    char pending_[kBlock] = {};
    std::size_t pendingSize_ = 0;
    std::uint64_t total_ = 0;
};

// Checks the header against the file's size: every section lies inside the payload, aligned, in
// order and apart, so that viewing it as its array can read nothing outside the file.
bool CheckHeader(const Header& header, std::uint64_t fileSize, std::string* error) {
    if (header.headerSize != kHeaderSize) return Fail(error, "index file header of the wrong size");
    if (header.payloadSize != fileSize - kHeaderSize) return Fail(error, "index file truncated or extended");
    std::uint64_t end = kHeaderSize;
    for (const Section& section : header.sections) {
        if (section.offset % kSectionAlignment != 0 || section.offset < end || section.offset > fileSize ||
            section.size > fileSize - section.offset)
            return Fail(error, "index file sections do not fit its size");
        end = section.offset + section.size;
    }
    return true;
}

template <typename T> bool ViewArray(std::string_view bytes, ArrayView<T>& view) {
    if (bytes.size() % sizeof(T) != 0) return false;
    view = ArrayView<T>(reinterpret_cast<const T*>(bytes.data()), bytes.size() / sizeof(T));
    return true;
}

// Views the arrays where they lie in `file`; the sizes are checked against each other later.
bool ViewSections(const Header& header, std::string_view file, BaseIndexArrays& a,
                  std::string_view& volumes) {
    std::array<std::string_view, kSectionCount> s;
    for (std::uint32_t k = 0; k < kSectionCount; ++k)
        s[k] = file.substr(header.sections[k].offset, header.sections[k].size);
    using S = IndexSection;
    const auto at = [&](S section) { return s[static_cast<std::uint32_t>(section)]; };
    volumes = at(S::kVolumes);
    a.names = at(S::kNames);
    a.folded = at(S::kFolded);
    a.folderFolded = at(S::kFolderFolded);
    return ViewArray(at(S::kNameStarts), a.nameStarts) && ViewArray(at(S::kFoldedStarts), a.foldedStarts) &&
           ViewArray(at(S::kParents), a.parents) && ViewArray(at(S::kFolderBits), a.folderBits) &&
           ViewArray(at(S::kFoldersBefore), a.foldersBefore) &&
           ViewArray(at(S::kFolderFoldedStarts), a.folderFoldedStarts) &&
           ViewArray(at(S::kFolderEntries), a.folderEntries) && ViewArray(at(S::kChildren), a.children) &&
           ViewArray(at(S::kChildrenStarts), a.childrenStarts);
}

// Everything after the header's own checks but the checksum.
std::shared_ptr<const BaseIndex> AdoptSections(const Header& header, std::string_view file,
                                               std::shared_ptr<const void> storage, std::string* error) {
    BaseIndexArrays arrays;
    std::string_view volumeBytes;
    std::vector<std::string> volumes;
    if (!ViewSections(header, file, arrays, volumeBytes))
        return Refuse(error, "index file section of odd size");
    if (!DecodeVolumes(volumeBytes, header.volumeCount, volumes))
        return Refuse(error, "index file volume list damaged");
    if (arrays.parents.size() != header.entryCount) return Refuse(error, "index file counts disagree");
    auto index = BaseIndex::Adopt(arrays, std::move(volumes), std::move(storage), error);
    if (!index && error) *error = "index file damaged: " + *error;
    return index;
}

// `file` lies in memory that `storage` keeps alive, at an address aligned for any integer.
std::shared_ptr<const BaseIndex> Decode(std::string_view file, std::shared_ptr<const void> storage,
                                        std::string* error) {
    // The magic and version first: a file of an older layout is told apart from a damaged one
    // whatever its size.
    Header header{};
    if (file.empty()) return Refuse(error, "index file empty"); // may have no bytes to copy from
    std::memcpy(&header, file.data(), std::min(file.size(), sizeof(Header)));
    if (file.size() < sizeof(kMagic) || std::memcmp(header.magic, kMagic, sizeof(kMagic)) != 0)
        return Refuse(error, "not an index file");
    if (file.size() < offsetof(Header, headerSize))
        return Refuse(error, "index file too short for its header");
    if (header.version != kVersion) return Refuse(error, "index file of another version");
    if (file.size() < sizeof(Header)) return Refuse(error, "index file too short for its header");
    if (!CheckHeader(header, file.size(), error)) return nullptr;
    // The checksum and the checks of the structure each read the whole file, and on these
    // machines the first read of each page in a process is what a load mostly waits for: on a
    // large file they run side by side. The checks are safe on any bytes, so they need not wait;
    // a mismatch of the checksum still decides the verdict.
    constexpr std::size_t kWorthASecondThread = 1 << 22;
    std::uint64_t checksum = 0;
    std::jthread summing;
    if (file.size() >= kWorthASecondThread)
        summing = std::jthread([&] { checksum = IndexFileChecksum(file); });
    else
        checksum = IndexFileChecksum(file);
    std::string why;
    // A copy: `storage` must outlive the summing even when the index is refused and drops its own.
    auto index = AdoptSections(header, file, storage, &why);
    if (summing.joinable()) summing.join();
    if (checksum != header.checksum) return Refuse(error, "index file checksum mismatch");
    if (!index && error) *error = why;
    return index;
}

} // namespace

std::uint64_t IndexFileChecksum(std::string_view file) {
    Checksum checksum;
    checksum.Add(file.substr(0, kChecksumOffset));
    checksum.Add(file.substr(kChecksumOffset + sizeof(std::uint64_t)));
    return checksum.Finish();
}

std::vector<std::string_view> IndexFilePieces(const BaseIndex& index, std::string& head) {
    std::vector<std::string> volumes;
    for (std::uint32_t v = 0; v < index.VolumeCount(); ++v)
        volumes.push_back(index.VolumeName(v));
    return IndexFilePieces(index.Arrays(), volumes, head);
}

std::vector<std::string_view> IndexFilePieces(const BaseIndexArrays& arrays,
                                              const std::vector<std::string>& volumeNames,
                                              std::string& head) {
    static constexpr char kZeros[kSectionAlignment] = {};
    head.assign(kHeaderSize, '\0');
    for (const std::string& v : volumeNames) {
        Put(head, static_cast<std::uint32_t>(v.size()));
        head.append(v);
    }
    // `head` holds all it ever will: the views below stay valid.
    const auto sections = SectionBytes(arrays, std::string_view(head).substr(kHeaderSize));

    Header header{};
    std::memcpy(header.magic, kMagic, sizeof(kMagic));
    header.version = kVersion;
    header.headerSize = kHeaderSize;
    header.volumeCount = static_cast<std::uint32_t>(volumeNames.size());
    header.entryCount = static_cast<std::uint32_t>(arrays.parents.size());
    std::vector<std::string_view> pieces{std::string_view(head).substr(0, kHeaderSize)};
    std::uint64_t end = kHeaderSize;
    for (std::uint32_t k = 0; k < kSectionCount; ++k) {
        const std::uint64_t offset = (end + kSectionAlignment - 1) / kSectionAlignment * kSectionAlignment;
        header.sections[k] = {offset, sections[k].size()};
        pieces.emplace_back(kZeros, static_cast<std::size_t>(offset - end));
        pieces.push_back(sections[k]);
        end = offset + sections[k].size();
    }
    header.payloadSize = end - kHeaderSize;
    std::memcpy(head.data(), &header, sizeof(header));

    // As IndexFileChecksum over the joined pieces, which need not be joined for it.
    Checksum checksum;
    checksum.Add(pieces[0].substr(0, kChecksumOffset));
    checksum.Add(pieces[0].substr(kChecksumOffset + sizeof(std::uint64_t)));
    for (std::size_t p = 1; p < pieces.size(); ++p)
        checksum.Add(pieces[p]);
    const std::uint64_t sum = checksum.Finish();
    std::memcpy(head.data() + kChecksumOffset, &sum, sizeof(sum));
    return pieces;
}

std::string EncodeIndexFile(const BaseIndex& index) {
    std::string head;
    return Join(IndexFilePieces(index, head));
}

std::string EncodeIndexFile(const BaseIndexArrays& arrays, const std::vector<std::string>& volumes) {
    std::string head;
    return Join(IndexFilePieces(arrays, volumes, head));
}

std::shared_ptr<const BaseIndex> DecodeIndexFile(std::string_view bytes, std::string* error) {
    // Whole words, so the copy is aligned as a mapped file would be.
    std::shared_ptr<std::uint64_t[]> copy(new std::uint64_t[bytes.size() / 8 + 1]);
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    return Decode(std::string_view(reinterpret_cast<const char*>(copy.get()), bytes.size()), copy, error);
}

std::shared_ptr<const BaseIndex> LoadIndexFile(const std::string& path, std::string* error) {
    auto file = std::make_shared<FileBytes>();
    if (!file->Open(path, error)) return nullptr;
    const std::string_view bytes = file->Bytes();
    return Decode(bytes, std::move(file), error);
}

} // namespace nuv::engine
