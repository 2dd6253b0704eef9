#pragma once

#include <QImage>
#include <QWidget>

#include <filesystem>
#include <optional>

class QPainter;

namespace quillfen {

// A running program's icon, `size` × `size`: for a bundle the image its Info.json names
// (`CFBundleIconFile`, in `Contents/Resources`), for a program known by its desktop entry
// that entry's `Icon` (a theme icon name or an image file); otherwise a `fill2` tile with a
// gear. Icons are looked up once per bundle or entry, when the view is given its URL, and kept
// for the process: painting never reads a file.
class QFProcessIcon : public QWidget {
    Q_OBJECT

public:
    struct Options {
        std::optional<std::filesystem::path> bundleURL;
        double size = 16;
    };

    // With the defaults of Options.
    explicit QFProcessIcon(QWidget* parent = nullptr);
    explicit QFProcessIcon(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setBundleURL(std::optional<std::filesystem::path> url);

    QSize sizeHint() const override;

    static constexpr double tileRadius = 4;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// The icon of a bundle folder or desktop-entry file, looked up on the first request for that
// URL and remembered (a missing icon too); a null image when there is none.
QImage qfProcessIconImage(const std::filesystem::path& url);

// Paints the icon of `url` (looked up if it has not been yet) into `box`, or the gear tile.
void qfPaintProcessIcon(QPainter& painter, const QRectF& box,
                        const std::optional<std::filesystem::path>& url);

// Forgets every icon looked up so far; for tests.
void qfClearProcessIconCache();

} // namespace quillfen
