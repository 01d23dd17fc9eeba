#pragma once

#include <string>

#include "Renderer.h"

namespace mkcli {

// The picture encoded as a PNG file (8-bit RGB). False, with `error` set,
// when the encoder fails.
bool EncodePng(const Image& image, std::string& png, std::string& error);

}  // namespace mkcli
