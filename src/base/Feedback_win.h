// The one sound the program makes: the beep with which it refuses an input.
#pragma once

namespace quillon {

// Sounds the default system beep (MessageBeep with 0).
void RefusalBeep();

// How many refusal beeps have sounded in this process, so tests can hear them.
unsigned RefusalBeepCount();

}  // namespace quillon
