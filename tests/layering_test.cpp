// The folders depend one way: platform, assets, render, scenes, the show's core (app/), offline
// runs, start-up (startup/: the command line, the picture size, the run that wires it all). A file
// may include its own layer and those below it, never one above.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>

namespace fs = std::filesystem;

namespace {

int layerOf(const std::string& path) {
    static const std::map<std::string, int> folders = {
        {"platform", 0}, {"assets", 1},  {"render", 2}, {"scenes", 3},
        {"app", 4},      {"offline", 5}, {"startup", 6}};
    const auto found = folders.find(path.substr(0, path.find('/')));
    return found == folders.end() ? -1 : found->second;
}

} // namespace

TEST(Layering, NoFileIncludesALayerAboveItsOwn) {
    const fs::path root = TUVERO_SOURCE_DIR;
    const std::regex include(R"(^\s*#\s*include\s*"([a-z_]+/[^"]+)\")");
    int filesRead = 0;
    for (const char* folder :
         {"platform", "assets", "render", "scenes", "app", "offline", "startup"}) {
        for (const auto& entry : fs::directory_iterator(root / folder)) {
            const std::string path = std::string(folder) + "/" + entry.path().filename().string();
            const int layer = layerOf(path);
            std::ifstream file(entry.path());
            ++filesRead;
            std::string line;
            while (std::getline(file, line)) {
                std::smatch match;
                if (!std::regex_search(line, match, include)) continue;
                const int included = layerOf(match[1]);
                EXPECT_LE(included, layer) << path << " includes " << match[1];
            }
        }
    }
    EXPECT_GT(filesRead, 50);
}
