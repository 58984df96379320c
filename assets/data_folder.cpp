// Finds the folder of the show's files: a source build plays from its data folder, an
// installed show from the share folder beside its program, and --data or $TUVERO_DATA_DIR name
// any other.
#include "assets/data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string dataDirectory;
std::string pictureDirectory; // "" = dataDirectory

// "" when `folder` holds the marker file, else why it does not.
std::string whyNot(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return "no such folder";
    if (!fs::is_regular_file(folder / showMarkerFile, ec))
        return std::string("no ") + showMarkerFile + " there";
    return "";
}

} // namespace

DataFolderPlaces dataFolderPlaces(const std::string& option) {
    DataFolderPlaces places;
    places.option = option;
    std::error_code ec;
    places.workingDirectory = fs::current_path(ec).string();
    if (const char* value = std::getenv("TUVERO_DATA_DIR")) places.environment = value;
    const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) places.executable = executable.string();
    return places;
}

bool findDataFolder(const DataFolderPlaces& places, std::string& folder, std::string& error) {
    struct Place {
        fs::path folder;
        std::string label;
        std::string asFound; // the value `folder` gets when this place holds the files
        const char* unknown = "is unknown"; // said when there is no folder to look at
    };
    std::vector<Place> candidates;
    if (!places.option.empty()) {
        // A folder named on the command line is the user's choice: no fallback to another.
        candidates.push_back({places.option, "--data", places.option});
    } else {
        candidates.push_back({places.workingDirectory, "the working directory", ""});
        // An unset variable is listed too, so the error shows that it can name the folder.
        candidates.push_back(
            {places.environment, "TUVERO_DATA_DIR", places.environment, "is not set"});
        const fs::path share =
            places.executable.empty()
                ? fs::path()
                : (fs::path(places.executable).parent_path() / ".." / "share" / "tuvero")
                      .lexically_normal();
        candidates.push_back(
            {share, "beside the program", share.string(), "(its path is unknown)"});
    }

    std::string tried;
    for (const Place& place : candidates) {
        if (place.folder.empty()) {
            tried += "\n  " + place.label + " " + place.unknown;
            continue;
        }
        const std::string reason = whyNot(place.folder);
        if (reason.empty()) {
            folder = place.asFound;
            return true;
        }
        tried += "\n  " + place.folder.string() + " (" + place.label + "): " + reason;
    }
    error = "cannot find the show's files; looked in:" + tried;
    if (places.option.empty()) error += "\nname the folder with --data DIR";
    return false;
}

void setDataDirectory(const std::string& directory) { dataDirectory = directory; }

std::string dataPath(const char* fileName) {
    if (dataDirectory.empty()) return fileName;
    return dataDirectory + "/" + fileName;
}

std::string hdPictureFolder(const std::string& classicFolder) {
    std::error_code ec;
    fs::path folder = fs::path(classicFolder).lexically_normal();
    if (folder.has_relative_path() && !folder.has_filename()) folder = folder.parent_path();
    // The working directory and folders named by "." or ".." have no name of their own to
    // extend: their absolute path has.
    if (folder.empty() || folder.filename() == "." || folder.filename() == "..") {
        const fs::path cwd = fs::current_path(ec);
        if (ec) return "";
        folder = (cwd / folder).lexically_normal();
        if (folder.has_relative_path() && !folder.has_filename()) folder = folder.parent_path();
    }
    if (!folder.has_relative_path()) return ""; // the root has no sibling
    fs::path hd = folder;
    hd.replace_filename(folder.filename().string() + "-hd");
    if (!fs::is_regular_file(hd / hdPictureMarkerFile, ec)) return "";
    return hd.string();
}

void setPictureDirectory(const std::string& directory) { pictureDirectory = directory; }

std::string picturePath(const char* fileName) {
    if (pictureDirectory.empty()) return dataPath(fileName);
    return pictureDirectory + "/" + fileName;
}

std::string choosePictureFolder(bool renderAboveClassic, bool dataOptionGiven) {
    const std::string folder =
        renderAboveClassic && !dataOptionGiven ? hdPictureFolder(dataDirectory) : "";
    setPictureDirectory(folder);
    return folder;
}
