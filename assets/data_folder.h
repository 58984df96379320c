// The folder the show's files are read from, the search that picks it, and the folder its
// pictures come from (the same one, or the set drawn for screens above 640 x 480).
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

// A folder holds the high-resolution pictures when it holds this one, the last picture the
// generator writes: its presence means the whole set was written.
inline constexpr const char* hdPictureMarkerFile = "tuli_alpha.jpg";

// The high-resolution pictures of a data folder live in its sibling named "<folder>-hd":
// build/data-hd for build/data, /usr/share/tuvero-hd for /usr/share/tuvero and, for the working
// directory (""), "<absolute working directory>-hd". Returns that folder when it holds the
// pictures, else "".
std::string hdPictureFolder(const std::string& classicFolder);

// Folder the pictures are read from; "" = the data folder (the default).
void setPictureDirectory(const std::string& directory);
// Where a picture is read from: the picture folder when one is set, else the data folder.
// Models and music are always read through dataPath.
std::string picturePath(const char* fileName);

// Chooses the picture folder once the data folder is set (call after setDataDirectory): the
// high-resolution set beside the data folder when the show renders above 640 x 480
// (`renderAboveClassic`) and that set is there, else the data folder's own pictures. A folder
// named with --data (`dataOptionGiven`) is the only one the show reads: no other set is looked
// for. Returns the picture folder chosen, "" for the data folder's own pictures.
std::string choosePictureFolder(bool renderAboveClassic, bool dataOptionGiven);
