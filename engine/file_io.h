#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace nuv::engine {

// The engine's only contact with the operating system. Paths are UTF-8 on every platform.

// Writes `pieces`, one after another, to "<path>.tmp", flushes it to the disk, then renames it
// over `path`, so that a process killed at any instant leaves either the old file or the new one,
// never a torn one. Pieces spare a caller joining large arrays into one buffer first.
bool ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           std::string* error);
inline bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    return ReplaceFileAtomically(path, std::span<const std::string_view>(&bytes, 1), error);
}

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

// A whole file's bytes, read-only, for as long as the object lives, at an address aligned for any
// integer. On POSIX systems the file is mapped, its pages already in the page cache used as they
// are; a later rename over the file (how the index is saved) leaves the mapping on the old
// contents. On Windows a mapped file cannot be replaced by a rename, which would block every
// later save of the index while it is in use, so the bytes are read into a private block instead,
// in one pass and without zero-filling it first; the file is closed when Open returns.
class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    bool Open(const std::string& path, std::string* error);
    std::string_view Bytes() const { return std::string_view(data_, size_); }

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
#ifdef _WIN32
    std::unique_ptr<std::uint64_t[]> copy_;
#else
    void* mapping_ = nullptr;
#endif
};

} // namespace nuv::engine
