#pragma once

#include "random.h"

#include <string>

namespace workload {

// What a folder holds decides how its entries are named: a system folder is
// full of short DLL names, a photo folder of camera names, a package folder of
// index.js and package.json. Each kind has its own names and extension mix.
enum class Kind {
    System,      // Windows, System32, drivers
    Components,  // WinSxS, FileRepository: long versioned folder names
    Program,     // Program Files: vendors
    Application, // inside one vendor's folder
    Documents,   // office files, many languages, some very long names
    Pictures,    // camera and screenshot names
    Music,       // "Artist - Title.mp3"
    Videos,      // camera clips and films
    Source,      // project sources
    Packages,    // node_modules-like package folders
    AppData,     // caches, logs, settings, GUIDs
    Temp,        // installer leftovers and hex names
    LongNames,   // an old backup copied with long names: full paths beyond 260
};

// Names are valid on Windows (none of \ / : * ? " < > |, no trailing dot or
// space) and at most 255 bytes, so the same tree can also be written to a
// Linux disk.
std::string MakeFileName(Kind kind, Random& random);
std::string MakeFolderName(Kind kind, Random& random);

// The kind of a subfolder made by MakeFolderName inside a folder of `kind`.
Kind SubfolderKind(Kind kind, const std::string& name);

} // namespace workload
