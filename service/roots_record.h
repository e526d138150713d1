#pragma once
// The roots an index file was made from, recorded beside it. A root taken out
// of NuvFileSearch.ini (or a drive gone from the machine) is no longer walked
// or watched, so whatever the index held of it would stay in every result,
// never updated. When the roots differ from the recorded ones, the index file
// is dropped before it is loaded and the catalog is rebuilt from the disks.
#include <string>
#include <vector>

namespace nuv::service {

// Deletes indexFile unless the record beside it names exactly these roots,
// then records them. The deletion comes first, so a kill in between leaves no
// index to be trusted under the wrong record.
void ForgetIndexOfOtherRoots(const std::wstring& indexFile, const std::vector<std::wstring>& roots);

} // namespace nuv::service
