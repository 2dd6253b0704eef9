#include "platform/fake/FakeHIDEventSystem.h"

namespace quillfen::platform::fake {
namespace {

class Client final : public HIDEventSystemClient {
public:
    explicit Client(FakeHIDEventSystem& system)
        : system_(system) {}
    void setMatching(const json::Json& matching) override { system_.lastMatching = matching; }
    std::optional<std::vector<std::shared_ptr<HIDServiceClient>>> copyServices() override {
        ++system_.listings;
        if (!system_.listable) return std::nullopt;
        return std::vector<std::shared_ptr<HIDServiceClient>>(system_.services.begin(),
                                                              system_.services.end());
    }

private:
    FakeHIDEventSystem& system_;
};

} // namespace

std::shared_ptr<HIDEventSystemClient> FakeHIDEventSystem::createClient() {
    if (!available) return nullptr;
    return std::make_shared<Client>(*this);
}

std::shared_ptr<FakeHIDService> FakeHIDEventSystem::addSensor(json::Json product,
                                                              std::optional<double> celsius) {
    auto s = std::make_shared<FakeHIDService>();
    s->product = std::move(product);
    s->temperature = celsius;
    services.push_back(s);
    return s;
}

} // namespace quillfen::platform::fake
