#pragma once

#include <string>

namespace kiosk {

// The fonts the window and the keyboard ask for: Tahoma, and DejaVu Sans where there is none.
inline const char kProgramFontFamilies[] = "Tahoma,DejaVu Sans";

// Lets this process's fontconfig see the fonts of fonts-wine (/usr/share/wine/fonts, with Tahoma),
// once. Without that directory nothing changes and the families fall back to DejaVu Sans. Call it
// before the first text is measured or drawn (before gtk_init).
void AddProgramFonts();

// The height in pixels of a line of text in family (a comma-separated list, as for Pango) at a
// character height of pixelHeight: the font's Windows ascent plus descent, each rounded, as the
// Windows text metric tmHeight. Pango's own ascent and descent stand in for a font without them.
// 0 when pixelHeight is not positive.
int TextHeight(const std::string& family, int pixelHeight, bool bold);

}  // namespace kiosk
