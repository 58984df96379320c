// The two star files of the morph scene, "tahti.3ds" (blunt) and "tahti2.3ds" (sharp).
#include "tools/assets.h"

#include "tools/chunk_writer.h"
#include "tools/model_writer.h"
#include "tools/star_model.h"

bool generateModels(const std::string& directory, std::string& error) {
    const struct {
        const char* fileName;
        StarShape shape;
    } files[] = {{"tahti.3ds", StarShape::blunt}, {"tahti2.3ds", StarShape::sharp}};
    for (const auto& file : files) {
        std::vector<std::uint8_t> bytes;
        if (!write3ds(starModel(file.shape), bytes, error)) return false;
        if (!writeBinaryFile(directory + "/" + file.fileName, bytes, error)) return false;
    }
    return true;
}
