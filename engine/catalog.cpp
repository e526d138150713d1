#include "engine/catalog.h"

#include "engine/catalog_writer.h"
#include "engine/file_io.h"
#include "engine/index_file.h"
#include "engine/snapshot.h"

namespace nuv::engine {
namespace {

std::shared_ptr<const BaseIndex> EmptyBase() {
    RawTree empty;
    return BaseIndex::Build(std::move(empty), nullptr);
}

// The file holds a base index's arrays as they are: a snapshot with no changes since its base
// is written straight from it, any other is first folded into a base of its own.
std::shared_ptr<const BaseIndex> BaseOf(const std::shared_ptr<const Snapshot>& snapshot, std::string* error) {
    const BaseIndex& base = snapshot->Base();
    if (snapshot->Added().empty() && snapshot->Removed().empty() &&
        snapshot->Volumes().size() == base.VolumeCount())
        return std::shared_ptr<const BaseIndex>(snapshot, &base);
    return BaseIndex::Build(snapshot->Flatten(), error);
}

} // namespace

Catalog::Catalog() : writer_(std::make_unique<CatalogWriter>(EmptyBase())) {
    current_ = writer_->MakeSnapshot();
}

Catalog::~Catalog() = default;

std::shared_ptr<const Snapshot> Catalog::CurrentSnapshot() const {
    std::lock_guard lock(snapshotMutex_);
    return current_;
}

// The replaced snapshot leaves in `snapshot` and, when no search holds it any more, is freed
// after the lock is released, so readers never wait on a large free.
void Catalog::Publish(std::shared_ptr<const Snapshot> snapshot) {
    {
        std::lock_guard lock(snapshotMutex_);
        current_.swap(snapshot);
    }
}

void Catalog::ReplaceRoot(ScanBuilder&& scan) {
    std::lock_guard lock(writeMutex_);
    if (writer_->ReplaceRoot(std::move(scan))) Publish(writer_->MakeSnapshot());
}

void Catalog::RemoveRoot(std::string_view rootPath) {
    RemovePath(rootPath);
}

void Catalog::AddPath(std::string_view path, bool isFolder) {
    std::lock_guard lock(writeMutex_);
    if (writer_->AddPath(path, isFolder)) Publish(writer_->MakeSnapshot());
}

void Catalog::RemovePath(std::string_view path) {
    std::lock_guard lock(writeMutex_);
    if (writer_->RemovePath(path)) Publish(writer_->MakeSnapshot());
}

void Catalog::RenamePath(std::string_view from, std::string_view to) {
    std::lock_guard lock(writeMutex_);
    if (writer_->RenamePath(from, to)) Publish(writer_->MakeSnapshot());
}

std::size_t Catalog::Size() const {
    return CurrentSnapshot()->Size();
}

bool Catalog::Save(const std::string& file, std::string* error) {
    const auto snapshot = CurrentSnapshot();
    const auto base = BaseOf(snapshot, error);
    if (!base) return false;
    if (base.get() != &snapshot->Base()) AdoptBase(snapshot, base);
    std::string head;
    const auto pieces = IndexFilePieces(*base, head);
    std::lock_guard lock(saveMutex_);
    return ReplaceFileAtomically(file, pieces, error);
}

// A base that a save folded the changes into is the catalogue as it stood. While nothing has
// changed since, it replaces the writer's base: queries no longer walk the change lists, the next
// save writes it as it is, and the writer's own fold of the changes is put off.
void Catalog::AdoptBase(const std::shared_ptr<const Snapshot>& foldedFrom, std::shared_ptr<const BaseIndex> base) {
    std::lock_guard lock(writeMutex_);
    if (CurrentSnapshot() != foldedFrom) return;
    writer_->AdoptBase(std::move(base));
    Publish(writer_->MakeSnapshot());
}

bool Catalog::Load(const std::string& file, std::string* error) {
    auto base = LoadIndexFile(file, error);
    if (!base) return false;
    std::lock_guard lock(writeMutex_);
    writer_ = std::make_unique<CatalogWriter>(std::move(base));
    Publish(writer_->MakeSnapshot());
    return true;
}

} // namespace nuv::engine
