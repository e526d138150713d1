/* Stands in for the web browser in tests: records how it was started, then
   ends without showing anything. Each start appends one record, in UTF-8, to
   the file that the environment variable NUV_RECORDING_FILE names:

     command line: <GetCommandLineW()>
     argc: <number of arguments, the program's own name included>
     argv: <one line per argument, argv[0] first>
     end

   The record goes out in one write, so a reader that sees its "end" line has
   all of it. Without the variable nothing is recorded and the exit code is 2. */
#include <windows.h>
#include <shellapi.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

typedef struct {
    char* bytes;
    size_t length;
    size_t capacity;
} Record;

static int AppendBytes(Record* record, const char* bytes, size_t length) {
    if (record->length + length > record->capacity) {
        size_t capacity = record->capacity ? record->capacity : 4096;
        while (capacity < record->length + length)
            capacity *= 2;
        char* grown = realloc(record->bytes, capacity);
        if (!grown) return 0;
        record->bytes = grown;
        record->capacity = capacity;
    }
    memcpy(record->bytes + record->length, bytes, length);
    record->length += length;
    return 1;
}

static int AppendLine(Record* record, const char* label, const wchar_t* text) {
    const int textLength = (int)wcslen(text);
    const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, text, textLength, NULL, 0, NULL, NULL);
    char* utf8 = malloc((size_t)utf8Length + 1);
    if (!utf8) return 0;
    WideCharToMultiByte(CP_UTF8, 0, text, textLength, utf8, utf8Length, NULL, NULL);
    const int appended = AppendBytes(record, label, strlen(label)) &&
                         AppendBytes(record, utf8, (size_t)utf8Length) && AppendBytes(record, "\n", 1);
    free(utf8);
    return appended;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    wchar_t path[32768];
    if (!GetEnvironmentVariableW(L"NUV_RECORDING_FILE", path, sizeof path / sizeof path[0])) return 2;

    const wchar_t* raw = GetCommandLineW();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(raw, &argc);
    if (!argv) return 1;
    wchar_t count[16];
    _snwprintf(count, sizeof count / sizeof count[0], L"%d", argc);
    count[sizeof count / sizeof count[0] - 1] = L'\0';

    Record record = {0};
    int complete = AppendLine(&record, "command line: ", raw) && AppendLine(&record, "argc: ", count);
    for (int i = 0; complete && i < argc; ++i)
        complete = AppendLine(&record, "argv: ", argv[i]);
    complete = complete && AppendBytes(&record, "end\n", 4);
    LocalFree(argv);

    int written = 0;
    if (complete) {
        HANDLE file =
            CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD done = 0;
            written =
                WriteFile(file, record.bytes, (DWORD)record.length, &done, NULL) && done == record.length;
            CloseHandle(file);
        }
    }
    free(record.bytes);
    return written ? 0 : 1;
}
