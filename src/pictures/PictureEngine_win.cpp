#include "pictures/PictureEngine_win.h"

#include "pictures/Gdiplus_win.h"

namespace quillon {

void StartPictureEngine() {
    // Its result is not examined: without the decoder, loading a picture simply fails later.
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

}  // namespace quillon
