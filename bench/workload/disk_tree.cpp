#include "disk_tree.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace workload {

DiskTree::DiskTree() {
    folders_.fill(-1);
}

bool DiskTree::Open(const std::string& root) {
    if (mkdir(root.c_str(), 0755) != 0) return Fail("cannot create", root);
    folders_[0] = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return folders_[0] >= 0 || Fail("cannot open", root);
}

bool DiskTree::Add(const Entry& entry) {
    auto depth = static_cast<std::size_t>(entry.depth);
    int parent = folders_[depth - 1];
    std::string name(entry.Name());
    if (!entry.folder) {
        int file = openat(parent, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (file < 0) return Fail("cannot create file", entry.path);
        close(file);
        return true;
    }
    // Entering a folder ends every deeper folder still open from its siblings.
    for (auto i = depth; i < folders_.size(); ++i) {
        if (folders_[i] >= 0) close(folders_[i]);
        folders_[i] = -1;
    }
    if (mkdirat(parent, name.c_str(), 0755) != 0) return Fail("cannot create folder", entry.path);
    folders_[depth] = openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return folders_[depth] >= 0 || Fail("cannot open folder", entry.path);
}

bool DiskTree::Close() {
    bool closed = true;
    for (auto& folder : folders_) {
        if (folder >= 0) closed = close(folder) == 0 && closed;
        folder = -1;
    }
    return closed;
}

DiskTree::~DiskTree() {
    Close();
}

bool DiskTree::Fail(const char* what, std::string_view name) {
    error = std::string(what) + " " + std::string(name) + ": " + std::strerror(errno);
    return false;
}

} // namespace workload
