#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nuv::engine {

// The engine's only contact with the operating system. Paths are UTF-8 on every platform.

// Writes `bytes` to "<path>.tmp", flushes it to the disk, then renames it over `path`, so that a
// process killed at any instant leaves either the old file or the new one, never a torn one.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* error);

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error);

// A file read front to back in pieces, so that a caller can place each piece where it belongs
// instead of copying it out of one whole-file buffer. Closed when destroyed.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool Open(const std::string& path, std::string* error);
    bool Size(std::uint64_t& size, std::string* error) const;
    // Reads until `size` bytes or the end of the file; `done` says how many arrived.
    bool Read(char* dest, std::size_t size, std::size_t& done, std::string* error);

private:
    std::intptr_t handle_ = -1; // a file descriptor, or a HANDLE; -1 is invalid for both
};

} // namespace nuv::engine
