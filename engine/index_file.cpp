#include "engine/index_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/file_io.h"

namespace nuv::engine {
namespace {

static_assert(std::endian::native == std::endian::little, "the index file is written in memory order");

struct Header {
    char magic[8];
    std::uint32_t version;
    std::uint32_t headerSize;
    std::uint64_t payloadSize;
    std::uint64_t checksum;
    std::uint32_t volumeCount;
    std::uint32_t entryCount;
    std::uint64_t volumeBytes;
    std::uint64_t nameBytes;
    std::uint64_t reserved[2];
};
static_assert(sizeof(Header) == kHeaderSize);

template <typename T> void Put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof(T));
}

template <typename T> void PutArray(std::string& out, const std::vector<T>& values) {
    out.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
}

bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
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
// pass over the joined pieces gives, so each section is checked while it is still in cache.
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

// Where the payload comes from: a file read piece by piece, or bytes already in memory.
class Source {
public:
    virtual ~Source() = default;
    // Fills `dest` completely or fails with a reason.
    virtual bool Read(char* dest, std::size_t size, std::string* error) = 0;
};

class MemorySource : public Source {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    bool Read(char* dest, std::size_t size, std::string* error) override {
        if (size > bytes_.size()) return Fail(error, "index file truncated or extended");
        if (size > 0) std::memcpy(dest, bytes_.data(), size); // an empty section may have no buffer
        bytes_.remove_prefix(size);
        return true;
    }

private:
    std::string_view bytes_;
};

class FileSource : public Source {
public:
    explicit FileSource(InputFile& file) : file_(file) {}
    bool Read(char* dest, std::size_t size, std::string* error) override {
        std::size_t done = 0;
        if (!file_.Read(dest, size, done, error)) return false;
        return done == size || Fail(error, "index file truncated or extended");
    }

private:
    InputFile& file_;
};

// Reads one section into its place, checksumming it a piece at a time while the piece is still
// in cache.
bool ReadSection(Source& source, Checksum& checksum, char* dest, std::size_t size, std::string* error) {
    constexpr std::size_t kPiece = 1 << 20;
    for (std::size_t at = 0; at < size; at += kPiece) {
        const std::size_t piece = std::min(kPiece, size - at);
        if (!source.Read(dest + at, piece, error)) return false;
        checksum.Add(std::string_view(dest + at, piece));
    }
    return true;
}

template <typename T>
bool ReadArray(Source& source, Checksum& checksum, std::size_t count, std::vector<T>& values,
               std::string* error) {
    values.resize(count);
    return ReadSection(source, checksum, reinterpret_cast<char*>(values.data()), count * sizeof(T), error);
}

// Checks everything the header promises before allocating a byte for the payload: every
// section's size follows from the counts, and together they fill the file exactly, so no
// allocation can exceed the file's own size.
bool CheckHeader(const Header& header, std::uint64_t fileSize, std::string* error) {
    if (std::memcmp(header.magic, kMagic, sizeof(kMagic)) != 0) return Fail(error, "not an index file");
    if (header.version != kVersion) return Fail(error, "index file of another version");
    if (header.headerSize != kHeaderSize) return Fail(error, "index file header of the wrong size");
    if (header.payloadSize != fileSize - kHeaderSize) return Fail(error, "index file truncated or extended");
    if (header.entryCount > kMaxEntries || header.volumeCount > kMaxEntries)
        return Fail(error, "index file counts out of range");
    const std::uint64_t entries = header.entryCount;
    const std::uint64_t arrayBytes = 4 * (entries + 1) + 4 * entries + 8 * ((entries + 63) / 64);
    const std::uint64_t payload = header.payloadSize;
    if (header.volumeBytes > payload || header.nameBytes > payload || arrayBytes > payload ||
        header.volumeBytes + header.nameBytes + arrayBytes != payload)
        return Fail(error, "index file sections do not fit its size");
    return true;
}

bool Decode(Source& source, std::uint64_t fileSize, RawTree& tree, std::string* error) {
    Header header{};
    if (fileSize < sizeof(Header)) return Fail(error, "index file too short for its header");
    if (!source.Read(reinterpret_cast<char*>(&header), sizeof(Header), error) ||
        !CheckHeader(header, fileSize, error))
        return false;

    RawTree decoded;
    Checksum checksum;
    const std::size_t entries = header.entryCount;
    std::string volumeBytes(static_cast<std::size_t>(header.volumeBytes), '\0');
    decoded.names.resize(static_cast<std::size_t>(header.nameBytes));
    if (!ReadSection(source, checksum, volumeBytes.data(), volumeBytes.size(), error) ||
        !ReadArray(source, checksum, entries + 1, decoded.nameStarts, error) ||
        !ReadArray(source, checksum, entries, decoded.parents, error) ||
        !ReadArray(source, checksum, (entries + 63) / 64, decoded.folderBits, error) ||
        !ReadSection(source, checksum, decoded.names.data(), decoded.names.size(), error))
        return false;
    if (checksum.Finish() != header.checksum) return Fail(error, "index file checksum mismatch");
    if (!DecodeVolumes(volumeBytes, header.volumeCount, decoded.volumes))
        return Fail(error, "index file volume list damaged");
    tree = std::move(decoded);
    return true;
}

} // namespace

std::uint64_t IndexChecksum(std::string_view bytes) {
    Checksum checksum;
    checksum.Add(bytes);
    return checksum.Finish();
}

std::string EncodeIndexFile(const RawTree& tree) {
    std::string payload;
    for (const auto& v : tree.volumes) {
        Put(payload, static_cast<std::uint32_t>(v.size()));
        payload.append(v);
    }
    const std::size_t volumeBytes = payload.size();
    PutArray(payload, tree.nameStarts);
    PutArray(payload, tree.parents);
    PutArray(payload, tree.folderBits);
    payload.append(tree.names);

    Header header{};
    std::memcpy(header.magic, kMagic, sizeof(kMagic));
    header.version = kVersion;
    header.headerSize = kHeaderSize;
    header.payloadSize = payload.size();
    header.checksum = IndexChecksum(payload);
    header.volumeCount = static_cast<std::uint32_t>(tree.volumes.size());
    header.entryCount = static_cast<std::uint32_t>(tree.Size());
    header.volumeBytes = volumeBytes;
    header.nameBytes = tree.names.size();
    std::string file;
    file.reserve(kHeaderSize + payload.size());
    Put(file, header);
    file.append(payload);
    return file;
}

bool DecodeIndexFile(std::string_view bytes, RawTree& tree, std::string* error) {
    MemorySource source(bytes);
    return Decode(source, bytes.size(), tree, error);
}

bool ReadIndexFile(const std::string& path, RawTree& tree, std::string* error) {
    InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(path, error) || !file.Size(size, error)) return false;
    FileSource source(file);
    return Decode(source, size, tree, error);
}

} // namespace nuv::engine
