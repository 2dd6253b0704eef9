#pragma once

#include <functional>
#include <string>

namespace quillfen {

// What a client asks of the monitoring service. Documents are JSON bytes: snapshot documents
// and settings documents. Every message is one-way; answers come only through the replies.
class QuillfenServiceProtocol {
public:
    virtual ~QuillfenServiceProtocol() = default;
    // Registers the caller to be called back at `endpoint`; the reply says whether it was
    // accepted.
    virtual void registerClientWithEndpoint(const std::string& endpoint,
                                            std::function<void(bool)> reply) = 0;
    virtual void currentSnapshotWithReply(std::function<void(std::string document)> reply) = 0;
    virtual void setPopoverOpen(bool open) = 0;
    virtual void applySettings(const std::string& document) = 0;
};

// What the service tells each client.
class QuillfenClientProtocol {
public:
    virtual ~QuillfenClientProtocol() = default;
    virtual void snapshotDidUpdate(const std::string& document) = 0;
    virtual void settingsDidUpdate(const std::string& document) = 0;
};

} // namespace quillfen
