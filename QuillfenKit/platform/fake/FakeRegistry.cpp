#include "platform/fake/FakeRegistry.h"

namespace quillfen::platform::fake {
namespace {

class Handle final : public RegistryService {
public:
    Handle(std::shared_ptr<FakeRegistry::Service> service,
           std::shared_ptr<FakeRegistry::Counters> counters)
        : service_(std::move(service))
        , counters_(std::move(counters)) {
        ++counters_->live;
    }
    ~Handle() override { --counters_->live; }

    std::optional<RegistryDictionary> properties() const override {
        ++counters_->propertiesReads;
        return service_->properties;
    }

    std::optional<RegistryValue> property(std::string_view key) const override {
        ++counters_->propertyReads;
        if (!service_->properties) return std::nullopt;
        const auto it = service_->properties->find(key);
        if (it == service_->properties->end()) return std::nullopt;
        return it->second;
    }

private:
    std::shared_ptr<FakeRegistry::Service> service_;
    std::shared_ptr<FakeRegistry::Counters> counters_;
};

} // namespace

std::optional<std::vector<std::unique_ptr<RegistryService>>>
FakeRegistry::servicesMatching(std::string_view className) {
    if (failMatching) return std::nullopt;
    std::vector<std::unique_ptr<RegistryService>> out;
    if (const auto it = classes_.find(className); it != classes_.end()) {
        for (const auto& service : it->second)
            out.push_back(std::make_unique<Handle>(service, counters_));
    }
    return out;
}

std::unique_ptr<RegistryService> FakeRegistry::entryFromPath(std::string_view path) {
    const auto it = entries_.find(path);
    if (it == entries_.end()) return nullptr;
    return std::make_unique<Handle>(it->second, counters_);
}

std::shared_ptr<FakeRegistry::Service>
FakeRegistry::addEntry(const std::string& path, std::optional<RegistryDictionary> properties) {
    auto service = std::make_shared<Service>(Service{std::move(properties)});
    entries_[path] = service;
    return service;
}

std::shared_ptr<FakeRegistry::Service>
FakeRegistry::add(const std::string& className, std::optional<RegistryDictionary> properties) {
    auto service = std::make_shared<Service>(Service{std::move(properties)});
    classes_[className].push_back(service);
    return service;
}

} // namespace quillfen::platform::fake
