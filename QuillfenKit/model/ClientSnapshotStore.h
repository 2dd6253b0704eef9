#pragma once

#include "model/SystemSnapshot.h"

#include <cstddef>
#include <string_view>

namespace quillfen {

// The client's one snapshot, which every document received from the service updates in
// place, so views bound to it never rebind.
class ClientSnapshotStore {
public:
    static ClientSnapshotStore& shared();
    // For tests: the next shared() starts afresh, on the platform current then.
    static void resetShared();

    SystemSnapshot& snapshot() { return snapshot_; }

    // Decodes one snapshot document and copies it into the snapshot; a document that does
    // not decode as a whole changes nothing.
    void apply(std::string_view bytes);

private:
    SystemSnapshot snapshot_;
};

} // namespace quillfen
