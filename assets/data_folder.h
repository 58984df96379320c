// The folder the show's files are read from, and the search that picks it.
#pragma once

#include <string>

// A folder holds the show's files when it holds this one.
inline constexpr const char* showMarkerFile = "musa.mo3";

// The places looked at, in this order: the --data folder (when given, the only one), the
// working directory, $TUVERO_DATA_DIR, and ../share/tuvero next to the program.
struct DataFolderPlaces {
    std::string option;           // --data DIR, "" when not given
    std::string workingDirectory; // absolute
    std::string environment;      // $TUVERO_DATA_DIR, "" when unset
    std::string executable;       // absolute path of the running program, "" when unknown
};

// The places of this process for the given --data value.
DataFolderPlaces dataFolderPlaces(const std::string& option);

// The first place that holds the show's files: true with `folder` set ("" for the working
// directory, so names stay relative as they always were), or false with `error` naming every
// place tried and why each was passed over.
bool findDataFolder(const DataFolderPlaces& places, std::string& folder, std::string& error);

// Folder the show's files are read from ("" = working directory).
void setDataDirectory(const std::string& directory);
std::string dataPath(const char* fileName);
