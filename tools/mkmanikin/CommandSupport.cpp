#include "CommandSupport.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "Failure.h"
#include "ManikinBuilder.h"
#include "Numbers.h"
#include "OutputFiles.h"
#include "PngWriter.h"
#include "anthro/MKAnthro.h"
#include "anthro/MKDBAnthro.h"
#include "host/MKVersion.h"
#include "manikin/MKManikin.h"

namespace mkcli {
namespace {

std::string SizeProblem(const std::string& text, PictureSize* size) {
  const std::size_t x = text.find_first_of("xX");
  double w = 0.0, h = 0.0;
  if (x == std::string::npos || !ParseNumber(text.substr(0, x), w) ||
      !ParseNumber(text.substr(x + 1), h) || w != static_cast<int>(w) || h != static_cast<int>(h))
    return "'" + text + "' is not a picture size: give WIDTHxHEIGHT in pixels, e.g. 800x1000";
  if (w < 64 || h < 64 || w > 4096 || h > 4096)
    return text + ": each side must be between 64 and 4096 pixels";
  if (size) *size = {static_cast<int>(w), static_cast<int>(h)};
  return {};
}

}  // namespace

CLI::Option* AddSizeOption(CLI::App& command, std::string& size, const char* fallback) {
  size = fallback;
  return command.add_option("--size", size, "Picture size in pixels")
      ->type_name("WxH")
      ->default_str(fallback)
      ->check(
          CLI::Validator([](std::string& text) { return SizeProblem(text, nullptr); }, "", "WxH"));
}

PictureSize ParseSize(const std::string& text) {
  PictureSize size{0, 0};
  SizeProblem(text, &size);
  return size;
}

void WriteTable(const std::string& text, const std::string& output) {
  if (output.empty()) {
    std::cout << text << std::flush;
    if (!std::cout) throw Failure(kExitFailure, "standard output: cannot write");
    return;
  }
  OutputFiles files;
  files.Stage(output, "--output", text);
  files.Commit();
}

void Warn(const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings)
    std::cerr << kProgram << ": warning: " << warning << "\n";
}

std::string Describe(const MKManikin& manikin, double percentile) {
  const MKAnthro& anthro = *manikin.GetAnthro();
  return SexName(anthro.GetSex()) + ", " + Ordinal(percentile) + " percentile of \"" +
         anthro.GetDatabase()->GetName().ConvertToChar().CastToCharPtr() + "\"";
}

std::string PngOf(const Image& image) {
  std::string png, error;
  if (!EncodePng(image, png, error))
    throw Failure(kExitFailure, "the picture could not be encoded: " + error);
  return png;
}

std::string ObjHeader(const MKManikin& manikin, double percentile, const std::string& posture) {
  return std::string(kProgram) +
         " (libMKManikin " MKMANIKIN_VERSION_STRING "): " + Describe(manikin, percentile) +
         ", posture " + posture +
         "\nCentimetres; Y up, the manikin faces +Z, origin at its pelvis.";
}

}  // namespace mkcli
