#include "pictures/DropFile_win.h"

#include "base/ControlIds.h"
#include "base/DialogItems_win.h"
#include "base/Feedback_win.h"
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
    const DropContext now = context_ ? context_() : DropContext{};
    if (now.argCount <= 0 || now.hoverSlot == 0) {
        RefusalBeep();
        return;
    }
    SetOutputStatus(window_, "");
    FillSlot(window_, now.hoverSlot, path, now.argCount);
}

}  // namespace quillon
