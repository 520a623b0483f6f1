#include "app/Keyboard_win.h"

#include <memory>

#include "app/MenuIds.h"

namespace quillon {
namespace {

struct KeyboardWatch {
    HWND window = nullptr;
    HHOOK hook = nullptr;
    bool lastInputWasKeyboard = false;

    KeyboardWatch() = default;
    KeyboardWatch(const KeyboardWatch&) = delete;
    KeyboardWatch& operator=(const KeyboardWatch&) = delete;
    ~KeyboardWatch() {
        if (hook != nullptr)
            ::UnhookWindowsHookEx(hook);
    }
};

std::unique_ptr<KeyboardWatch>& TheWatch() {
    static std::unique_ptr<KeyboardWatch> watch;
    return watch;
}

bool IsMouseButton(UINT message) {
    return (message >= WM_LBUTTONDOWN && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL) ||
           (message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDBLCLK);
}

// Sees each message as it is taken from the queue, before the dialog manager does: F5 has
// no control of its own to go to, and a dialog has no accelerator table.
LRESULT CALLBACK OnTakenMessage(int code, WPARAM removal, LPARAM lParam) {
    KeyboardWatch* watch = TheWatch().get();
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (watch != nullptr && code == HC_ACTION && removal == PM_REMOVE && message != nullptr) {
        if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST)
            watch->lastInputWasKeyboard = true;
        else if (IsMouseButton(message->message))
            watch->lastInputWasKeyboard = false;
        // Only while the window has no dialog open over it: F5 there is that dialog's.
        const bool ours = message->hwnd == watch->window || ::IsChild(watch->window, message->hwnd);
        if (message->message == WM_KEYDOWN && message->wParam == VK_F5 && ours) {
            ::PostMessageW(watch->window, kReadFolderAgainMessage, 0, 0);
            message->message = WM_NULL;
        }
    }
    return ::CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

void WatchKeyboard(HWND window) {
    auto watch = std::make_unique<KeyboardWatch>();
    watch->window = window;
    watch->hook =
        ::SetWindowsHookExW(WH_GETMESSAGE, OnTakenMessage, nullptr, ::GetCurrentThreadId());
    TheWatch() = std::move(watch);
}

void StopWatchingKeyboard() {
    TheWatch().reset();
}

bool LastInputWasKeyboard() {
    return TheWatch() != nullptr && TheWatch()->lastInputWasKeyboard;
}

}  // namespace quillon
