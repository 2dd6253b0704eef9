#include "ui/Palette.h"

#include "settings/AppSettings.h"

namespace quillfen {
namespace {

QColor hex(unsigned rgb) {
    return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

QColor white(double opacity) {
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}

QColor black(double opacity) {
    return QColor::fromRgbF(0, 0, 0, float(opacity));
}

QFThemeChoice currentTheme() {
    return AppSettings::shared().theme();
}

QColor accentFor(const QFAccents& a, MenuBarMetric metric) {
    switch (metric) {
    case MenuBarMetric::cpu:
        return a.cpu;
    case MenuBarMetric::gpu:
        return a.gpu;
    case MenuBarMetric::memory:
        return a.mem;
    case MenuBarMetric::temperature:
        return a.warn;
    case MenuBarMetric::battery:
        return a.bat;
    case MenuBarMetric::netDown:
    case MenuBarMetric::netUp:
        return a.net;
    }
    return a.cpu;
}

} // namespace

// clang-format off
const QFAccents& QFAccents::multi() {
    static const QFAccents a{hex(0x00AFFF), hex(0xAE89FF), hex(0xFFA714), hex(0x4CD676), hex(0xF970D2),
                             hex(0x88D656), hex(0xFF6853), hex(0xFC5855), hex(0xFF992B)};
    return a;
}
const QFAccents& QFAccents::dual() {
    static const QFAccents a{hex(0x00AFFF), hex(0x008CDF), hex(0xFFA034), hex(0xEB7C33), hex(0xFFB678),
                             hex(0x60C2FF), hex(0xFF6853), hex(0x0077BD), hex(0xFF992B)};
    return a;
}
const QFAccents& QFAccents::mono() {
    static const QFAccents a{hex(0xFFA84A), hex(0xEC7D00), hex(0xFFC484), hex(0xFF9000), hex(0xD77600),
                             hex(0xFFB769), hex(0xF0532B), hex(0xBF5900), hex(0xFFA242)};
    return a;
}
const QFAccents& QFAccents::monoGray() {
    static const QFAccents a{hex(0xD1D1D1), hex(0xA4A4A4), hex(0xE8E8E8), hex(0xBEBEBE), hex(0x8C8C8C),
                             hex(0xD7D7D7), hex(0xEF5B36), hex(0x747474), hex(0xD1D1D1)};
    return a;
}
const QFAccents& QFAccents::monoBlue() {
    static const QFAccents a{hex(0x00B9FF), hex(0x008FE1), hex(0x62DAFF), hex(0x00A5EC), hex(0x007ACB),
                             hex(0x36CDFF), hex(0xEF5B36), hex(0x006EB8), hex(0x00B2FE)};
    return a;
}
const QFAccents& QFAccents::light() {
    static const QFAccents a{hex(0x007FE1), hex(0x8658E1), hex(0xD36E00), hex(0x00A245), hex(0xD53DAF),
                             hex(0x55AB00), hex(0xE62E1E), hex(0xD40924), hex(0xD46000)};
    return a;
}

const QFSurfaces& QFSurfaces::dark() {
    static const QFSurfaces s{
        hex(0x0A0B0E), hex(0x16171E), hex(0x131418), hex(0x101116), hex(0x0C0D12),
        white(0.02), white(0.06), white(0.10),
        white(0.025), white(0.04), white(0.06), white(0.08), white(0.05),
        hex(0xF1F2F6), hex(0x9A9CAE), hex(0x5B5D6E), hex(0x3D3F4A)};
    return s;
}
const QFSurfaces& QFSurfaces::light() {
    static const QFSurfaces s{
        hex(0xF3F4F7), hex(0xFFFFFF), hex(0xFAFBFD), hex(0xEEF0F4), hex(0xE7E9EE),
        black(0.015), black(0.08), black(0.12),
        black(0.025), black(0.04), black(0.06), black(0.08), black(0.06),
        hex(0x1C1D22), hex(0x535463), hex(0x85869A), hex(0xB8B9C6)};
    return s;
}
// clang-format on

const QFAccents& accents(QFThemeChoice theme) {
    switch (theme) {
    case QFThemeChoice::multi:
        return QFAccents::multi();
    case QFThemeChoice::dual:
        return QFAccents::dual();
    case QFThemeChoice::mono:
        return QFAccents::mono();
    case QFThemeChoice::monoGray:
        return QFAccents::monoGray();
    case QFThemeChoice::monoBlue:
        return QFAccents::monoBlue();
    case QFThemeChoice::light:
        return QFAccents::light();
    }
    return QFAccents::multi();
}

const QFSurfaces& surfaces(QFThemeChoice theme) {
    return isLight(theme) ? QFSurfaces::light() : QFSurfaces::dark();
}

std::array<QColor, 5> swatches(QFThemeChoice theme) {
    const auto& a = accents(theme);
    return {a.cpu, a.gpu, a.mem, a.disk, a.net};
}

QColor QFColor::resolve() const {
    return isRole_ ? QF::role(role_) : color_;
}

namespace QF {

const QFAccents& accents() {
    return quillfen::accents(currentTheme());
}
const QFSurfaces& surfaces() {
    return quillfen::surfaces(currentTheme());
}

QColor cpu() {
    return accents().cpu;
}
QColor gpu() {
    return accents().gpu;
}
QColor mem() {
    return accents().mem;
}
QColor disk() {
    return accents().disk;
}
QColor net() {
    return accents().net;
}
QColor bat() {
    return accents().bat;
}
QColor warn() {
    return accents().warn;
}
QColor sys() {
    return accents().sys;
}
QColor brand() {
    return accents().brand;
}

QColor windowBG() {
    return surfaces().windowBG;
}
QColor cardTop() {
    return surfaces().cardTop;
}
QColor cardBot() {
    return surfaces().cardBot;
}
QColor sidebarTop() {
    return surfaces().sidebarTop;
}
QColor sidebarBot() {
    return surfaces().sidebarBot;
}
QColor chromeTop() {
    return surfaces().chromeTop;
}
QColor border() {
    return surfaces().border;
}
QColor borderStrong() {
    return surfaces().borderStrong;
}
QColor fill1() {
    return surfaces().fill1;
}
QColor fill2() {
    return surfaces().fill2;
}
QColor fill3() {
    return surfaces().fill3;
}
QColor fill4() {
    return surfaces().fill4;
}
QColor track() {
    return surfaces().track;
}
QColor text1() {
    return surfaces().text1;
}
QColor text2() {
    return surfaces().text2;
}
QColor text3() {
    return surfaces().text3;
}
QColor text4() {
    return surfaces().text4;
}

QColor popoverShadow() {
    return black(0.55);
}

QColor role(QFRole role) {
    return QF::role(role, currentTheme());
}

QColor role(QFRole role, QFThemeChoice theme) {
    const auto& a = quillfen::accents(theme);
    const auto& s = quillfen::surfaces(theme);
    // clang-format off
    switch (role) {
    case QFRole::cpu: return a.cpu;
    case QFRole::gpu: return a.gpu;
    case QFRole::mem: return a.mem;
    case QFRole::disk: return a.disk;
    case QFRole::net: return a.net;
    case QFRole::bat: return a.bat;
    case QFRole::warn: return a.warn;
    case QFRole::sys: return a.sys;
    case QFRole::brand: return a.brand;
    case QFRole::windowBG: return s.windowBG;
    case QFRole::cardTop: return s.cardTop;
    case QFRole::cardBot: return s.cardBot;
    case QFRole::sidebarTop: return s.sidebarTop;
    case QFRole::sidebarBot: return s.sidebarBot;
    case QFRole::chromeTop: return s.chromeTop;
    case QFRole::border: return s.border;
    case QFRole::borderStrong: return s.borderStrong;
    case QFRole::fill1: return s.fill1;
    case QFRole::fill2: return s.fill2;
    case QFRole::fill3: return s.fill3;
    case QFRole::fill4: return s.fill4;
    case QFRole::track: return s.track;
    case QFRole::text1: return s.text1;
    case QFRole::text2: return s.text2;
    case QFRole::text3: return s.text3;
    case QFRole::text4: return s.text4;
    }
    // clang-format on
    return s.text1;
}

QColor color(MenuBarMetric metric) {
    return accentFor(accents(), metric);
}

QColor chipColor(MenuBarMetric metric, QFThemeChoice theme) {
    const auto& a = quillfen::accents(theme);
    return isMono(theme) ? a.brand : accentFor(a, metric);
}

QColor rgb(double r, double g, double b) {
    return QColor::fromRgbF(float(r / 255.0), float(g / 255.0), float(b / 255.0));
}

QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

} // namespace QF

} // namespace quillfen
