#pragma once

#include "model/SystemSnapshot.h"

#include <QObject>

#include <array>
#include <string>

namespace quillfen {

// A snapshot's document kept ready to send: the same bytes as `json::encode(snapshot.values())`,
// with each field written again only after the snapshot says that field changed. While only
// the menu bar is shown one reading changes a second, and the processes, volumes and
// histories the document also carries are copied as they were written.
class SnapshotDocument {
public:
    explicit SnapshotDocument(const SystemSnapshot& snapshot);
    SnapshotDocument(const SnapshotDocument&) = delete;
    SnapshotDocument& operator=(const SnapshotDocument&) = delete;

    // Empty while a reading is not finite, as such a snapshot is never sent.
    const std::string& text();

private:
    struct Piece {
        std::string text;
        bool finite = true;
        bool stale = true;
    };

    const SystemSnapshot& snapshot_;
    std::array<Piece, snapshotFieldCount> pieces_;
    std::string text_;
    bool stale_ = true;
    QObject receiver_; // ends the connections to the snapshot with this document
};

} // namespace quillfen
