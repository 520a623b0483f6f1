#include "dialogs/SaveDialogPlacement_win.h"

namespace quillon {

namespace {

constexpr int kLeftOfOwner = 30;
constexpr int kAboveOwner = 50;

UINT_PTR CALLBACK PlaceOnceReady(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY)
        return 0;
    const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notice->hdr.code != CDN_INITDONE)
        return 0;
    HWND owner = reinterpret_cast<HWND>(notice->lpOFN->lCustData);
    RECT corner{};
    if (owner != nullptr && ::GetWindowRect(owner, &corner)) {
        // The hook's dialog is a child of the explorer-style dialog it customises.
        ::SetWindowPos(::GetParent(dialog), nullptr, corner.left - kLeftOfOwner,
                       corner.top - kAboveOwner, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

}  // namespace

void PlaceBesideOwner(OPENFILENAMEW& request, HWND owner) {
    request.Flags |= OFN_ENABLEHOOK;
    request.lpfnHook = PlaceOnceReady;
    request.lCustData = reinterpret_cast<LPARAM>(owner);
}

}  // namespace quillon
