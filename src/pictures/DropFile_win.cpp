#include "pictures/DropFile_win.h"

#include "app/AppState_win.h"
#include "app/Feedback_win.h"
#include "app/MainWindow_win.h"
#include "app/MenuIds.h"
#include "pictures/InputSlots_win.h"

namespace quillon {

HRESULT STDMETHODCALLTYPE DropFileC::QueryInterface(REFIID id, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (id != IID_IUnknown) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE DropFileC::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE DropFileC::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

void DropFileC::LoadDroppedFile(const std::string& path) {
    const AppState& app = App();
    const bool scriptTakesPictures = app.currentScript != 0 &&
                                     app.catalogue.Contains(app.currentScript) &&
                                     app.catalogue.At(app.currentScript).argCount > 0;
    if (!scriptTakesPictures || app.hoverSlot == 0) {
        RefusalBeep();
        return;
    }
    SetControlText(kOutputStatusId, "");
    FillSlot(app.hoverSlot, path);
}

}  // namespace quillon
