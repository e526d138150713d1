#include "engine/file_io.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <memory>

namespace nuv::engine {
namespace {

bool Fail(std::string* error, std::string why) {
    if (error) *error = std::move(why);
    return false;
}

#ifdef _WIN32

std::wstring Widen(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using ScopedHandle = std::unique_ptr<void, HandleCloser>;

ScopedHandle OpenFile(const std::string& path, DWORD access, DWORD disposition) {
    HANDLE h = CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return ScopedHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

std::string LastError(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

} // namespace

bool ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           std::string* error) {
    const std::string temporary = path + ".tmp";
    {
        ScopedHandle file = OpenFile(temporary, GENERIC_WRITE, CREATE_ALWAYS);
        if (!file) return Fail(error, LastError("creating the temporary index file"));
        for (const std::string_view bytes : pieces) {
            std::size_t written = 0;
            while (written < bytes.size()) {
                const DWORD chunk =
                    static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
                DWORD done = 0;
                if (!WriteFile(file.get(), bytes.data() + written, chunk, &done, nullptr) || done == 0)
                    return Fail(error, LastError("writing the index file"));
                written += done;
            }
        }
        if (!FlushFileBuffers(file.get())) return Fail(error, LastError("flushing the index file"));
    }
    if (!MoveFileExW(Widen(temporary).c_str(), Widen(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Fail(error, LastError("renaming the index file into place"));
    return true;
}

InputFile::~InputFile() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool InputFile::Open(const std::string& path, std::string* error) {
    ScopedHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) return Fail(error, LastError("opening the index file"));
    handle_ = reinterpret_cast<std::intptr_t>(file.release());
    return true;
}

bool InputFile::Size(std::uint64_t& size, std::string* error) const {
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &length))
        return Fail(error, LastError("sizing the index file"));
    size = static_cast<std::uint64_t>(length.QuadPart);
    return true;
}

bool InputFile::Read(char* dest, std::size_t size, std::size_t& done, std::string* error) {
    done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(handle_), dest + done, chunk, &got, nullptr))
            return Fail(error, LastError("reading the index file"));
        if (got == 0) break;
        done += got;
    }
    return true;
}

FileBytes::~FileBytes() = default;

bool FileBytes::Open(const std::string& path, std::string* error) {
    InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(path, error) || !file.Size(size, error)) return false;
    copy_.reset(new std::uint64_t[static_cast<std::size_t>(size) / 8 + 1]); // not zero-filled: read over
    std::size_t done = 0;
    if (!file.Read(reinterpret_cast<char*>(copy_.get()), static_cast<std::size_t>(size), done, error))
        return false;
    data_ = reinterpret_cast<const char*>(copy_.get());
    size_ = done; // a file that shrank meanwhile gives what it still has; its header says it is torn
    return true;
}

#else

std::string LastError(const char* what) {
    return std::string(what) + " failed: " + std::strerror(errno);
}

struct Descriptor {
    int fd;
    explicit Descriptor(int d) : fd(d) {}
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

} // namespace

bool ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           std::string* error) {
    const std::string temporary = path + ".tmp";
    {
        Descriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (file.fd < 0) return Fail(error, LastError("creating the temporary index file"));
        for (const std::string_view bytes : pieces) {
            std::size_t written = 0;
            while (written < bytes.size()) {
                const ssize_t done = write(file.fd, bytes.data() + written, bytes.size() - written);
                if (done < 0 && errno == EINTR) continue;
                if (done <= 0) return Fail(error, LastError("writing the index file"));
                written += static_cast<std::size_t>(done);
            }
        }
        if (fsync(file.fd) != 0) return Fail(error, LastError("flushing the index file"));
    }
    if (rename(temporary.c_str(), path.c_str()) != 0)
        return Fail(error, LastError("renaming the index file into place"));
    // The rename itself lives in the folder; flushing it makes the new name survive a power cut.
    Descriptor folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd >= 0) fsync(folder.fd);
    return true;
}

InputFile::~InputFile() {
    if (handle_ != -1) close(static_cast<int>(handle_));
}

bool InputFile::Open(const std::string& path, std::string* error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(error, LastError("opening the index file"));
    handle_ = fd;
    return true;
}

bool InputFile::Size(std::uint64_t& size, std::string* error) const {
    struct stat info {};
    if (fstat(static_cast<int>(handle_), &info) != 0) return Fail(error, LastError("sizing the index file"));
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool InputFile::Read(char* dest, std::size_t size, std::size_t& done, std::string* error) {
    done = 0;
    while (done < size) {
        const ssize_t got = ::read(static_cast<int>(handle_), dest + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Fail(error, LastError("reading the index file"));
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

FileBytes::~FileBytes() {
    if (mapping_) munmap(mapping_, size_);
}

bool FileBytes::Open(const std::string& path, std::string* error) {
    Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0) return Fail(error, LastError("opening the index file"));
    struct stat info {};
    if (fstat(file.fd, &info) != 0) return Fail(error, LastError("sizing the index file"));
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size == 0) return true; // nothing to map; the reader finds the file too short
#ifdef MAP_POPULATE
    // The whole file is read at once by the checks, so its pages are mapped in one call rather
    // than fault by fault.
    constexpr int kPopulate = MAP_POPULATE;
#else
    constexpr int kPopulate = 0;
#endif
    void* mapping = mmap(nullptr, size, PROT_READ, MAP_SHARED | kPopulate, file.fd, 0);
    if (mapping == MAP_FAILED) return Fail(error, LastError("mapping the index file"));
    mapping_ = mapping;
    data_ = static_cast<const char*>(mapping);
    size_ = size;
    return true;
}

#endif

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error) {
    InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(path, error) || !file.Size(size, error)) return false;
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    if (!file.Read(bytes.data(), bytes.size(), done, error)) return false;
    bytes.resize(done); // a file that shrank meanwhile gives what it still has
    return true;
}

} // namespace nuv::engine
