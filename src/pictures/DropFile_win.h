// The drop target: the one object through which a dropped file reaches the slots.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <functional>
#include <string>

namespace quillon {

// A COM object ends through its own Release, never through a delete of an interface
// pointer, so IUnknown's destructor is rightly not virtual.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
// What a drop needs to know of the window at the moment it arrives.
struct DropContext {
    int argCount = 0;   // the chosen script's input pictures; 0 when none or no script
    int hoverSlot = 0;  // the slot last found under the pointer; 0 = none
};

class DropFileC final : public IUnknown {
  public:
    DropFileC(HWND window, std::function<DropContext()> context)
        : window_(window), context_(std::move(context)) {}
    DropFileC(const DropFileC&) = delete;
    DropFileC& operator=(const DropFileC&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Loads one dropped file into the slot under the pointer; beeps when there is none.
    void LoadDroppedFile(const std::string& path);

  private:
    virtual ~DropFileC() = default;
    HWND window_;
    std::function<DropContext()> context_;
    LONG references_ = 1;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace quillon
