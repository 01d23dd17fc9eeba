#pragma once

#include <string>

#include "Renderer.h"

namespace mkcli {

// Captions in a small built-in 5 x 7 pixel font (letters, digits, space
// and . , ; - % / : ( ) +), each font pixel drawn as `scale` x `scale` pixels.
// Other characters are drawn as blanks.
int TextWidth(const std::string& text, int scale);
int TextHeight(int scale);
// Draws with the top left corner of the text at (x, y).
void DrawText(Image& image, int x, int y, const std::string& text, int scale, Rgb colour);

}  // namespace mkcli
