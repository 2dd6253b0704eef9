#include "model/AppState.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(AppState, AssigningTheSameValueNotifiesNobody) {
    auto& state = AppState::shared();
    int changes = 0;
    const auto c = QObject::connect(&state, &AppState::popoverIsOpenChanged, [&] { ++changes; });
    state.setPopoverIsOpen(state.popoverIsOpen());
    EXPECT_EQ(changes, 0);
    state.setPopoverIsOpen(!state.popoverIsOpen());
    state.setPopoverIsOpen(!state.popoverIsOpen());
    EXPECT_EQ(changes, 2);
    QObject::disconnect(c);
}

} // namespace
} // namespace quillfen
