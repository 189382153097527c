#include "shell/busy_animation.h"

#include "os/file_access.h"

namespace kiosk {

namespace {

// A GIF starts with its signature and a 7-byte logical screen descriptor.
constexpr size_t kMinimumGifSize = 13;

bool LooksLikeGif(const std::string& bytes) {
    return bytes.size() >= kMinimumGifSize && (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a"));
}

}  // namespace

void SetBusy(AnimatorModel& animator, bool on) {
    animator.Visible = on;
    animator.Animate = on;
}

bool LoadGifPicture(const std::string& path, std::string& picture) {
    std::string bytes;
    if (!ReadFileExcludingWriters(path, bytes) || !LooksLikeGif(bytes)) return false;
    picture = std::move(bytes);
    return true;
}

}  // namespace kiosk
