#pragma once

#include <QFont>

namespace quillfen {

// The system font (Inter, else the generic sans-serif) at `size` points, where one point is
// one device-independent pixel.
QFont qf(double size, QFont::Weight weight = QFont::Normal);

// The monospaced design (JetBrains Mono, else the generic monospace), for numbers that change
// and must not jitter.
QFont qfMono(double size, QFont::Weight weight = QFont::Normal);

} // namespace quillfen
