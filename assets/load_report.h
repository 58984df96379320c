// What the loaders found wrong with a file. Loaders only describe a problem and carry on with
// their result (a texture or model is not made); whoever drives the loading decides what the
// problem means for the show and how the user hears of it.
#pragma once

#include <string>
#include <vector>

struct LoadReport {
    enum class Kind { Picture, Model } kind = Kind::Picture;
    bool warning = false; // the file still loaded
    std::string file;     // as the loader was given it
    std::string text;     // one sentence for the user; names the file
    std::string title;    // "Error" or "Warning", for a message box
};

// Queues a report; nothing is shown or printed here.
void reportLoadProblem(LoadReport report);
// The reports made since the last call, oldest first.
std::vector<LoadReport> takeLoadReports();
