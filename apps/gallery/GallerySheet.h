#pragma once

#include <QWidget>

#include <filesystem>

namespace quillfen::gallery {

// One sheet showing every component and chart in the current theme, labelled, with sample
// readings. `iconBundle` is a bundle whose icon the process lists show.
QWidget* makeSheet(const std::filesystem::path& iconBundle);

} // namespace quillfen::gallery
