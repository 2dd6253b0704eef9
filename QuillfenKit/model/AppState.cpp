#include "model/AppState.h"

namespace quillfen {

AppState& AppState::shared() {
    // Lives for the process; never destroyed, so no exit-time order can outlive it.
    static AppState* instance = new AppState;
    return *instance;
}

} // namespace quillfen
