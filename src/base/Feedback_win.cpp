#include "base/Feedback_win.h"

#include <windows.h>

namespace quillon {

namespace {
unsigned beeps = 0;
}  // namespace

void RefusalBeep() {
    ++beeps;
    ::MessageBeep(0);
}

unsigned RefusalBeepCount() {
    return beeps;
}

}  // namespace quillon
