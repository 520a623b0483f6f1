#include "pictures/PictureFilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

using namespace std::string_literals;

// The filter split at its NULs; the closing double NUL leaves one empty part at the end.
std::vector<std::string> Parts(const std::string& filter) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (std::string::size_type i = 0; i < filter.size(); ++i) {
        if (filter[i] == '\0') {
            parts.push_back(filter.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

TEST(PictureFilter, IsTheExactListTheOpenDialogTakes) {
    const std::string expected =
        "All Images\0"
        "*.BMP;*.ICO;*.PNG;*.JPG;*.JPEG;*.JPE;*.JFIF;*.JIF;*.GIF;*.TIF;*.TIFF;*.PCD;*.PCX;*.CUT;*."
        "IFF;*.PBM;*.PGM;"
        "*.PPM;*.RAS;*.TGA;*.JNG;*.LBM;*.MNG;*.PSD;*.HDR;*.WBMP;*.XPM\0"
        "Windows Bitmap (*.bmp)\0*.BMP\0"
        "Windows Icon (*.ico)\0*.ICO\0"
        "Portable Network Graphic (*.png)\0*.PNG\0"
        "JPeg (*.jpg)\0*.JPG;*.JPEG;*.JPE;*.JFIF;*.JIF\0"
        "Graphics Interchange Format (*.gif)\0*.GIF\0"
        "Tagged Image File Format (*.tif)\0*.TIF;*.TIFF\0"
        "Kodak Photo CD (*.pcd)\0*.PCD\0"
        "PC Paintbrush (*.pcx)\0*.PCX\0"
        "Dr. Halo (*.cut)\0*.CUT\0"
        "Interchange File (*.iff)\0*.IFF\0"
        "Portable Bitmap (*.pbm)\0*.PBM\0"
        "Portable Graymap (*.pgm)\0*.PGM\0"
        "Portable Pixelmap (*.ppm)\0*.PPM\0"
        "Sun Raster (*.ras)\0*.RAS\0"
        "Targa (*.tga)\0*.TGA\0"
        "JPEG Network Graphics (*.jng)\0*.JNG\0"
        "IFF Interleaved Bitmap (*.lbm)\0*.LBM\0"
        "Multiple-image Network Graphics (*.mng)\0*.MNG\0"
        "Photoshop Document (*.psd)\0*.PSD\0"
        "High Dynamic Range image (*.hdr)\0*.HDR\0"
        "Wireless Bitmap (*.wbmp)\0*.WBMP\0"
        "X Pixmap (*.xpm)\0*.XPM\0"
        "\0"s;
    EXPECT_EQ(PictureFilterText(), expected);
}

TEST(PictureFilter, OffersTwentyThreeEntriesAndEndsInADoubleNul) {
    const std::string filter = PictureFilterText();
    const std::vector<std::string> parts = Parts(filter);
    ASSERT_EQ(parts.size(), 2u * 23u + 1u);
    EXPECT_EQ(PictureFilterEntryCount(), 23);
    EXPECT_EQ(parts.back(), "");
    EXPECT_EQ(filter.substr(filter.size() - 2), "\0\0"s);
}

TEST(PictureFilter, AllImagesIsTheUnionOfTheOtherPatternsInOrder) {
    const std::vector<std::string> parts = Parts(PictureFilterText());
    std::string united;
    for (std::size_t i = 3; i + 1 < parts.size(); i += 2)
        united += (united.empty() ? "" : ";") + parts[i];
    EXPECT_EQ(parts[0], "All Images");
    EXPECT_EQ(parts[1], united);
}

TEST(PictureFilter, HasNoEntryForAllFiles) {
    const std::vector<std::string> parts = Parts(PictureFilterText());
    for (std::size_t i = 1; i < parts.size(); i += 2)
        EXPECT_EQ(parts[i].find("*.*"), std::string::npos) << parts[i];
}

// A folder run takes exactly what the chooser offers.
TEST(PictureFilter, AFolderGivesItsPicturesOfEveryOfferedTypeInNameOrder) {
    EXPECT_EQ(PicturesAmong("C:\\f\\", {"b.TIFF", "notes.txt", "A.jpeg", "c.psd", ".png", "d.bmp",
                                        "e.jfif", "f.png", "g.JPG", "h.xyz", "noext", "i.tga"}),
              (std::vector<std::string>{"C:\\f\\A.jpeg", "C:\\f\\b.TIFF", "C:\\f\\c.psd",
                                        "C:\\f\\d.bmp", "C:\\f\\e.jfif", "C:\\f\\f.png",
                                        "C:\\f\\g.JPG", "C:\\f\\i.tga"}));
}

}  // namespace
}  // namespace quillon
