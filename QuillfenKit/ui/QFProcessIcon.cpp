#include "ui/QFProcessIcon.h"

#include "platform/Platform.h"
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/FileIO.h"
#include "ui/ContinuousCorners.h"
#include "ui/Palette.h"
#include "ui/QFView.h"
#include "ui/Symbols.h"

#include <QBuffer>
#include <QIcon>
#include <QImageReader>

#include <cmath>
#include <map>

namespace quillfen {
namespace {

// Icons are decoded once at this size and scaled down from it for each size painted.
constexpr int kDecodedSide = 128;
// Larger files are not icons worth reading.
constexpr std::size_t kMaxIconBytes = 4 * 1024 * 1024;
constexpr std::size_t kMaxEntryBytes = 64 * 1024;
// A desktop session runs a few hundred programs at most; past this the cache starts over.
constexpr std::size_t kMaxCachedIcons = 512;

struct CachedIcon {
    QImage image; // null when the program has no icon of its own
    // The image scaled to a device-pixel side, made the first time that side is painted.
    std::map<int, QImage> scaled;
};

std::map<std::filesystem::path, CachedIcon>& cache() {
    static std::map<std::filesystem::path, CachedIcon> icons;
    return icons;
}

QImage decodeFile(const std::filesystem::path& file) {
    const auto bytes = readFile(file, kMaxIconBytes);
    if (!bytes) return {};
    QByteArray data = QByteArray::fromStdString(*bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    // Refuse images whose header announces something absurd before decoding them.
    if (size.isValid() && (size.width() > 4096 || size.height() > 4096)) return {};
    // Drawings are rendered at the decoding size, images larger than it are shrunk to it.
    const bool drawing = reader.format().startsWith("svg");
    if (size.isValid() && !size.isEmpty() &&
        (drawing || size.width() > kDecodedSide || size.height() > kDecodedSide))
        reader.setScaledSize(size.scaled(kDecodedSide, kDecodedSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A file name that stays inside the folder it is looked up in.
bool isPlainFileName(const std::string& name) {
    return !name.empty() && name.size() <= 255 && name != "." && name != ".." &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

QImage bundleIcon(const std::filesystem::path& bundle) {
    const auto info = platform::current().workspace->infoDictionaryOfBundle(bundle);
    if (!info) return {};
    const auto it = info->find("CFBundleIconFile");
    if (it == info->end() || !it->is_string()) return {};
    const std::string name = it->get<std::string>();
    if (!isPlainFileName(name)) return {};
    const auto resources = bundle / "Contents" / "Resources";
    // As on the original platform the name may leave out its extension.
    for (const char* extension : {"", ".png", ".svg"}) {
        if (*extension && std::filesystem::path(name).has_extension()) break;
        if (QImage image = decodeFile(resources / (name + extension)); !image.isNull())
            return image;
    }
    return {};
}

QImage themeIcon(const QString& name) {
    const QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull()) return {};
    return icon.pixmap(QSize(kDecodedSide, kDecodedSide))
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage desktopEntryIcon(const std::filesystem::path& entry) {
    const auto text = readFile(entry, kMaxEntryBytes);
    if (!text) return {};
    const auto keys = platform::linux::desktop::parse(*text);
    if (!keys) return {};
    const auto it = keys->find("Icon");
    if (it == keys->end() || it->second.empty() || it->second.size() > 1024) return {};
    const std::string& icon = it->second;
    if (icon.front() == '/') return decodeFile(icon);
    if (icon.find('/') != std::string::npos) return {};
    // Names sometimes carry the image's extension, which icon themes leave out.
    QString name = QString::fromStdString(icon);
    for (const char* extension : {".png", ".svg", ".xpm"})
        if (name.endsWith(QLatin1String(extension))) name.chop(4);
    return themeIcon(name);
}

QImage lookUp(const std::filesystem::path& url) {
    std::error_code error;
    if (std::filesystem::is_directory(url, error)) return bundleIcon(url);
    if (url.extension() == ".desktop") return desktopEntryIcon(url);
    return {};
}

CachedIcon& entryFor(const std::filesystem::path& url) {
    auto& icons = cache();
    if (const auto it = icons.find(url); it != icons.end()) return it->second;
    if (icons.size() >= kMaxCachedIcons) icons.clear();
    return icons.emplace(url, CachedIcon{lookUp(url), {}}).first->second;
}

void paintGearTile(QPainter& painter, const QRectF& box) {
    qfFillContinuous(painter, box, QFProcessIcon::tileRadius, QF::fill2());
    qfPaintSymbol(painter, box, "gearshape.fill", box.width() * 0.5, QFont::Normal, QF::text3());
}

} // namespace

QImage qfProcessIconImage(const std::filesystem::path& url) {
    return entryFor(url).image;
}

void qfPaintProcessIcon(QPainter& painter, const QRectF& box,
                        const std::optional<std::filesystem::path>& url) {
    if (!url || url->empty()) return paintGearTile(painter, box);
    CachedIcon& icon = entryFor(*url);
    if (icon.image.isNull()) return paintGearTile(painter, box);
    const double dpr = qfDeviceScale(painter);
    const int side = std::max(1, int(std::lround(box.width() * dpr)));
    auto it = icon.scaled.find(side);
    if (it == icon.scaled.end()) {
        QImage scaled =
            icon.image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(dpr);
        it = icon.scaled.emplace(side, std::move(scaled)).first;
    }
    const QImage& image = it->second;
    const QSizeF shown = image.deviceIndependentSize();
    painter.drawImage(QRectF(box.center().x() - shown.width() / 2,
                             box.center().y() - shown.height() / 2, shown.width(), shown.height()),
                      image);
}

void qfClearProcessIconCache() {
    cache().clear();
}

QFProcessIcon::QFProcessIcon(QWidget* parent)
    : QFProcessIcon(Options{}, parent) {}

QFProcessIcon::QFProcessIcon(Options options, QWidget* parent)
    : QWidget(parent) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setOptions(std::move(options));
}

void QFProcessIcon::setOptions(Options options) {
    o_ = std::move(options);
    // Looked up here, so that painting finds it ready.
    if (o_.bundleURL && !o_.bundleURL->empty()) entryFor(*o_.bundleURL);
    updateGeometry();
    update();
}

void QFProcessIcon::setBundleURL(std::optional<std::filesystem::path> url) {
    auto o = o_;
    o.bundleURL = std::move(url);
    setOptions(std::move(o));
}

QSize QFProcessIcon::sizeHint() const {
    const int side = int(std::ceil(o_.size));
    return {side, side};
}

void QFProcessIcon::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF box((width() - o_.size) / 2, (height() - o_.size) / 2, o_.size, o_.size);
    qfPaintProcessIcon(p, box, o_.bundleURL);
}

} // namespace quillfen
