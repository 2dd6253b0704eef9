// quillfen-gallery: renders every component and chart of the kit in every theme to PNG files,
// offscreen, so they can be looked at without a desktop. With --icons it writes the
// application icon in the icon theme's sizes instead; with --settings, the settings window's
// tabs; with --menu, the tray popover and the tray icon.

#include "GallerySheet.h"
#include "MenuShots.h"
#include "SettingsShots.h"
#include "platform/Platform.h"
#include "platform/fake/FakeUserDefaults.h"
#include "settings/AppSettings.h"
#include "ui/QFQuillfenMark.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

namespace {

using namespace quillfen;

int usage() {
    std::cerr << "usage: quillfen-gallery [--out DIR] [--scale 1|2]\n"
                 "       quillfen-gallery --settings DIR [--scale 1|2]   (every settings tab in "
                 "every theme)\n"
                 "       quillfen-gallery --menu DIR [--scale 1|2]   (the tray popover and "
                 "icon)\n"
                 "       quillfen-gallery --icons DIR   (hicolor/<N>x<N>/apps/quillfen.png and "
                 "scalable/apps/quillfen.svg)\n";
    return 2;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

int writeIcons(const QString& dir) {
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(side);
        if (!QDir().mkpath(folder) ||
            !qfQuillfenAppIconImage(side).save(folder + "/quillfen.png", "PNG")) {
            std::cerr << "quillfen-gallery: cannot write " << folder.toStdString() << "\n";
            return 1;
        }
    }
    const QString scalable = dir + "/hicolor/scalable/apps";
    if (!QDir().mkpath(scalable) ||
        !writeFile(scalable + "/quillfen.svg", qfQuillfenAppIconSVG())) {
        std::cerr << "quillfen-gallery: cannot write " << scalable.toStdString() << "\n";
        return 1;
    }
    std::cout << "icons written under " << dir.toStdString() << "/hicolor\n";
    return 0;
}

// A bundle with an icon of its own, so the process lists show one.
std::filesystem::path makeIconBundle(const QTemporaryDir& tmp) {
    const QString bundle = tmp.path() + "/Quillfen.app";
    QDir().mkpath(bundle + "/Contents/Resources");
    writeFile(bundle + "/Contents/Info.json",
              R"({"CFBundleIdentifier":"com.brenvoll.pellgrove","CFBundleIconFile":"quillfen"})");
    qfQuillfenAppIconImage(128).save(bundle + "/Contents/Resources/quillfen.png", "PNG");
    return bundle.toStdString();
}

} // namespace

// The offscreen platform says so whenever a sheet is shown; nothing to act on.
void quietOffscreen(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.contains("propagateSizeHints") || message.startsWith("QStandardPaths:")) return;
    std::cerr << (type == QtDebugMsg ? "" : "quillfen-gallery: ") << message.toStdString() << "\n";
}

int main(int argc, char* argv[]) {
    // Rendering needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);

    QString out = ".", icons, settings, menu;
    double scale = 1;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size())
            out = args[++i];
        else if (args[i] == "--scale" && i + 1 < args.size()) {
            const QString s = args[++i];
            if (s != "1" && s != "2") return usage();
            scale = s.toDouble();
        } else if (args[i] == "--icons" && i + 1 < args.size())
            icons = args[++i];
        else if (args[i] == "--settings" && i + 1 < args.size())
            settings = args[++i];
        else if (args[i] == "--menu" && i + 1 < args.size())
            menu = args[++i];
        else
            return usage();
    }
    if (!icons.isEmpty()) return writeIcons(icons);

    // Themes are switched in memory: the user's own settings stay untouched.
    platform::Platform inMemory = platform::current();
    inMemory.userDefaults = std::make_shared<platform::fake::FakeUserDefaultsSuites>();
    platform::ScopedPlatform scope(inMemory);

    if (!settings.isEmpty()) {
        if (!QDir().mkpath(settings)) {
            std::cerr << "quillfen-gallery: cannot create " << settings.toStdString() << "\n";
            return 1;
        }
        return gallery::writeSettingsShots(settings, scale);
    }
    if (!menu.isEmpty()) {
        if (!QDir().mkpath(menu)) {
            std::cerr << "quillfen-gallery: cannot create " << menu.toStdString() << "\n";
            return 1;
        }
        return gallery::writeMenuShots(menu, scale);
    }

    QTemporaryDir tmp;
    if (!tmp.isValid() || !QDir().mkpath(out)) {
        std::cerr << "quillfen-gallery: cannot create " << out.toStdString() << "\n";
        return 1;
    }
    const auto bundle = makeIconBundle(tmp);
    for (const auto theme : kThemeChoices.allCases()) {
        AppSettings::shared().setTheme(theme);
        std::unique_ptr<QWidget> sheet(gallery::makeSheet(bundle));
        sheet->setAttribute(Qt::WA_DontShowOnScreen);
        sheet->show();
        sheet->adjustSize();
        // Wrapped text needs the height it takes at the sheet's width.
        if (sheet->hasHeightForWidth())
            sheet->resize(sheet->width(), sheet->heightForWidth(sheet->width()));
        QImage image(sheet->size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        sheet->render(&image);
        const QString path =
            QStringLiteral("%1/%2.png").arg(out, QString::fromUtf8(rawValue(theme)));
        if (!image.save(path, "PNG")) {
            std::cerr << "quillfen-gallery: cannot write " << path.toStdString() << "\n";
            return 1;
        }
        std::cout << path.toStdString() << " " << image.width() << "x" << image.height() << "\n";
    }
    return 0;
}
