#include "model/ClientSnapshotStore.h"

namespace quillfen {

ClientSnapshotStore& ClientSnapshotStore::shared() {
    // Lives for the process; never destroyed, so no exit-time order can outlive it.
    static ClientSnapshotStore* instance = new ClientSnapshotStore;
    return *instance;
}

void ClientSnapshotStore::apply(std::string_view bytes) {
    if (const auto values = json::decode<SnapshotValues>(bytes)) snapshot_.apply(*values);
}

} // namespace quillfen
