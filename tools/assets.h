// The asset generator: every picture, model and the module the show reads, made
// deterministically (the same bytes on every run).
#pragma once

#include <string>

bool generatePictures(const std::string& directory, std::string& error);
bool generateModels(const std::string& directory, std::string& error);
bool generateMusic(const std::string& directory, std::string& error);
