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
        "All pictures\0"
        "*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.heic;*.heif;*.webp;*.avif;*.tif;*.tiff;*.gif;*.bmp;"
        "*.cr2;*.cr3;*.nef;*.arw;*.dng;*.raf;*.orf;*.rw2;*.pef;*.psd;*.ico;*.pcd;*.pcx;*.cut;"
        "*.iff;*.pbm;*.pgm;*.ppm;*.ras;*.tga;*.jng;*.lbm;*.mng;*.hdr;*.wbmp;*.xpm\0"
        "JPEG (*.jpg, *.jpeg, *.jpe, *.jfif)\0*.jpg;*.jpeg;*.jpe;*.jfif\0"
        "PNG (*.png)\0*.png\0"
        "HEIC/HEIF (*.heic, *.heif)\0*.heic;*.heif\0"
        "WebP (*.webp)\0*.webp\0"
        "AVIF (*.avif)\0*.avif\0"
        "TIFF (*.tif, *.tiff)\0*.tif;*.tiff\0"
        "GIF (*.gif)\0*.gif\0"
        "BMP (*.bmp)\0*.bmp\0"
        "Camera RAW (*.cr2, *.cr3, *.nef, *.arw, *.dng, *.raf, *.orf, *.rw2, *.pef)\0"
        "*.cr2;*.cr3;*.nef;*.arw;*.dng;*.raf;*.orf;*.rw2;*.pef\0"
        "Photoshop Document (*.psd)\0*.psd\0"
        "Windows Icon (*.ico)\0*.ico\0"
        "Kodak Photo CD (*.pcd)\0*.pcd\0"
        "PC Paintbrush (*.pcx)\0*.pcx\0"
        "Dr. Halo (*.cut)\0*.cut\0"
        "Interchange File (*.iff)\0*.iff\0"
        "Portable Bitmap (*.pbm)\0*.pbm\0"
        "Portable Graymap (*.pgm)\0*.pgm\0"
        "Portable Pixelmap (*.ppm)\0*.ppm\0"
        "Sun Raster (*.ras)\0*.ras\0"
        "Targa (*.tga)\0*.tga\0"
        "JPEG Network Graphics (*.jng)\0*.jng\0"
        "IFF Interleaved Bitmap (*.lbm)\0*.lbm\0"
        "Multiple-image Network Graphics (*.mng)\0*.mng\0"
        "High Dynamic Range image (*.hdr)\0*.hdr\0"
        "Wireless Bitmap (*.wbmp)\0*.wbmp\0"
        "X Pixmap (*.xpm)\0*.xpm\0"
        "\0"s;
    EXPECT_EQ(PictureFilterText(), expected);
}

TEST(PictureFilter, OffersTwentySevenEntriesAndEndsInADoubleNul) {
    const std::string filter = PictureFilterText();
    const std::vector<std::string> parts = Parts(filter);
    ASSERT_EQ(parts.size(), 2u * 27u + 1u);
    EXPECT_EQ(PictureFilterEntryCount(), 27);
    EXPECT_EQ(parts.back(), "");
    EXPECT_EQ(filter.substr(filter.size() - 2), "\0\0"s);
}

TEST(PictureFilter, AllImagesIsTheUnionOfTheOtherPatternsInOrder) {
    const std::vector<std::string> parts = Parts(PictureFilterText());
    std::string united;
    for (std::size_t i = 3; i + 1 < parts.size(); i += 2)
        united += (united.empty() ? "" : ";") + parts[i];
    EXPECT_EQ(parts[0], "All pictures");
    EXPECT_EQ(parts[1], united);
}

TEST(PictureFilter, HasNoEntryForAllFiles) {
    const std::vector<std::string> parts = Parts(PictureFilterText());
    for (std::size_t i = 1; i < parts.size(); i += 2)
        EXPECT_EQ(parts[i].find("*.*"), std::string::npos) << parts[i];
}

// A folder run takes exactly what the chooser offers.
TEST(PictureFilter, AFolderGivesItsPicturesOfEveryOfferedTypeInNameOrder) {
    EXPECT_EQ(
        PicturesAmong("C:\\f\\",
                      {"b.TIFF", "notes.txt", "A.jpeg", "c.psd",  ".png",       "d.bmp",  "e.jfif",
                       "f.png",  "g.JPG",     "h.xyz",  "noext",  "i.tga",      "j.HEIC", "k.webp",
                       "l.avif", "m.Cr3",     "n.dng",  "o.heif", "p.webp.txt", "q.raw",  "r.jif"}),
        (std::vector<std::string>{"C:\\f\\A.jpeg", "C:\\f\\b.TIFF", "C:\\f\\c.psd", "C:\\f\\d.bmp",
                                  "C:\\f\\e.jfif", "C:\\f\\f.png", "C:\\f\\g.JPG", "C:\\f\\i.tga",
                                  "C:\\f\\j.HEIC", "C:\\f\\k.webp", "C:\\f\\l.avif", "C:\\f\\m.Cr3",
                                  "C:\\f\\n.dng", "C:\\f\\o.heif"}));
}

// GDI+ keeps its own types; ImageMagick is asked only for the other offered ones.
TEST(PictureFilter, OnlyOfferedTypesGdiplusLacksGoToImageMagick) {
    for (const char* name : {"a.HEIC", "b.webp", "c.avif", "d.psd", "e.tga", "f.ppm", "g.cr2",
                             "h.DNG", "i.xpm", "j.heif"})
        EXPECT_TRUE(NeedsImageMagickToRead(name)) << name;
    for (const char* name :
         {"a.jpg", "b.JPEG", "c.jpe", "d.jfif", "e.png", "f.gif", "g.bmp", "h.tif", "i.TIFF",
          "j.ico", "notes.txt", "script.msl", "noext", ".webp"})
        EXPECT_FALSE(NeedsImageMagickToRead(name)) << name;
}

}  // namespace
}  // namespace quillon
