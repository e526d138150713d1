// The seven exported operations. Each takes the library lock, so calls from
// several threads are safe, and none lets an exception out (guarded_call.h).
// The text they return points into the client's cache of result rows, which
// keeps every row of a result set until the next query or reset, so a caller
// may hold a row's name and folder at once.
#include "NuvSearch.h"

#include "guarded_call.h"
#include "search_client.h"
#include "session_pipe.h"

#include <mutex>

namespace {

using nuv::client::GuardedCall;

std::mutex g_lock;

nuv::client::SearchClient& Client() {
    static nuv::client::SearchClient client(nuv::session::ServicePipeName());
    return client;
}

LPCWSTR Returned(const std::wstring* text) {
    return text != nullptr ? text->c_str() : L"";
}

} // namespace

extern "C" {

NUVSEARCH_API void WINAPI NuvSearch_SetSearchW(LPCWSTR lpSearchString) {
    GuardedCall(g_lock, false, [&] {
        Client().SetSearch(lpSearchString != nullptr ? lpSearchString : L"");
        return true;
    });
}

NUVSEARCH_API BOOL WINAPI NuvSearch_QueryW(BOOL /*bWait*/) {
    return GuardedCall(g_lock, FALSE, [] { return Client().Query() ? TRUE : FALSE; });
}

NUVSEARCH_API DWORD WINAPI NuvSearch_GetNumResults(void) {
    return GuardedCall(g_lock, DWORD{0}, [] { return Client().Count(); });
}

NUVSEARCH_API LPCWSTR WINAPI NuvSearch_GetResultFileNameW(DWORD dwIndex) {
    return GuardedCall(g_lock, L"", [&] {
        const nuv::client::ResultRow* row = Client().Row(dwIndex);
        return Returned(row != nullptr ? &row->name : nullptr);
    });
}

NUVSEARCH_API LPCWSTR WINAPI NuvSearch_GetResultPathW(DWORD dwIndex) {
    return GuardedCall(g_lock, L"", [&] {
        const nuv::client::ResultRow* row = Client().Row(dwIndex);
        return Returned(row != nullptr ? &row->folder : nullptr);
    });
}

NUVSEARCH_API BOOL WINAPI NuvSearch_IsFolderResult(DWORD dwIndex) {
    return GuardedCall(g_lock, FALSE, [&] {
        const nuv::client::ResultRow* row = Client().Row(dwIndex);
        return row != nullptr && row->isFolder ? TRUE : FALSE;
    });
}

NUVSEARCH_API void WINAPI NuvSearch_Reset(void) {
    GuardedCall(g_lock, false, [] {
        Client().Reset();
        return true;
    });
}

} // extern "C"
