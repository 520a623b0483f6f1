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

// The types people meet most come first; ImageMagick reads every one of them, and GDI+ the
// few it knows on its own.
constexpr std::array<FilterEntry, 26> kPictureTypes{{
    {"JPEG (*.jpg, *.jpeg, *.jpe, *.jfif)", "*.jpg;*.jpeg;*.jpe;*.jfif"},
    {"PNG (*.png)", "*.png"},
    {"HEIC/HEIF (*.heic, *.heif)", "*.heic;*.heif"},
    {"WebP (*.webp)", "*.webp"},
    {"AVIF (*.avif)", "*.avif"},
    {"TIFF (*.tif, *.tiff)", "*.tif;*.tiff"},
    {"GIF (*.gif)", "*.gif"},
    {"BMP (*.bmp)", "*.bmp"},
    {"Camera RAW (*.cr2, *.cr3, *.nef, *.arw, *.dng, *.raf, *.orf, *.rw2, *.pef)",
     "*.cr2;*.cr3;*.nef;*.arw;*.dng;*.raf;*.orf;*.rw2;*.pef"},
    {"Photoshop Document (*.psd)", "*.psd"},
    {"Windows Icon (*.ico)", "*.ico"},
    {"Kodak Photo CD (*.pcd)", "*.pcd"},
    {"PC Paintbrush (*.pcx)", "*.pcx"},
    {"Dr. Halo (*.cut)", "*.cut"},
    {"Interchange File (*.iff)", "*.iff"},
    {"Portable Bitmap (*.pbm)", "*.pbm"},
    {"Portable Graymap (*.pgm)", "*.pgm"},
    {"Portable Pixelmap (*.ppm)", "*.ppm"},
    {"Sun Raster (*.ras)", "*.ras"},
    {"Targa (*.tga)", "*.tga"},
    {"JPEG Network Graphics (*.jng)", "*.jng"},
    {"IFF Interleaved Bitmap (*.lbm)", "*.lbm"},
    {"Multiple-image Network Graphics (*.mng)", "*.mng"},
    {"High Dynamic Range image (*.hdr)", "*.hdr"},
    {"Wireless Bitmap (*.wbmp)", "*.wbmp"},
    {"X Pixmap (*.xpm)", "*.xpm"},
}};

// The types GDI+ decodes itself.
constexpr std::string_view kGdiplusPatterns =
    "*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.gif;*.bmp;*.tif;*.tiff;*.ico";

constexpr std::string_view kAllPictures = "All pictures";

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

bool NeedsImageMagickToRead(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    return IsPictureFileName(fileName) &&
           !MatchesPattern(fileName.substr(dot + 1), kGdiplusPatterns);
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
    AppendEntry(filter, kAllPictures, allPatterns);
    for (const FilterEntry& entry : kPictureTypes)
        AppendEntry(filter, entry.description, entry.pattern);
    filter.push_back('\0');
    return filter;
}

int PictureFilterEntryCount() {
    return static_cast<int>(kPictureTypes.size()) + 1;
}

}  // namespace quillon
