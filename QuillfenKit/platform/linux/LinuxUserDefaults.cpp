#include "platform/linux/LinuxUserDefaults.h"

#include "platform/linux/XdgDirs.h"
#include "support/Json.h"

#include <QIODevice>
#include <QSettings>

#include <algorithm>

namespace quillfen::platform::linux {
namespace {

// A value of a kind the store does not hand out, kept verbatim for the next write.
struct ForeignValue {
    std::string json;
};

} // namespace
} // namespace quillfen::platform::linux

Q_DECLARE_METATYPE(quillfen::platform::linux::ForeignValue)

namespace quillfen::platform::linux {
namespace {

bool readJson(QIODevice& device, QSettings::SettingsMap& map) {
    if (device.size() > static_cast<qint64>(json::kMaxDocumentBytes)) return false;
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty()) return true; // a new, empty store
    const auto doc = json::parse(std::string_view(bytes.constData(), bytes.size()));
    if (!doc || !doc->is_object()) return false;
    for (const auto& [key, value] : doc->items()) {
        const QString name = QString::fromStdString(key);
        if (value.is_boolean()) {
            map.insert(name, value.get<bool>());
        } else if (value.is_string()) {
            map.insert(name, QString::fromStdString(value.get<std::string>()));
        } else if (value.is_array() && std::all_of(value.begin(), value.end(),
                                                   [](const auto& e) { return e.is_string(); })) {
            QStringList list;
            for (const auto& e : value)
                list << QString::fromStdString(e.template get<std::string>());
            map.insert(name, list);
        } else {
            map.insert(name, QVariant::fromValue(ForeignValue{value.dump()}));
        }
    }
    return true;
}

bool writeJson(QIODevice& device, const QSettings::SettingsMap& map) {
    json::Json doc = json::Json::object();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const std::string key = it.key().toStdString();
        const QVariant& v = it.value();
        switch (v.typeId()) {
        case QMetaType::Bool:
            doc[key] = v.toBool();
            break;
        case QMetaType::QString:
            doc[key] = v.toString().toStdString();
            break;
        case QMetaType::QStringList: {
            auto& list = doc[key] = json::Json::array();
            for (const auto& s : v.toStringList())
                list.push_back(s.toStdString());
            break;
        }
        default:
            if (v.canConvert<ForeignValue>()) {
                if (auto kept = json::parse(v.value<ForeignValue>().json)) doc[key] = *kept;
            }
        }
    }
    const auto text = json::dump(doc);
    if (!text) return false;
    return device.write(text->data(), static_cast<qint64>(text->size())) ==
               static_cast<qint64>(text->size()) &&
           device.write("\n", 1) == 1;
}

QSettings::Format jsonFormat() {
    static const QSettings::Format format = QSettings::registerFormat("json", readJson, writeJson);
    return format;
}

// QSettings would replace a file it cannot read with the next write. Whatever it held is
// moved aside instead, where the user can still find it.
void moveAside(const std::filesystem::path& file) {
    std::error_code ec;
    auto aside = file;
    aside += ".unreadable";
    std::filesystem::rename(file, aside, ec);
}

std::unique_ptr<QSettings> openSettings(const std::filesystem::path& file) {
    const QString name = QString::fromStdString(file.string());
    auto settings = std::make_unique<QSettings>(name, jsonFormat());
    if (settings->status() != QSettings::FormatError) return settings;
    settings.reset();
    moveAside(file);
    return std::make_unique<QSettings>(name, jsonFormat());
}

std::optional<DefaultsValue> fromVariant(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::QString:
        return v.toString().toStdString();
    case QMetaType::QStringList: {
        std::vector<std::string> list;
        for (const auto& s : v.toStringList())
            list.push_back(s.toStdString());
        return list;
    }
    default:
        return std::nullopt;
    }
}

QVariant toVariant(const DefaultsValue& value) {
    if (const auto* b = std::get_if<bool>(&value)) return *b;
    if (const auto* s = std::get_if<std::string>(&value)) return QString::fromStdString(*s);
    QStringList list;
    for (const auto& s : std::get<std::vector<std::string>>(value))
        list << QString::fromStdString(s);
    return list;
}

QString keyName(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

bool isPlainName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

} // namespace

LinuxUserDefaults::LinuxUserDefaults(std::filesystem::path file)
    : file_(std::move(file))
    , settings_(openSettings(file_)) {}

void LinuxUserDefaults::refresh() const {
    // Picks up what other processes have written since. A file that stopped parsing would be
    // replaced by this process's keys alone at its next write; it is moved aside instead.
    settings_->sync();
    if (settings_->status() != QSettings::FormatError) return;
    // Closed first: QSettings shares one cache per file among its objects.
    settings_.reset();
    moveAside(file_);
    settings_ = openSettings(file_);
}

LinuxUserDefaults::~LinuxUserDefaults() = default;

std::optional<DefaultsValue> LinuxUserDefaults::objectForKey(std::string_view key) const {
    refresh();
    return fromVariant(settings_->value(keyName(key)));
}

void LinuxUserDefaults::setObject(const DefaultsValue& value, std::string_view key) {
    refresh();
    settings_->setValue(keyName(key), toVariant(value));
    settings_->sync();
}

void LinuxUserDefaults::removeObjectForKey(std::string_view key) {
    refresh();
    settings_->remove(keyName(key));
    settings_->sync();
}

LinuxUserDefaultsSuites::LinuxUserDefaultsSuites(std::shared_ptr<const FileManager> files,
                                                 std::filesystem::path configFolder)
    : files_(std::move(files))
    , configFolder_(std::move(configFolder)) {}

std::optional<std::filesystem::path> LinuxUserDefaultsSuites::configFolder() const {
    if (!configFolder_.empty()) return configFolder_;
    const auto config = xdg::configHome();
    if (!config) return std::nullopt;
    return *config / "quillfen";
}

std::shared_ptr<UserDefaults> LinuxUserDefaultsSuites::open(const std::string& key,
                                                            const std::filesystem::path& file) {
    auto& slot = open_[key];
    if (!slot) slot = std::make_shared<LinuxUserDefaults>(file);
    return slot;
}

std::shared_ptr<UserDefaults> LinuxUserDefaultsSuites::standardUserDefaults() {
    auto folder = configFolder();
    // Without a home there is nowhere to keep anything; an unwritable path keeps the store
    // in memory for the life of the process.
    return open("", folder ? *folder / "defaults.json" : "/nonexistent/quillfen/defaults.json");
}

std::shared_ptr<UserDefaults> LinuxUserDefaultsSuites::suiteNamed(std::string_view suiteName) {
    if (!isPlainName(suiteName)) return nullptr;
    const std::string name(suiteName);
    std::optional<std::filesystem::path> file;
    if (name.starts_with("group.")) {
        if (auto container = files_->containerForSecurityApplicationGroup(name))
            file = *container / "Library" / "Preferences" / (name + ".json");
    } else if (auto folder = configFolder()) {
        file = *folder / (name + ".json");
    }
    if (!file) return nullptr;
    return open(name, *file);
}

} // namespace quillfen::platform::linux
