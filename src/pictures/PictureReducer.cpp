#include "pictures/PictureReducer.h"

namespace quillon {

namespace {

PictureReducer*& Current() {
    static PictureReducer* reducer = nullptr;
    return reducer;
}

}  // namespace

void SetPictureReducer(PictureReducer* reducer) {
    Current() = reducer;
}

PictureReducer* CurrentPictureReducer() {
    return Current();
}

}  // namespace quillon
