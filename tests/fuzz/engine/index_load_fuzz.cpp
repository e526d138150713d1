// Any bytes as an index file: refused with a reason or loaded into a catalogue that answers
// queries; never a crash, never a read out of bounds. What loads is exactly what a build makes of
// the same entries, so a file cannot smuggle in tables the rest of the engine would not make.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/base_index.h"
#include "engine/index_file.h"
#include "engine/query.h"
#include "engine/query_eval.h"
#include "engine/snapshot.h"

namespace {

using namespace nuv::engine;

// The checksum would stop nearly every mutation at the door; with the first byte odd, the rest
// gets a corrected size and checksum so the structure checks behind it are reached too.
std::string Prepare(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1) && bytes.size() >= kHeaderSize) {
        const std::uint64_t payloadSize = bytes.size() - kHeaderSize;
        std::memcpy(bytes.data() + kPayloadSizeOffset, &payloadSize, 8);
        const std::uint64_t checksum = IndexFileChecksum(bytes);
        std::memcpy(bytes.data() + kChecksumOffset, &checksum, 8);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string bytes = Prepare(data, size);
    std::string error;
    auto base = DecodeIndexFile(bytes, &error);
    if (!base) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    const auto snapshot = Snapshot::FromBase(base);
    const auto rebuilt = BaseIndex::Build(snapshot->Flatten(), &error);
    if (!rebuilt || EncodeIndexFile(*rebuilt) != EncodeIndexFile(*base)) __builtin_trap();
    std::string folder;
    for (const char* query : {"", "a", "a\\", "*.?"}) {
        const auto results = EvaluateQuery(*snapshot, ParseQuery(query));
        for (std::size_t row = 0; row < results.Size(); ++row) {
            folder.clear();
            snapshot->AppendFolderPath(results.At(row), folder);
        }
    }
    return 0;
}
