#pragma once

#include "platform/Registry.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillfen::platform::fake {

// A registry of services described by the test. Each service's properties may be changed
// while a component holds it; the registry counts handles and reads.
class FakeRegistry final : public Registry {
public:
    struct Service {
        // Nothing makes every read of the service fail.
        std::optional<RegistryDictionary> properties;
    };

    std::optional<std::vector<std::unique_ptr<RegistryService>>>
    servicesMatching(std::string_view className) override;
    std::unique_ptr<RegistryService> entryFromPath(std::string_view path) override;

    // Adds a service to `className` and returns it for later changes.
    std::shared_ptr<Service> add(const std::string& className,
                                 std::optional<RegistryDictionary> properties);

    // Adds an entry at `path` and returns it for later changes.
    std::shared_ptr<Service> addEntry(const std::string& path,
                                      std::optional<RegistryDictionary> properties);

    bool failMatching = false;
    // Handles handed out and not yet destroyed.
    int liveHandles() const { return counters_->live; }
    int propertiesReads() const { return counters_->propertiesReads; }
    int propertyReads() const { return counters_->propertyReads; }

    struct Counters {
        int live = 0;
        int propertiesReads = 0;
        int propertyReads = 0;
    };

private:
    std::map<std::string, std::vector<std::shared_ptr<Service>>, std::less<>> classes_;
    std::map<std::string, std::shared_ptr<Service>, std::less<>> entries_;
    std::shared_ptr<Counters> counters_ = std::make_shared<Counters>();
};

} // namespace quillfen::platform::fake
