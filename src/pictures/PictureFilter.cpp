#include "pictures/PictureFilter.h"

#include <array>
#include <string_view>

namespace quillon {

namespace {

struct FilterEntry {
    std::string_view description;
    std::string_view pattern;
};

constexpr std::array<FilterEntry, 22> kPictureTypes{{
    {"Windows Bitmap (*.bmp)", "*.BMP"},
    {"Windows Icon (*.ico)", "*.ICO"},
    {"Portable Network Graphic (*.png)", "*.PNG"},
    {"JPeg (*.jpg)", "*.JPG;*.JIF"},
    {"Graphics Interchange Format (*.gif)", "*.GIF"},
    {"Tagged Image File Format (*.tif)", "*.TIF;*.TIFF"},
    {"Kodak Photo CD (*.pcd)", "*.PCD"},
    {"PC Paintbrush (*.pcx)", "*.PCX"},
    {"Dr. Halo (*.cut)", "*.CUT"},
    {"Interchange File (*.iff)", "*.IFF"},
    {"Portable Bitmap (*.pbm)", "*.PBM"},
    {"Portable Graymap (*.pgm)", "*.PGM"},
    {"Portable Pixelmap (*.ppm)", "*.PPM"},
    {"Sun Raster (*.ras)", "*.RAS"},
    {"Targa (*.tga)", "*.TGA"},
    {"JPEG Network Graphics (*.jng)", "*.JNG"},
    {"IFF Interleaved Bitmap (*.lbm)", "*.LBM"},
    {"Multiple-image Network Graphics (*.mng)", "*.MNG"},
    {"Photoshop Document (*.psd)", "*.PSD"},
    {"High Dynamic Range image (*.hdr)", "*.HDR"},
    {"Wireless Bitmap (*.wbmp)", "*.WBMP"},
    {"X Pixmap (*.xpm)", "*.XPM"},
}};

constexpr std::string_view kAllImages = "All Images";

void AppendEntry(std::string& filter, std::string_view description, std::string_view pattern) {
    filter.append(description);
    filter.push_back('\0');
    filter.append(pattern);
    filter.push_back('\0');
}

}  // namespace

std::string PictureFilterText() {
    std::string allPatterns;
    for (const FilterEntry& entry : kPictureTypes) {
        if (!allPatterns.empty())
            allPatterns.push_back(';');
        allPatterns.append(entry.pattern);
    }
    std::string filter;
    AppendEntry(filter, kAllImages, allPatterns);
    for (const FilterEntry& entry : kPictureTypes)
        AppendEntry(filter, entry.description, entry.pattern);
    filter.push_back('\0');
    return filter;
}

int PictureFilterEntryCount() {
    return static_cast<int>(kPictureTypes.size()) + 1;
}

}  // namespace quillon
