#include "shell/busy_animation.h"

#include "os/file_access.h"
#include "shell/gif_structure.h"

namespace kiosk {

void SetBusy(AnimatorModel& animator, bool on) {
    animator.Visible = on;
    animator.Animate = on;
}

bool LoadGifPicture(const std::string& path, std::string& picture) {
    std::string bytes;
    // Decoded whole here, so that a damaged picture is reported at start-up instead of the window
    // quietly showing the built-in animation.
    if (!ReadFileExcludingWriters(path, bytes) || !DecodesAsGif(bytes)) return false;
    picture = std::move(bytes);
    return true;
}

}  // namespace kiosk
