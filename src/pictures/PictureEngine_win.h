// Decoding pictures with GDI+ and drawing them into the main window's picture areas.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/Handles_win.h"
#include "pictures/PictureGeometry.h"

namespace quillon {

// Starts GDI+ once; it is never shut down.
void StartPictureEngine();

// Decodes a picture file; nothing when it cannot be read or decoded, or when the path
// carries the mark of a name the code page cannot write.
PictureOwner LoadPictureFile(const std::string& path);

// A decoded picture's size in pixels.
PixelSize PictureSize(Gdiplus::GpImage* picture);

// A picture file's size in pixels, read by decoding it whole, so that a broken file gives
// nothing; safe to call from several threads.
std::optional<PixelSize> DecodedPictureSize(const std::string& path);

// A copy of a picture at the size it is drawn at when fitted into an area of the given outer
// size: shrunk with good interpolation, or as it is when it fits. Drawn fitted into that area
// it lands on the same pixels as the picture itself, at a fraction of its memory. Nothing when
// the picture shrinks to no pixel or the copy cannot be made.
PictureOwner MakeFittedPreview(Gdiplus::GpImage* picture, PixelSize area);

// A picture loaded to be drawn in an area of the given outer size.
struct AreaPicture {
    PictureOwner preview;     // fitted to the area; the whole picture when no copy could be made
    PixelSize size;           // the picture's own size
    std::string reducedCopy;  // the reducer's copy, when the reducer read it; the caller's to
                              // keep or delete
    std::string refusal;      // without a preview: the reducer's words on why, when it had some
};

// Decodes a picture for an area: with GDI+ where it reads the file, as ever; otherwise, for a
// file of a picture type, through the reducer the window was handed.
AreaPicture LoadPictureForArea(const std::string& path, PixelSize area);

// Starts decoding a picture file with GDI+ on a thread of its own, so that a picture named
// before the window is made is ready when a slot asks for it. The next LoadPictureForArea
// takes it when it loads that same file unchanged, and lets it go otherwise: it is held no
// longer than until then.
void DecodeAhead(const std::string& path);

// A GDI+ drawing context on a picture area's off-screen image; null if it is none.
GraphicsOwner CreatePictureGraphics(HWND area);

// Clears the window's control controlId and draws the picture scaled down to fit, centred.
void DrawPictureFitted(HWND window, Gdiplus::GpImage* picture, int controlId);

// Decodes an embedded PNG (resource type RCDATA, name trimmed of blanks); nothing when
// there is no such resource or it does not decode.
PictureOwner LoadResourcePicture(const std::string& name);

// Clears a control and draws an embedded picture stretched into it, less 6 pixels each way;
// a missing picture leaves the control cleared.
void ShowResourcePicture(HWND window, int controlId, const std::string& name);

// Arial, regular weight, at a size in points on the given device context.
UniqueFont CreateArialFont(HDC dc, int points, bool italic);

// Writes a small caption into the top-right corner of the output area, over its picture.
void DrawCornerCaption(HWND window, const std::string& text);

}  // namespace quillon
