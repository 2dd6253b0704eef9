#pragma once

// How the helper asks the alert program of its bundle to show an alert: the texts go as
// arguments, the answer comes back as the exit status. Shared by both sides.
namespace quillfen::platform::linux::alert_protocol {

inline constexpr const char* executableName = "quillfen-alert";

// Arguments: --style warning|informational|critical, --message TEXT, --informative TEXT,
// then one --button TEXT per button, in order.
inline constexpr const char* styleOption = "--style";
inline constexpr const char* messageOption = "--message";
inline constexpr const char* informativeOption = "--informative";
inline constexpr const char* buttonOption = "--button";

// Exit statuses. A button answers firstButtonStatus plus its index; anything else, including
// a crash, means the alert was not answered.
inline constexpr int usageStatus = 2;
inline constexpr int noDisplayStatus = 3;
inline constexpr int dismissedStatus = 4;
inline constexpr int firstButtonStatus = 100;
inline constexpr int maxButtons = 8;

} // namespace quillfen::platform::linux::alert_protocol
