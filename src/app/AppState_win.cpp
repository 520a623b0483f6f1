#include "app/AppState_win.h"

namespace quillon {

AppState& App() {
    static AppState state;
    return state;
}

std::optional<int> ChosenArgCount() {
    const AppState& app = App();
    if (app.currentScript == 0 || !app.catalogue.Contains(app.currentScript))
        return std::nullopt;
    return app.catalogue.At(app.currentScript).argCount;
}

}  // namespace quillon
