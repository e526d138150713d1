#include "tree_generator.h"

#include "name_pool.h"
#include "random.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

namespace workload {
namespace {

// Fixed so that every run, on every machine, benchmarks the same tree.
constexpr std::uint64_t kRandomStart = 20261209;

enum class Fill {
    Tree,     // ordinary nesting, a dozen entries per folder
    Flat,     // everything as files right here: System32, Camera Roll, Temp
    Wide,     // thousands of small subfolders: WinSxS, node_modules
    Projects, // a handful of source projects
};

// A folder every Windows drive has. Shares are in 1/10000 of the parent's
// budget; what the planned children leave over is filled at random.
struct Plan {
    std::string name;
    Kind kind;
    unsigned share;
    Fill fill = Fill::Tree;
    unsigned files_share = 0; // of its own budget, as files directly inside it
    std::vector<Plan> children = {};
};

Plan UserPlan(std::string name, unsigned share) {
    using enum Kind;
    return {
        std::move(name),
        Documents,
        share,
        Fill::Tree,
        0,
        {
            {"Desktop", Documents, 150},
            {"Documents", Documents, 1800, Fill::Tree, 0, {{"Backup from old laptop", LongNames, 60}}},
            {"Downloads", Documents, 700},
            {"Pictures",
             Pictures,
             1600,
             Fill::Tree,
             0,
             {{"Camera Roll", Pictures, 4000, Fill::Flat}, {"Screenshots", Pictures, 800, Fill::Flat}}},
            {"Music", Music, 700},
            {"Videos", Videos, 300},
            {"AppData",
             AppData,
             2600,
             Fill::Tree,
             0,
             {{"Local",
               AppData,
               6000,
               Fill::Tree,
               0,
               {{"Temp", Temp, 2500, Fill::Flat}, {"Microsoft", AppData, 2000}, {"Google", AppData, 2000}}},
              {"Roaming", AppData, 2500},
              {"LocalLow", AppData, 300}}},
            {"source", Source, 1800, Fill::Tree, 0, {{"repos", Source, 9500, Fill::Projects}}},
            {"OneDrive", Documents, 200},
        }};
}

Plan DrivePlan() {
    using enum Kind;
    Plan system32{
        "System32",
        System,
        5000,
        Fill::Tree,
        1200,
        {
            {"drivers", System, 300, Fill::Tree, 6000},
            {"DriverStore", System, 3000, Fill::Tree, 0, {{"FileRepository", Components, 9500, Fill::Wide}}},
            {"en-US", System, 300, Fill::Flat},
            {"zh-CN", System, 300, Fill::Flat},
            {"config", System, 300},
            {"wbem", System, 300},
        }};
    Plan windows{"Windows",
                 System,
                 1600,
                 Fill::Tree,
                 0,
                 {
                     std::move(system32),
                     {"WinSxS", Components, 2500, Fill::Wide},
                     {"SysWOW64", System, 1200, Fill::Tree, 5000},
                     {"Temp", Temp, 150, Fill::Flat},
                     {"Logs", AppData, 100},
                     {"Installer", Temp, 200},
                     {"Microsoft.NET", Application, 400},
                     {"servicing", System, 200},
                 }};
    return {"C:",
            Program,
            10000,
            Fill::Tree,
            0,
            {
                std::move(windows),
                {"Program Files",
                 Program,
                 1200,
                 Fill::Tree,
                 0,
                 {{"Common Files", Program, 800}, {"WindowsApps", Application, 2500, Fill::Wide}}},
                {"Program Files (x86)", Program, 600},
                {"ProgramData",
                 AppData,
                 400,
                 Fill::Tree,
                 0,
                 {{"Microsoft", AppData, 5000}, {"Package Cache", Temp, 1500, Fill::Wide}}},
                {"$Recycle.Bin", Documents, 30},
                {"Users",
                 Documents,
                 6100,
                 Fill::Tree,
                 0,
                 {UserPlan("anna", 4800),
                  UserPlan("李娜", 3000),
                  UserPlan("dev", 1800),
                  {"Public", Documents, 200},
                  {"Default", AppData, 100}}},
            }};
}

// Budget a subfolder at `depth` gets on average: most files land four to
// eight levels deep, and a bigger drive grows wider rather than deeper.
std::uint64_t SubtreeTarget(int depth) {
    std::uint64_t target = 12;
    for (int d = depth; d < 6; ++d)
        target *= 4;
    return target;
}

// Windows compares names in a folder without case, so "Report.docx" and
// "report.docx" cannot both exist; folding ASCII is enough for our names.
class FolderNames {
public:
    bool Claim(const std::string& name) {
        std::string key = name;
        for (auto& c : key) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        return keys_.insert(std::move(key)).second;
    }

private:
    std::unordered_set<std::string> keys_;
};

class Generator {
public:
    Generator(std::uint64_t count, const EntrySink& sink)
        : count_(count), random_(kRandomStart), sink_(sink) {}

    // False when the count is too small for the skeleton's fixed folders.
    bool Run() {
        path_ = "C:";
        FolderNames names;
        FillPlanned(DrivePlan(), 0, count_, names);
        return fits_;
    }

private:
    void FillPlanned(const Plan& plan, int depth, std::uint64_t budget, FolderNames& names) {
        std::uint64_t files = budget * plan.files_share / 10000;
        std::uint64_t planned = files;
        std::vector<std::uint64_t> budgets;
        for (const auto& child : plan.children) {
            budgets.push_back(budget * child.share / 10000);
            planned += 1 + budgets.back();
        }
        if (planned > budget) {
            fits_ = false;
            return;
        }

        for (const auto& child : plan.children)
            names.Claim(child.name);
        EmitFiles(plan.kind, depth + 1, files, names);
        for (std::size_t i = 0; i < plan.children.size(); ++i) {
            const auto& child = plan.children[i];
            EnterFolder(child.name, depth + 1);
            FolderNames child_names;
            FillPlanned(child, depth + 1, budgets[i], child_names);
            LeaveFolder();
        }
        FillRandom(plan.kind, plan.fill, depth, budget - planned, names);
    }

    void FillRandom(Kind kind, Fill fill, int depth, std::uint64_t budget, FolderNames& names) {
        if (budget == 0) return;
        if (fill == Fill::Projects) return FillProjects(depth, budget, names);
        int child_depth = depth + 1;
        std::uint64_t files = FilesHere(kind, fill, child_depth, budget);
        if (files == budget) return EmitFiles(kind, child_depth, budget, names);

        std::uint64_t rest = budget - files;
        std::uint64_t target = fill == Fill::Wide ? random_.Between(3, 14) : SubtreeTarget(child_depth);
        std::uint64_t folders = std::clamp<std::uint64_t>(rest / (target + 1), 1, rest);

        EmitFiles(kind, child_depth, files, names);
        for (auto sub_budget : SplitBudget(rest - folders, folders)) {
            auto name = UniqueFolderName(kind, names);
            EnterFolder(name, child_depth);
            FolderNames child_names;
            FillRandom(SubfolderKind(kind, name), Fill::Tree, child_depth, sub_budget, child_names);
            LeaveFolder();
        }
    }

    // How many of a folder's `budget` entries are files right in it; all of
    // them makes it a leaf.
    std::uint64_t FilesHere(Kind kind, Fill fill, int child_depth, std::uint64_t budget) {
        if (fill == Fill::Flat || child_depth >= kMaxDepth) return budget;
        // An old backup nests long folder names as deep as it can: that is
        // where full paths grow past 260 characters.
        if (kind == Kind::LongNames) return budget < 3 ? budget : 1;
        if (fill == Fill::Tree && budget <= random_.Between(4, 40)) return budget;
        // Loose files at the top of a drive are rare; there they would be noise.
        std::uint64_t most_files = child_depth == 1 ? 1 : fill == Fill::Wide ? 3 : 20;
        return std::min(budget - 1, random_.Below(most_files));
    }

    // A developer's repos folder: a few projects, each with sources, build
    // output, history, and for web projects a huge node_modules.
    void FillProjects(int depth, std::uint64_t budget, FolderNames& names) {
        using enum Kind;
        static constexpr const char* kProjectNames[] = {"search-engine", "WebShop",  "my-app",
                                                        "game-engine",   "blog",     "compiler",
                                                        "PhotoSync",     "dashboard"};
        Plan repos{"", Source, 10000};
        std::uint64_t projects = std::clamp<std::uint64_t>(budget / 8000, 1, 40);
        for (std::uint64_t i = 0; i < projects; ++i) {
            std::string name = kProjectNames[i % 8];
            if (i >= 8) name.append("-").append(std::to_string(i / 8 + 1));
            Plan project{std::move(name),
                         Source,
                         static_cast<unsigned>(9900 / projects),
                         Fill::Tree,
                         0,
                         {{"src", Source, 3000},
                          {"tests", Source, 800},
                          {"docs", Documents, 300},
                          {".git", AppData, 900, Fill::Wide},
                          {"build", Source, 1200}}};
            if (i % 2 == 0) project.children.push_back({"node_modules", Packages, 3500, Fill::Wide});
            repos.children.push_back(std::move(project));
        }
        FillPlanned(repos, depth, budget, names);
    }

    std::vector<std::uint64_t> SplitBudget(std::uint64_t total, std::uint64_t parts) {
        // Squared weights: a few big subfolders and many small ones.
        std::vector<std::uint64_t> weights(parts);
        std::uint64_t weight_sum = 0;
        for (auto& weight : weights) {
            auto w = 1 + random_.Below(8);
            weight = w * w;
            weight_sum += weight;
        }
        std::vector<std::uint64_t> budgets(parts);
        std::uint64_t given = 0;
        for (std::uint64_t i = 0; i < parts; ++i) {
            budgets[i] = total * weights[i] / weight_sum;
            given += budgets[i];
        }
        for (std::uint64_t i = 0; given < total; i = (i + 1) % parts, ++given)
            ++budgets[i];
        return budgets;
    }

    void EmitFiles(Kind kind, int depth, std::uint64_t count, FolderNames& names) {
        for (std::uint64_t i = 0; i < count; ++i) {
            auto name = UniqueFileName(kind, names);
            auto parent_length = path_.size();
            path_ += '\\';
            path_ += name;
            sink_(Entry{path_, parent_length + 1, depth, false});
            path_.resize(parent_length);
        }
    }

    void EnterFolder(const std::string& name, int depth) {
        parents_.push_back(path_.size());
        path_ += '\\';
        path_ += name;
        sink_(Entry{path_, parents_.back() + 1, depth, true});
    }

    void LeaveFolder() {
        path_.resize(parents_.back());
        parents_.pop_back();
    }

    // A few fresh tries keep most names natural; after that the name gets the
    // " (2)" Windows itself adds to a copy.
    std::string UniqueFileName(Kind kind, FolderNames& names) {
        std::string name;
        for (int attempt = 0; attempt < 4; ++attempt) {
            name = MakeFileName(kind, random_);
            if (names.Claim(name)) return name;
        }
        auto dot = name.rfind('.');
        if (dot == 0 || dot == std::string::npos) dot = name.size();
        for (int copy = 2;; ++copy) {
            auto candidate = name.substr(0, dot) + " (" + std::to_string(copy) + ")" + name.substr(dot);
            if (names.Claim(candidate)) return candidate;
        }
    }

    std::string UniqueFolderName(Kind kind, FolderNames& names) {
        std::string name;
        for (int attempt = 0; attempt < 4; ++attempt) {
            name = MakeFolderName(kind, random_);
            if (names.Claim(name)) return name;
        }
        for (int copy = 2;; ++copy) {
            auto candidate = name + " (" + std::to_string(copy) + ")";
            if (names.Claim(candidate)) return candidate;
        }
    }

    std::uint64_t count_;
    Random random_;
    const EntrySink& sink_;
    std::string path_;
    std::vector<std::size_t> parents_;
    bool fits_ = true;
};

} // namespace

bool GenerateTree(std::uint64_t count, const EntrySink& sink) {
    return count >= kMinimumEntryCount && Generator(count, sink).Run();
}

} // namespace workload
