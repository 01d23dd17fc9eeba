#include "PngWriter.h"

#include <png.h>

#include <cstring>

namespace mkcli {

bool EncodePng(const Image& image, std::string& png, std::string& error) {
  png_image header;
  std::memset(&header, 0, sizeof header);
  header.version = PNG_IMAGE_VERSION;
  header.width = static_cast<png_uint_32>(image.Width());
  header.height = static_cast<png_uint_32>(image.Height());
  header.format = PNG_FORMAT_RGB;
  const png_int_32 stride = image.Width() * 3;
  png_alloc_size_t size = 0;
  // The first call measures, the second writes.
  if (!png_image_write_to_memory(&header, nullptr, &size, 0, image.Bytes().data(), stride,
                                 nullptr)) {
    error = header.message;
    png_image_free(&header);
    return false;
  }
  png.assign(size, '\0');
  if (!png_image_write_to_memory(&header, png.data(), &size, 0, image.Bytes().data(), stride,
                                 nullptr)) {
    error = header.message;
    png_image_free(&header);
    return false;
  }
  png.resize(size);
  return true;
}

}  // namespace mkcli
