#pragma once
// The library's one current search: its text, its count and the rows read so
// far. Rows come from the service a page at a time and are kept, so the list
// view asking for every cell of every visible row costs no round trip.
#include "pipe_connection.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace nuv::client {

struct ResultRow {
    std::wstring name;
    std::wstring folder;
    bool isFolder = false;
};

class SearchClient {
public:
    static constexpr std::uint32_t kPageRows = 64;

    explicit SearchClient(std::wstring pipeName);

    void SetSearch(std::wstring text) { searchText_ = std::move(text); }
    bool Query();
    std::uint32_t Count() const { return count_; }
    // Nothing when the index is out of range or the rows cannot be had any
    // more. A row, once read, stays where it is until the next query or reset:
    // callers hold pointers into it.
    const ResultRow* Row(std::uint32_t index);
    void Reset();

private:
    std::optional<protocol::Reply> Exchange(const protocol::Request& request);
    const std::vector<ResultRow>* Page(std::uint32_t page);
    void DropResults();

    std::wstring pipeName_;
    PipeConnection connection_;
    std::wstring searchText_;
    std::uint32_t count_ = 0;
    // The results live in the service, on the connection that ran the query;
    // once that connection is lost they are gone.
    bool resultsOnConnection_ = false;
    // Never trimmed within a result set: the library hands out pointers into
    // it. Map nodes and the page vectors stay put as pages are added.
    std::unordered_map<std::uint32_t, std::vector<ResultRow>> pages_;
};

} // namespace nuv::client
