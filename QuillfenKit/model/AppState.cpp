#include "model/AppState.h"

#include <utility>

namespace quillfen {

namespace {
// Lives for the process; never destroyed at exit, so no exit-time order can outlive it.
AppState* instance = nullptr;
} // namespace

AppState& AppState::shared() {
    if (!instance) instance = new AppState;
    return *instance;
}

void AppState::resetShared() {
    delete std::exchange(instance, nullptr);
}

} // namespace quillfen
