#include "pictures/PictureFilter.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "base/Text.h"

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
    {"JPeg (*.jpg)", "*.JPG;*.JPEG;*.JPE;*.JFIF;*.JIF"},
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

bool MatchesPattern(std::string_view extension, std::string_view patterns) {
    while (!patterns.empty()) {
        const std::size_t end = patterns.find(';');
        // Each pattern is "*." and an extension.
        if (EqualsIgnoringAsciiCase(patterns.substr(2, end - 2), extension))
            return true;
        patterns = end == std::string_view::npos ? std::string_view() : patterns.substr(end + 1);
    }
    return false;
}

}  // namespace

bool IsPictureFileName(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return false;
    const std::string_view extension = fileName.substr(dot + 1);
    return std::any_of(kPictureTypes.begin(), kPictureTypes.end(), [&](const FilterEntry& entry) {
        return MatchesPattern(extension, entry.pattern);
    });
}

std::vector<std::string> PicturesAmong(const std::string& folder,
                                       const std::vector<std::string>& fileNames) {
    std::vector<std::string> names;
    for (const std::string& name : fileNames) {
        if (IsPictureFileName(name))
            names.push_back(name);
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return AsciiLowered(a) < AsciiLowered(b);
    });
    for (std::string& name : names)
        name.insert(0, folder);
    return names;
}

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
