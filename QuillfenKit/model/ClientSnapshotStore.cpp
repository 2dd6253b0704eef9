#include "model/ClientSnapshotStore.h"

#include <utility>

namespace quillfen {

namespace {
// Lives for the process; never destroyed at exit, so no exit-time order can outlive it.
ClientSnapshotStore* instance = nullptr;
} // namespace

ClientSnapshotStore& ClientSnapshotStore::shared() {
    if (!instance) instance = new ClientSnapshotStore;
    return *instance;
}

void ClientSnapshotStore::resetShared() {
    delete std::exchange(instance, nullptr);
}

void ClientSnapshotStore::apply(std::string_view bytes) {
    if (const auto values = json::decode<SnapshotValues>(bytes)) snapshot_.apply(*values);
}

} // namespace quillfen
