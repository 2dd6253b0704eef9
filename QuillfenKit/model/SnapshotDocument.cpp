#include "model/SnapshotDocument.h"

namespace quillfen {

SnapshotDocument::SnapshotDocument(const SystemSnapshot& snapshot)
    : snapshot_(snapshot) {
    for (std::size_t i = 0; i < snapshotFields.size(); ++i) {
        if (!snapshotFields[i].changed) continue;
        QObject::connect(&snapshot, snapshotFields[i].changed, &receiver_, [this, i] {
            pieces_[i].stale = true;
            stale_ = true;
        });
    }
}

const std::string& SnapshotDocument::text() {
    if (!stale_) return text_;
    stale_ = false;
    bool finite = true;
    text_.clear();
    text_.push_back('{');
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        auto& piece = pieces_[i];
        if (piece.stale) {
            json::Writer w(json::Writer::Piece{}, std::move(piece.text));
            snapshotFields[i].write(w, snapshotFields[i].key, snapshot_.values());
            piece.finite = w.finite();
            piece.text = std::move(w).takePiece();
            piece.stale = false;
        }
        finite = finite && piece.finite;
        if (piece.text.empty()) continue; // an absent reading
        if (text_.size() > 1) text_.push_back(',');
        text_ += piece.text;
    }
    text_.push_back('}');
    if (!finite) text_.clear();
    return text_;
}

} // namespace quillfen
