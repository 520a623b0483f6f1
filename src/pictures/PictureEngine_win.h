// The GDI+ picture decoder, started once and never shut down.
#pragma once

namespace quillon {

void StartPictureEngine();

}  // namespace quillon
