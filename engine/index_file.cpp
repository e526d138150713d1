#include "engine/index_file.h"

#include <bit>
#include <cstring>

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

// Reads sized pieces from the payload, refusing any read past its end.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool Take(std::size_t size, std::string_view& piece) {
        if (size > bytes_.size() - at_) return false;
        piece = bytes_.substr(at_, size);
        at_ += size;
        return true;
    }
    template <typename T> bool TakeArray(std::size_t count, std::vector<T>& values) {
        std::string_view piece;
        if (count > (bytes_.size() - at_) / sizeof(T) || !Take(count * sizeof(T), piece)) return false;
        values.resize(count);
        if (count > 0)
            std::memcpy(values.data(), piece.data(), piece.size()); // an empty vector may have no data
        return true;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
}

bool DecodeVolumes(std::string_view bytes, std::uint32_t count, std::vector<std::string>& volumes) {
    Reader reader(bytes);
    for (std::uint32_t v = 0; v < count; ++v) {
        std::vector<std::uint32_t> length;
        std::string_view name;
        if (!reader.TakeArray(1, length) || !reader.Take(length[0], name)) return false;
        volumes.emplace_back(name);
    }
    return reader.AtEnd();
}

std::uint64_t Rotate(std::uint64_t x, int bits) {
    return (x << bits) | (x >> (64 - bits));
}

} // namespace

// Four independent lanes of multiply-rotate keep the checksum near memory speed, so verifying a
// large index adds little to its load time. Not a defence against tampering; the file is
// per-user and merely has to be recognised as damaged.
std::uint64_t IndexChecksum(std::string_view bytes) {
    constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull, kPrime2 = 0xC2B2AE3D27D4EB4Full;
    std::uint64_t lanes[4] = {kPrime1, kPrime2, ~kPrime1, ~kPrime2};
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    for (; left >= 32; p += 32, left -= 32) {
        for (int l = 0; l < 4; ++l) {
            std::uint64_t word;
            std::memcpy(&word, p + 8 * l, 8);
            lanes[l] = Rotate(lanes[l] + word * kPrime2, 31) * kPrime1;
        }
    }
    std::uint64_t hash =
        Rotate(lanes[0], 1) + Rotate(lanes[1], 7) + Rotate(lanes[2], 12) + Rotate(lanes[3], 18);
    for (; left > 0; ++p, --left)
        hash = Rotate(hash ^ (static_cast<unsigned char>(*p) * kPrime1), 11) * kPrime2;
    hash ^= bytes.size() * kPrime1;
    hash ^= hash >> 33;
    hash *= kPrime2;
    return hash ^ (hash >> 29);
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
    Header header{};
    if (bytes.size() < sizeof(Header)) return Fail(error, "index file too short for its header");
    std::memcpy(&header, bytes.data(), sizeof(Header));
    if (std::memcmp(header.magic, kMagic, sizeof(kMagic)) != 0) return Fail(error, "not an index file");
    if (header.version != kVersion) return Fail(error, "index file of another version");
    if (header.headerSize != kHeaderSize) return Fail(error, "index file header of the wrong size");
    const std::string_view payload = bytes.substr(kHeaderSize);
    if (header.payloadSize != payload.size()) return Fail(error, "index file truncated or extended");
    if (IndexChecksum(payload) != header.checksum) return Fail(error, "index file checksum mismatch");
    if (header.entryCount > kMaxEntries || header.volumeCount > kMaxEntries)
        return Fail(error, "index file counts out of range");

    RawTree decoded;
    Reader reader(payload);
    std::string_view volumeBytes, names;
    const std::size_t entries = header.entryCount;
    if (!reader.Take(header.volumeBytes, volumeBytes) ||
        !DecodeVolumes(volumeBytes, header.volumeCount, decoded.volumes))
        return Fail(error, "index file volume list damaged");
    if (!reader.TakeArray(entries + 1, decoded.nameStarts) || !reader.TakeArray(entries, decoded.parents) ||
        !reader.TakeArray((entries + 63) / 64, decoded.folderBits) || !reader.Take(header.nameBytes, names) ||
        !reader.AtEnd())
        return Fail(error, "index file sections do not fit its size");
    decoded.names.assign(names);
    tree = std::move(decoded);
    return true;
}

} // namespace nuv::engine
