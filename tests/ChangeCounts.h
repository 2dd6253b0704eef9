#pragma once

#include <QMetaMethod>
#include <QSignalSpy>

#include <map>
#include <memory>
#include <string>

namespace quillfen::testing {

// Counts every `<property>Changed` signal of an object, by property, for as long as it lives.
class ChangeCounts {
public:
    explicit ChangeCounts(const QObject& object) {
        const QMetaObject* meta = object.metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod signal = meta->method(i);
            const std::string name = signal.name().toStdString();
            if (signal.methodType() == QMetaMethod::Signal && name.ends_with("Changed"))
                spies_.emplace(name.substr(0, name.size() - 7),
                               std::make_unique<QSignalSpy>(&object, signal));
        }
    }
    // The properties that changed, with how often.
    std::map<std::string, int> counts() const {
        std::map<std::string, int> out;
        for (const auto& [name, spy] : spies_)
            if (spy->count() > 0) out[name] = static_cast<int>(spy->count());
        return out;
    }
    int operator[](const std::string& property) const {
        return static_cast<int>(spies_.at(property)->count());
    }
    // Signals of the readings, or of the histories.
    int total(bool histories) const {
        int n = 0;
        for (const auto& [name, count] : counts())
            if (name.ends_with("History") == histories) n += count;
        return n;
    }

private:
    std::map<std::string, std::unique_ptr<QSignalSpy>> spies_;
};

} // namespace quillfen::testing
