/* The search library: one current search per process, answered by the search
   service of the user's session. All text is UTF-16. A returned row string
   stays valid until the next query or reset, whoever makes it: a row's name
   and folder may be held at once, and rows read earlier stay readable while
   later ones are fetched. Every call is bounded in time: when the service is
   not there, a query reads as no results, and the library connects again by
   itself once it is back. */
#ifndef NUVSEARCH_H
#define NUVSEARCH_H

#include <windows.h>

#ifdef NUVSEARCH_BUILDING_DLL
#define NUVSEARCH_API __declspec(dllexport)
#else
#define NUVSEARCH_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The text of the next query; used as it is, query language included. */
NUVSEARCH_API void WINAPI NuvSearch_SetSearchW(LPCWSTR lpSearchString);
/* Runs the query set last and drops the previous results. The call always
   waits for the count, whatever bWait says. TRUE when the service answered. */
NUVSEARCH_API BOOL WINAPI NuvSearch_QueryW(BOOL bWait);
/* The number of results of the last query; 0 when it failed. */
NUVSEARCH_API DWORD WINAPI NuvSearch_GetNumResults(void);
/* The item's own name; empty text for an index out of range. */
NUVSEARCH_API LPCWSTR WINAPI NuvSearch_GetResultFileNameW(DWORD dwIndex);
/* The folder holding the item, without a trailing backslash, so that folder,
   "\" and name make its full path; empty text for an index out of range. */
NUVSEARCH_API LPCWSTR WINAPI NuvSearch_GetResultPathW(DWORD dwIndex);
/* Non-zero when the item is a folder; 0 for an index out of range. */
NUVSEARCH_API BOOL WINAPI NuvSearch_IsFolderResult(DWORD dwIndex);
/* Drops the search text and the results. */
NUVSEARCH_API void WINAPI NuvSearch_Reset(void);

#ifdef __cplusplus
}
#endif

#endif
