#include "name_pool.h"

#include <array>
#include <cstdio>
#include <initializer_list>
#include <span>
#include <string_view>

namespace workload {
namespace {

struct Weighted {
    std::string_view text;
    unsigned weight;
};

template <std::size_t N> std::string_view Pick(const std::array<std::string_view, N>& items, Random& random) {
    return items[random.Below(N)];
}

std::string_view PickWeighted(std::span<const Weighted> items, Random& random) {
    unsigned total = 0;
    for (const auto& item : items)
        total += item.weight;
    auto ticket = random.Below(total);
    for (const auto& item : items) {
        if (ticket < item.weight) return item.text;
        ticket -= item.weight;
    }
    return items.back().text;
}

std::string Number(std::uint64_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu", width, static_cast<unsigned long long>(value));
    return text;
}

// The operands of + may be evaluated in any order, so a name built from two
// draws in one expression could differ between compilers. The elements of a
// braced list are evaluated left to right: every name with more than one draw
// is built through here.
std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (auto part : parts)
        text += part;
    return text;
}

std::string Hex(Random& random, int digits, bool upper = false) {
    const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    for (int i = 0; i < digits; ++i)
        text += alphabet[random.Below(16)];
    return text;
}

std::string Guid(Random& random) {
    return Concat({"{", Hex(random, 8, true), "-", Hex(random, 4, true), "-", Hex(random, 4, true), "-",
                   Hex(random, 4, true), "-", Hex(random, 12, true), "}"});
}

std::string Capitalised(std::string_view word) {
    std::string text(word);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// Common words carry most names; the rare ones turn up a handful of times per
// million entries, which is what a "rare word" query needs to find.
constexpr std::array<std::string_view, 96> kWords = {
    "report",    "invoice",  "summary",      "project",  "meeting",   "notes",   "budget",    "plan",
    "draft",     "final",    "review",       "contract", "letter",    "resume",  "schedule",  "minutes",
    "proposal",  "design",   "presentation", "data",     "analysis",  "sales",   "customer",  "order",
    "quarterly", "annual",   "monthly",      "weekly",   "team",      "project", "budget",    "travel",
    "receipt",   "tax",      "insurance",    "bank",     "statement", "manual",  "guide",     "setup",
    "config",    "settings", "backup",       "export",   "import",    "list",    "table",     "chart",
    "photo",     "image",    "scan",         "copy",     "new",       "old",     "test",      "sample",
    "template",  "form",     "application",  "request",  "approval",  "policy",  "training",  "course",
    "lecture",   "homework", "thesis",       "paper",    "article",   "chapter", "book",      "recipe",
    "family",    "holiday",  "wedding",      "birthday", "trip",      "school",  "office",    "home",
    "account",   "password", "license",      "product",  "price",     "catalog", "inventory", "shipping",
    "employee",  "salary",   "payroll",      "audit",    "status",    "update",  "release",   "version",
};

constexpr std::array<std::string_view, 12> kRareWords = {
    "zanzibar", "quokka",   "xylophone", "marzipan", "obsidian", "fjord",
    "kumquat",  "zeppelin", "wombat",    "yodel",    "quixote",  "sphinx",
};

constexpr std::array<std::string_view, 40> kChinese = {
    "报告",     "会议记录", "工作总结",     "项目计划",   "简历",     "合同",     "发票",     "财务报表",
    "年度总结", "学习资料", "课件",         "论文",       "照片",     "旅行",     "家庭",     "通讯录",
    "说明书",   "安装指南", "新建文本文档", "新建文件夹", "备份",     "数据分析", "产品目录", "客户名单",
    "培训材料", "考试",     "作业",         "笔记",       "读书笔记", "预算",     "申请表",   "通知",
    "微信",     "截图",     "文档",         "资料",       "设计稿",   "方案",     "中文",     "季度报告",
};

constexpr std::array<std::string_view, 16> kJapanese = {
    "写真", "資料",   "報告書",   "議事録",       "見積書", "請求書",       "企画書",   "旅行",
    "メモ", "ノート", "デザイン", "プロジェクト", "テスト", "バックアップ", "アルバム", "音楽",
};

constexpr std::array<std::string_view, 24> kAccented = {
    "résumé",    "café",  "été",     "crème brûlée", "naïve",    "façade",      "déjà vu", "Bücher",
    "Übersicht", "Größe", "Straße",  "Prüfung",      "año",      "niño",        "canción", "señal",
    "São Paulo", "ação",  "coração", "Zürich",       "Ångström", "smörgåsbord", "Ελλάδα",  "Øresund",
};

constexpr std::array<std::string_view, 12> kCyrillic = {
    "Отчёт",  "Документы", "Договор",     "Счёт",   "Фотографии", "Музыка",
    "Проект", "Резюме",    "Презентация", "Бюджет", "Письмо",     "Москва",
};

constexpr std::array<std::string_view, 8> kGreek = {
    "Έκθεση", "Φωτογραφίες", "Μουσική", "Σημειώσεις", "Αθήνα", "Έγγραφα", "Προϋπολογισμός", "Ταξίδι",
};

// A word in the user's language: mostly English, then Chinese, then a little
// of everything else the finder must fold and match.
std::string UserWord(Random& random) {
    auto roll = random.Below(1000);
    if (roll < 3) return std::string(Pick(kRareWords, random));
    if (roll < 850) return std::string(Pick(kWords, random));
    if (roll < 920) return std::string(Pick(kChinese, random));
    if (roll < 940) return std::string(Pick(kJapanese, random));
    if (roll < 970) return std::string(Pick(kAccented, random));
    if (roll < 985) return std::string(Pick(kCyrillic, random));
    return std::string(Pick(kGreek, random));
}

std::string Date(Random& random, std::string_view separator) {
    return Concat({Number(random.Between(2008, 2024), 4), separator, Number(random.Between(1, 12), 2),
                   separator, Number(random.Between(1, 28), 2)});
}

// Words programmers name files after, for programs, sources and packages.
constexpr std::array<std::string_view, 32> kCodeWords = {
    "main",   "index",  "search", "query",  "parser", "token",  "window", "view",
    "model",  "util",   "string", "buffer", "stream", "file",   "path",   "config",
    "logger", "event",  "thread", "socket", "server", "client", "render", "widget",
    "button", "dialog", "image",  "cache",  "hash",   "table",  "node",   "tree",
};

// --- System ------------------------------------------------------------------

constexpr std::array<std::string_view, 32> kSystemStems = {
    "ms",   "win",  "nt",    "d3d",   "dx",     "wmi",    "net",  "shell", "crypt",  "ole", "rpc",
    "ws2",  "wbem", "print", "audio", "bcrypt", "cert",   "dwm",  "mf",    "sec",    "usb", "hid",
    "ntfs", "vss",  "wlan",  "xml",   "cfg",    "kernel", "user", "gdi",   "comctl", "dns",
};
constexpr std::array<std::string_view, 28> kSystemParts = {
    "core", "svc",  "mgr", "host", "api",   "util",   "prov",  "ui",   "res",   "lib",
    "cli",  "srv",  "ext", "init", "proxy", "hlp",    "ctl",   "auth", "cache", "sync",
    "ps",   "base", "mon", "cfg",  "dev",   "plugin", "media", "perf",
};
constexpr std::array<std::string_view, 10> kSystemSuffixes = {"",  "",   "",   "32", "64",
                                                              "2", "_1", "ex", "ps", "3"};
constexpr std::array<Weighted, 12> kSystemExtensions = {{
    {".dll", 46},
    {".sys", 8},
    {".exe", 10},
    {".mui", 10},
    {".inf", 4},
    {".cat", 5},
    {".manifest", 4},
    {".dat", 3},
    {".xml", 3},
    {".ini", 2},
    {".log", 3},
    {".nls", 2},
}};

std::string SystemStem(Random& random) {
    if (random.Chance(1, 12)) {
        return Concat({"api-ms-win-", Pick(kSystemParts, random), "-", Pick(kSystemParts, random), "-l1-",
                       Number(random.Between(1, 3), 1), "-", Number(random.Below(3), 1)});
    }
    return Concat({Pick(kSystemStems, random), Pick(kSystemParts, random), Pick(kSystemSuffixes, random)});
}

std::string SystemFile(Random& random) {
    return Concat({SystemStem(random), PickWeighted(kSystemExtensions, random)});
}

constexpr std::array<std::string_view, 24> kSystemFolders = {
    "drivers", "en-US",    "zh-CN",       "config",    "wbem",   "spool",  "Tasks", "LogFiles",
    "catroot", "catroot2", "DriverStore", "migration", "oobe",   "Speech", "WDI",   "Boot",
    "Dism",    "inetsrv",  "Recovery",    "sru",       "winevt", "Logs",   "ja-JP", "ru-RU",
};

std::string SystemFolder(Random& random) {
    if (random.Chance(2, 3)) return std::string(Pick(kSystemFolders, random));
    return SystemStem(random);
}

std::string ComponentFolder(Random& random) {
    return Concat({"amd64_microsoft-windows-", SystemStem(random), "_31bf3856ad364e35_10.0.",
                   Number(random.Between(17763, 22631), 5), ".", Number(random.Between(1, 4000), 1), "_none_",
                   Hex(random, 16)});
}

// --- Program -----------------------------------------------------------------

constexpr std::array<std::string_view, 28> kVendors = {
    "Microsoft Office",
    "Google",
    "Adobe",
    "Mozilla Firefox",
    "Common Files",
    "Tencent",
    "NVIDIA Corporation",
    "Intel",
    "Steam",
    "7-Zip",
    "Notepad++",
    "WindowsApps",
    "Realtek",
    "Kingsoft",
    "Java",
    "dotnet",
    "Git",
    "CMake",
    "LLVM",
    "VideoLAN",
    "Python311",
    "nodejs",
    "Docker",
    "Oracle",
    "WinRAR",
    "Zoom",
    "Microsoft VS Code",
    "Windows Defender",
};
constexpr std::array<std::string_view, 20> kProgramFolders = {
    "bin",         "lib",        "resources",  "locales", "plugins",      "x64",       "Data",
    "Help",        "share",      "etc",        "assets",  "Skins",        "Themes",    "Updater",
    "swiftshader", "MEIPreload", "Extensions", "modules", "translations", "platforms",
};
constexpr std::array<std::string_view, 24> kProgramStems = {
    "app",       "core",   "update",  "helper", "crash",    "render",       "net",   "ui",
    "browser",   "plugin", "codec",   "media",  "sync",     "launch",       "setup", "service",
    "libcrypto", "libssl", "Qt5Core", "Qt5Gui", "msvcp140", "vcruntime140", "icudt", "chrome_elf",
};
constexpr std::array<Weighted, 18> kProgramExtensions = {{
    {".dll", 30},
    {".exe", 6},
    {".pak", 4},
    {".dat", 5},
    {".json", 6},
    {".xml", 6},
    {".png", 10},
    {".ico", 3},
    {".config", 3},
    {".txt", 3},
    {".qm", 4},
    {".bin", 3},
    {".js", 4},
    {".css", 2},
    {".html", 2},
    {".manifest", 2},
    {".ttf", 2},
    {".lib", 2},
}};

std::string ProgramFile(Random& random) {
    std::string stem(Pick(kProgramStems, random));
    stem += random.Chance(1, 2)
                ? Concat({"_", Pick(kSystemParts, random)})
                : Concat({Capitalised(Pick(kCodeWords, random)), Capitalised(Pick(kSystemParts, random))});
    if (random.Chance(1, 4)) stem += Concat({"_", Number(random.Below(200), 1), "_percent"});
    return stem + std::string(PickWeighted(kProgramExtensions, random));
}

std::string ApplicationFolder(Random& random) {
    if (random.Chance(1, 6)) {
        return Concat({Number(random.Between(1, 120), 1), ".", Number(random.Below(10), 1), ".",
                       Number(random.Below(5000), 1), ".", Number(random.Below(300), 1)});
    }
    return std::string(Pick(kProgramFolders, random));
}

// --- Documents ---------------------------------------------------------------

constexpr std::array<Weighted, 14> kDocumentExtensions = {{
    {".docx", 20},
    {".xlsx", 12},
    {".pdf", 20},
    {".txt", 10},
    {".pptx", 6},
    {".md", 3},
    {".odt", 1},
    {".csv", 4},
    {".rtf", 1},
    {".doc", 4},
    {".xls", 3},
    {".zip", 5},
    {".jpg", 4},
    {".7z", 1},
}};
constexpr std::array<std::string_view, 10> kDocumentSuffixes = {
    " (1)", " - Copy", " final", " v2", "_final_v3", " (2)", "_old", " revised", " draft", "_signed",
};
constexpr std::array<std::string_view, 8> kOddNames = {
    "Tom & Jerry", "Rock'n'Roll", "C# notes", "[2019] Report", "100% done", "R&D budget", "Q&A", "to-do #1",
};

std::string DocumentStem(Random& random) {
    if (random.Chance(1, 200)) return std::string(Pick(kOddNames, random));
    std::string stem = UserWord(random);
    if (random.Chance(1, 2)) stem = Capitalised(stem);
    if (random.Chance(1, 2)) stem += Concat({random.Chance(1, 2) ? " " : "_", UserWord(random)});
    if (random.Chance(1, 3))
        stem += Concat({" ", Number(random.Between(2008, 2024), 4)});
    else if (random.Chance(1, 6))
        stem += Concat({" ", Date(random, "-")});
    if (random.Chance(1, 6)) stem += std::string(Pick(kDocumentSuffixes, random));
    return stem;
}

// Over 100 characters: people do save whole sentences as names.
std::string LongStem(Random& random, std::size_t length) {
    std::string stem = Capitalised(UserWord(random));
    while (stem.size() < length) {
        stem += ' ';
        stem += UserWord(random);
    }
    // A cut inside a multi-byte character would leave invalid UTF-8.
    while (stem.size() > 200 || (static_cast<unsigned char>(stem.back()) & 0xC0) == 0x80 ||
           static_cast<unsigned char>(stem.back()) >= 0xC0 || stem.back() == ' ') {
        stem.pop_back();
    }
    return stem;
}

std::string DocumentFile(Random& random) {
    auto stem = random.Chance(1, 250) ? LongStem(random, random.Between(100, 150)) : DocumentStem(random);
    return stem + std::string(PickWeighted(kDocumentExtensions, random));
}

constexpr std::array<std::string_view, 24> kDocumentFolders = {
    "Projects",  "Reports", "Work",   "Invoices", "Archive",    "Personal",   "Scans",     "Meeting notes",
    "Contracts", "Travel",  "工作",   "学习资料", "新建文件夹", "New folder", "Документы", "Φωτογραφίες",
    "Tax",       "Bank",    "School", "Receipts", "Résumés",    "資料",       "Old stuff", "Misc",
};

std::string DocumentFolder(Random& random) {
    auto roll = random.Below(10);
    if (roll < 5) return std::string(Pick(kDocumentFolders, random));
    if (roll < 7) return Number(random.Between(2008, 2024), 4);
    auto first = Capitalised(UserWord(random));
    return random.Chance(1, 2) ? Concat({first, " ", UserWord(random)}) : first;
}

// --- Pictures, music, videos -------------------------------------------------

std::string Time(Random& random) {
    return Concat({Number(random.Below(24), 2), Number(random.Below(60), 2), Number(random.Below(60), 2)});
}

std::string PictureFile(Random& random) {
    auto roll = random.Below(100);
    if (roll < 45)
        return Concat({"IMG_", Date(random, ""), "_", Time(random), random.Chance(1, 8) ? ".heic" : ".jpg"});
    if (roll < 60) return Concat({"DSC", Number(random.Below(100000), 5), ".JPG"});
    if (roll < 72) return Concat({"Screenshot ", Date(random, "-"), " ", Time(random), ".png"});
    if (roll < 80) return Concat({"微信图片_", Date(random, ""), Time(random), ".jpg"});
    if (roll < 85) return Concat({"P", Number(random.Below(10000000), 7), ".JPG"});
    if (roll < 92) return Concat({UserWord(random), " ", Number(random.Between(1, 300), 1), ".jpg"});
    if (roll < 96) return Concat({"wallpaper_", Number(random.Below(1000), 3), ".png"});
    return Concat({"image", Number(random.Below(1000), 1), ".gif"});
}

constexpr std::array<std::string_view, 20> kArtists = {
    "The Beatles", "Queen",        "Adele",      "周杰伦",    "王菲",        "陈奕迅",    "Taylor Swift",
    "Coldplay",    "宇多田ヒカル", "Edith Piaf", "Beyoncé",   "Kino",        "Sigur Rós", "Daft Punk",
    "Miles Davis", "Björk",        "邓丽君",     "Radiohead", "Mötley Crüe", "Nirvana",
};
constexpr std::array<std::string_view, 20> kTitles = {
    "Yesterday",
    "Bohemian Rhapsody",
    "Hello",
    "晴天",
    "红豆",
    "十年",
    "Love Story",
    "Yellow",
    "First Love",
    "La vie en rose",
    "Halo",
    "Кукушка",
    "Hoppípolla",
    "One More Time",
    "So What",
    "Jóga",
    "月亮代表我的心",
    "Creep",
    "Home Sweet Home",
    "Lithium",
};
constexpr std::array<Weighted, 6> kMusicExtensions = {{
    {".mp3", 60},
    {".flac", 15},
    {".m4a", 10},
    {".wav", 5},
    {".wma", 5},
    {".ogg", 3},
}};

std::string MusicFile(Random& random) {
    std::string stem = random.Chance(1, 2)
                           ? Concat({Pick(kArtists, random), " - ", Pick(kTitles, random)})
                           : Concat({Number(random.Between(1, 20), 2), " ", Pick(kTitles, random)});
    if (random.Chance(1, 5)) stem += Concat({" (Live ", Number(random.Between(1965, 2024), 4), ")"});
    return stem + std::string(PickWeighted(kMusicExtensions, random));
}

std::string MusicFolder(Random& random) {
    if (random.Chance(1, 2)) return std::string(Pick(kArtists, random));
    return Concat({Pick(kTitles, random), " (", Number(random.Between(1965, 2024), 4), ")"});
}

constexpr std::array<Weighted, 7> kVideoExtensions = {{
    {".mp4", 50},
    {".mkv", 15},
    {".avi", 8},
    {".mov", 10},
    {".wmv", 5},
    {".srt", 8},
    {".ts", 2},
}};

std::string VideoFile(Random& random) {
    if (random.Chance(1, 2)) return Concat({"VID_", Date(random, ""), "_", Time(random), ".mp4"});
    return Concat({Capitalised(UserWord(random)), " ", UserWord(random), " (",
                   Number(random.Between(1990, 2024), 4), ")", PickWeighted(kVideoExtensions, random)});
}

// --- Source and packages -----------------------------------------------------

constexpr std::array<Weighted, 20> kSourceExtensions = {{
    {".cpp", 16}, {".h", 14},  {".hpp", 4},  {".c", 5},  {".cs", 8},   {".py", 8},    {".js", 8},
    {".ts", 6},   {".tsx", 3}, {".json", 4}, {".md", 2}, {".txt", 2},  {".cmake", 2}, {".yml", 1},
    {".xml", 2},  {".obj", 6}, {".pdb", 2},  {".o", 3},  {".xaml", 2}, {".java", 3},
}};

std::string SourceFile(Random& random) {
    std::string stem(Pick(kCodeWords, random));
    auto style = random.Below(4);
    if (style == 0) stem += Concat({"_", Pick(kCodeWords, random)});
    if (style == 1) stem = Capitalised(stem) + Capitalised(Pick(kCodeWords, random));
    if (style == 2)
        stem = Concat({Capitalised(stem), Capitalised(Pick(kCodeWords, random)),
                       Capitalised(Pick(kCodeWords, random))});
    if (random.Chance(1, 8)) stem = Concat({"test_", stem});
    return stem + std::string(PickWeighted(kSourceExtensions, random));
}

constexpr std::array<std::string_view, 24> kSourceFolders = {
    "src",   "include", "lib",     "tests",  "test",    "docs",  "build",       "bin",
    "obj",   "Debug",   "Release", "x64",    "scripts", "tools", "assets",      "components",
    "utils", "core",    "api",     "models", "views",   "out",   "third_party", "internal",
};

constexpr std::array<std::string_view, 32> kPackageNames = {
    "lodash",  "react",    "react-dom",  "@babel", "debug",   "ms",         "chalk",     "commander",
    "webpack", "eslint",   "typescript", "acorn",  "semver",  "glob",       "minimatch", "yargs",
    "rxjs",    "tslib",    "uuid",       "axios",  "express", "moment",     "core-js",   "postcss",
    "jest",    "prettier", "source-map", "ajv",    "qs",      "mime-types", "inherits",  "readable-stream",
};
constexpr std::array<std::string_view, 12> kPackageFiles = {
    "index.js",  "package.json", "README.md", "LICENSE",     "CHANGELOG.md", "index.d.ts",
    "index.mjs", "index.cjs",    "utils.js",  "main.js.map", "browser.js",   "tsconfig.json",
};
constexpr std::array<std::string_view, 8> kPackageFolders = {
    "lib", "dist", "src", "esm", "cjs", "types", "bin", "node_modules",
};

std::string PackageFile(Random& random) {
    if (random.Chance(1, 2)) return std::string(Pick(kPackageFiles, random));
    std::string stem(Pick(kCodeWords, random));
    if (random.Chance(1, 3)) stem += Concat({"-", Pick(kCodeWords, random)});
    auto roll = random.Below(10);
    if (roll < 5) return stem + ".js";
    if (roll < 7) return stem + ".d.ts";
    if (roll < 8) return stem + ".min.js";
    if (roll < 9) return stem + ".js.map";
    return stem + ".json";
}

std::string PackageFolder(Random& random) {
    if (random.Chance(1, 3)) return std::string(Pick(kPackageFolders, random));
    std::string name(Pick(kPackageNames, random));
    if (random.Chance(1, 2)) name += Concat({"-", Pick(kCodeWords, random)});
    return name;
}

// --- AppData and Temp --------------------------------------------------------

constexpr std::array<std::string_view, 16> kAppDataFiles = {
    "settings.json", "Local State", "Cookies",           "History",      "Preferences", "CURRENT",
    "LOCK",          "LOG",         "LOG.old",           "Favicons",     "Web Data",    "state.vscdb",
    "user.config",   "desktop.ini", "thumbcache_256.db", "IconCache.db",
};
constexpr std::array<Weighted, 10> kAppDataExtensions = {{
    {".log", 20},
    {".dat", 10},
    {".db", 6},
    {".tmp", 8},
    {".json", 10},
    {".xml", 6},
    {".ini", 4},
    {".ldb", 10},
    {".etl", 4},
    {".bin", 6},
}};

std::string AppDataFile(Random& random) {
    auto roll = random.Below(10);
    if (roll < 2) return std::string(Pick(kAppDataFiles, random));
    if (roll < 3) return Concat({"f_", Hex(random, 6)});
    if (roll < 5) return Concat({Guid(random), PickWeighted(kAppDataExtensions, random)});
    if (roll < 7) return Concat({Number(random.Below(1000000), 6), PickWeighted(kAppDataExtensions, random)});
    if (roll < 8) return Concat({Hex(random, 16), "_", Number(random.Below(2), 1)}); // code cache entries
    return Concat({Pick(kCodeWords, random), "_", Number(random.Below(100), 1),
                   PickWeighted(kAppDataExtensions, random)});
}

constexpr std::array<std::string_view, 20> kAppDataFolders = {
    "Microsoft", "Google",       "Chrome",   "User Data",     "Default", "Cache",          "Code Cache",
    "Packages",  "Mozilla",      "Profiles", "Local Storage", "leveldb", "IndexedDB",      "CrashDumps",
    "Tencent",   "WeChat Files", "Logs",     "GPUCache",      "Code",    "Service Worker",
};

std::string AppDataFolder(Random& random) {
    auto roll = random.Below(10);
    if (roll < 7) return std::string(Pick(kAppDataFolders, random));
    if (roll < 8) return Guid(random);
    return Hex(random, 2);
}

std::string TempFile(Random& random) {
    auto roll = random.Below(10);
    if (roll < 3) return Concat({"~DF", Hex(random, 4, true), ".TMP"});
    if (roll < 6) return Concat({"tmp", Hex(random, 4), ".tmp"});
    if (roll < 7) return Concat({Guid(random), ".tmp"});
    if (roll < 8)
        return Concat({Pick(kProgramStems, random), "_installer_", Number(random.Below(100), 1), ".log"});
    if (roll < 9)
        return Concat({"chrome_BITS_", Number(random.Below(100000), 1), "_", Number(random.Below(1000), 1)});
    return Concat({"wct", Hex(random, 4, true), ".tmp"});
}

std::string LongFolder(Random& random) {
    return LongStem(random, random.Between(50, 90));
}

std::string LongFile(Random& random) {
    return Concat({LongStem(random, random.Between(100, 140)), PickWeighted(kDocumentExtensions, random)});
}

} // namespace

std::string MakeFileName(Kind kind, Random& random) {
    switch (kind) {
    case Kind::System:
    case Kind::Components: return SystemFile(random);
    case Kind::Program:
    case Kind::Application: return ProgramFile(random);
    case Kind::Documents: return DocumentFile(random);
    case Kind::Pictures: return PictureFile(random);
    case Kind::Music: return MusicFile(random);
    case Kind::Videos: return VideoFile(random);
    case Kind::Source: return SourceFile(random);
    case Kind::Packages: return PackageFile(random);
    case Kind::AppData: return AppDataFile(random);
    case Kind::Temp: return TempFile(random);
    case Kind::LongNames: return LongFile(random);
    }
    return SystemFile(random);
}

std::string MakeFolderName(Kind kind, Random& random) {
    switch (kind) {
    case Kind::System: return SystemFolder(random);
    case Kind::Components: return ComponentFolder(random);
    case Kind::Program: return std::string(Pick(kVendors, random));
    case Kind::Application: return ApplicationFolder(random);
    case Kind::Documents: return DocumentFolder(random);
    case Kind::Pictures:
        return random.Chance(1, 2) ? Number(random.Between(2008, 2024), 4)
                                   : Concat({Date(random, "-").substr(0, 7), " ", UserWord(random)});
    case Kind::Music: return MusicFolder(random);
    case Kind::Videos: return DocumentFolder(random);
    case Kind::Source: return std::string(Pick(kSourceFolders, random));
    case Kind::Packages: return PackageFolder(random);
    case Kind::AppData: return AppDataFolder(random);
    case Kind::Temp:
        return random.Chance(1, 2) ? Guid(random) : Concat({"_MEI", Number(random.Below(100000), 1)});
    case Kind::LongNames: return LongFolder(random);
    }
    return SystemFolder(random);
}

Kind SubfolderKind(Kind kind, const std::string& name) {
    // Any project may vendor its packages; what lies below is package-shaped.
    if (name == "node_modules") return Kind::Packages;
    if (kind == Kind::Components) return Kind::System;
    if (kind == Kind::Program) return Kind::Application;
    return kind;
}

} // namespace workload
