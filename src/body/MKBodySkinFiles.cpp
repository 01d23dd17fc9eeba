// The per-sex head skin tables of MKBody and the reader of skin files.

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "body/MKBody.h"
#include "body/detail/MKSkinTablesLock.h"
#include "host/KelDataPath.h"
#include "host/KelFile.h"
#include "host/KelGetEnv.h"
#include "host/KelToken.h"
#include "math/MKIEEE.h"
#include "parts/MKSystemServices.h"

int MKBody::sNbHierarchies[2] = {0, 0};
int MKBody::sNbVertices[2] = {0, 0};
int MKBody::sFaceNeighborhoodInfos[2][sMaxHierarchies][8] = {};
int MKBody::sHierarchies[2][sMaxHierarchies][4] = {};
MKSubDVertex MKBody::sSubDVertices[2][sMaxSubDVertices];
int MKBody::sHierarchyOwnerSegmentForVisu[2][sMaxHierarchies] = {};
int MKBody::sNbHairFaces[2] = {0, 0};
int MKBody::sHairFaces[2][sMaxHairFaces] = {};
int MKBody::sNbEyebrowsFaces[2] = {0, 0};
int MKBody::sEyebrowsFaces[2][sMaxEyebrowsFaces] = {};
int MKBody::sNbEyelidsFaces[2] = {0, 0};
int MKBody::sEyelidsFaces[2][sMaxEyelidsFaces] = {};
int MKBody::sNbEyesWhiteFaces[2] = {0, 0};
int MKBody::sEyesWhiteFaces[2][sMaxEyesWhiteFaces] = {};
int MKBody::sNbEyesColorFaces[2] = {0, 0};
int MKBody::sEyesColorFaces[2][sMaxEyesColorFaces] = {};
int MKBody::sNbPupilsFaces[2] = {0, 0};
int MKBody::sPupilsFaces[2][sMaxPupilsFaces] = {};
int MKBody::sNbLipsFaces[2] = {0, 0};
int MKBody::sLipsFaces[2][sMaxLipsFaces] = {};
KelUnicodeString MKBody::sFileName[2] = {"female.skn", "male.skn"};
KelUnicodeString MKBody::sFaceTexture[2] = {"FHeadSkin.bmp", "MHeadSkin.bmp"};
KelUnicodeString MKBody::sFaceTexturePath[2];
unsigned char MKBody::sFemaleDataRead = 0;
unsigned char MKBody::sMaleDataRead = 0;
KelListValKelUnicodeString MKBody::sDefaultPathList;

namespace {

// The line buffer of the format: 255 characters and the terminating zero.
constexpr int kLineBuffer = 256;
constexpr int kMaxLineLength = kLineBuffer - 1;
// Enough for the data directories KelGetDataDirectories knows.
constexpr int kMaxDataDirectories = 8;
constexpr int kNumberOfSegments = 99;
constexpr int kFirstEllipse = 1000;
constexpr int kLastEllipse = 1106;
// More digits could overflow an int; no index or name of the format needs them.
constexpr int kMaxIntegerDigits = 9;

struct Line {
  std::string text;
  // Longer than its buffer, or holding a NUL byte: not to be parsed.
  bool unusable = false;
};

// Reads one line of at most `maximum` characters (line end excluded) with
// KelFGets, consuming the rest of a longer line. False at the end of the file.
bool ReadLine(unsigned int file, unsigned int maximum, Line& line) {
  line.text.clear();
  line.unusable = false;
  char chunk[kLineBuffer];
  bool any = false;
  for (;;) {
    // Filled with a non-zero byte, so that the last zero marks the end of what was read even when
    // the line itself holds zero bytes.
    std::memset(chunk, '\n', sizeof chunk);
    if (KelFGets(chunk, kLineBuffer, file) < 0) break;
    any = true;
    int length = kLineBuffer - 1;
    while (length > 0 && chunk[length] != '\0') --length;
    if (std::memchr(chunk, '\0', static_cast<std::size_t>(length)) != nullptr) line.unusable = true;
    const bool ended = length > 0 && chunk[length - 1] == '\n';
    if (line.text.size() + static_cast<std::size_t>(length) > maximum + 2u) {
      line.unusable = true;  // only the line end may follow the last stored character
    } else {
      line.text.append(chunk, static_cast<std::size_t>(length));
    }
    if (ended) break;
  }
  while (!line.text.empty() && (line.text.back() == '\n' || line.text.back() == '\r'))
    line.text.pop_back();
  if (line.text.size() > maximum) line.unusable = true;
  return any;
}

// The first `count` blank-separated tokens of a line; fewer when it has fewer.
std::vector<KelUnicodeString> Tokens(const std::string& text, std::size_t count) {
  std::vector<KelUnicodeString> tokens;
  KelToken tokenizer(KelUnicodeString(text.c_str()));
  while (tokens.size() < count) {
    KelUnicodeString token = tokenizer.GetNextToken();
    if (token.GetLengthInChar() == 0) break;
    tokens.push_back(token);
  }
  return tokens;
}

bool ParseInt(const KelUnicodeString& token, int& value) {
  int digits = 0;
  for (int i = 0; i < token.GetLengthInChar(); ++i) {
    const wchar_t c = token[i];
    if (c >= L'0' && c <= L'9') {
      ++digits;
    } else if (!(i == 0 && (c == L'-' || c == L'+'))) {
      return false;
    }
  }
  if (digits == 0 || digits > kMaxIntegerDigits) return false;
  return token.ConvertToNum(&value, "%d") == 1;
}

bool ParseDouble(const KelUnicodeString& token, double& value) {
  double parsed = 0.0;
  if (token.ConvertToNum(&parsed, "%le") != 1) return false;
  if (MKIEEE::IsNaN(parsed) || MKIEEE::IsInfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool InRange(int value, int low, int high) {
  return value >= low && value <= high;
}

// Parses `count` integers from `first` on, each within [low, high].
bool ParseInts(const std::vector<KelUnicodeString>& tokens, std::size_t first, int* values,
               int count, int low, int high) {
  if (tokens.size() < first + static_cast<std::size_t>(count)) return false;
  for (int i = 0; i < count; ++i) {
    if (!ParseInt(tokens[first + static_cast<std::size_t>(i)], values[i])) return false;
    if (!InRange(values[i], low, high)) return false;
  }
  return true;
}

// Reads lines up to one beginning with `marker`; false when the file ends first.
bool SkipToMarker(unsigned int file, const char* marker) {
  const std::size_t length = std::strlen(marker);
  Line line;
  while (ReadLine(file, kMaxLineLength, line))
    if (line.text.compare(0, length, marker) == 0) return true;
  return false;
}

// A count line: one integer.
bool ReadCount(unsigned int file, int& count) {
  Line line;
  if (!ReadLine(file, kMaxLineLength, line) || line.unusable) return false;
  const std::vector<KelUnicodeString> tokens = Tokens(line.text, 1);
  return tokens.size() == 1 && ParseInt(tokens[0], count);
}

// The longest line the file can hold, bounded.
unsigned int LongLineLimit(unsigned int file) {
  unsigned int size = 0;
  if (KelFSize(file, &size) != 0) return kMaxLineLength;
  return std::max(static_cast<unsigned int>(kMaxLineLength), std::min(size, MKBody::sMaxLongLine));
}

// An anchor line: an ellipse short name and four parameters, decimals in the file's convention.
bool ParseAnchor(const std::string& text, MKSubDVertex::Anchor& anchor) {
  KelUnicodeString converted(text.c_str());
  const KelUnicodeString fileDecimal = MKSystemServices::GetDecimalPointToChange();
  if (fileDecimal != MKSystemServices::sUnitializedSymbol)
    converted.ReplaceAll(fileDecimal, MKSystemServices::GetSystemDecimalPoint());
  const std::vector<KelUnicodeString> tokens = Tokens(converted.ConvertToChar().CastToCharPtr(), 5);
  if (tokens.size() < 5) return false;
  int name = 0;
  double parameters[4];
  if (!ParseInt(tokens[0], name) || !InRange(name, kFirstEllipse, kLastEllipse)) return false;
  for (int i = 0; i < 4; ++i)
    if (!ParseDouble(tokens[static_cast<std::size_t>(i) + 1], parameters[i])) return false;
  anchor.ellipseShortName = name;
  std::copy(parameters, parameters + 4, anchor.parameters);
  anchor.parameters[4] = 0.0;
  return true;
}

struct FeatureGroup {
  int* count;
  int* faces;
  int capacity;
  bool longLine;
};

// The feature groups of a sex in file order: hair, eyebrows, eyelids, whites of the eyes,
// irises, pupils, lips.
std::array<FeatureGroup, 7> FeatureGroups(int sex) {
  using B = MKBody;
  return {{
      {&B::sNbHairFaces[sex], B::sHairFaces[sex], B::sMaxHairFaces, true},
      {&B::sNbEyebrowsFaces[sex], B::sEyebrowsFaces[sex], B::sMaxEyebrowsFaces, false},
      {&B::sNbEyelidsFaces[sex], B::sEyelidsFaces[sex], B::sMaxEyelidsFaces, false},
      {&B::sNbEyesWhiteFaces[sex], B::sEyesWhiteFaces[sex], B::sMaxEyesWhiteFaces, false},
      {&B::sNbEyesColorFaces[sex], B::sEyesColorFaces[sex], B::sMaxEyesColorFaces, false},
      {&B::sNbPupilsFaces[sex], B::sPupilsFaces[sex], B::sMaxPupilsFaces, false},
      {&B::sNbLipsFaces[sex], B::sLipsFaces[sex], B::sMaxLipsFaces, false},
  }};
}

void ClearBaseMesh(int sex) {
  std::memset(MKBody::sFaceNeighborhoodInfos[sex], 0, sizeof MKBody::sFaceNeighborhoodInfos[sex]);
  std::memset(MKBody::sHierarchies[sex], 0, sizeof MKBody::sHierarchies[sex]);
  std::memset(MKBody::sHierarchyOwnerSegmentForVisu[sex], 0,
              sizeof MKBody::sHierarchyOwnerSegmentForVisu[sex]);
  for (MKSubDVertex& vertex : MKBody::sSubDVertices[sex]) vertex = MKSubDVertex();
}

int RejectBaseMesh(int sex) {
  MKBody::sNbHierarchies[sex] = 0;
  MKBody::sNbVertices[sex] = 0;
  return MKBody::sSkinFileFailure;
}

// The reading proper; see MKBody.h for what is accepted.
int ReadSkin(unsigned int file, int sex) {
  using B = MKBody;
  if (!SkipToMarker(file, "#START")) return RejectBaseMesh(sex);

  int faces = 0;
  int vertices = 0;
  if (!ReadCount(file, faces) || !ReadCount(file, vertices)) return RejectBaseMesh(sex);
  if (!InRange(faces, 0, B::sMaxHierarchies) || !InRange(vertices, 0, B::sMaxSubDVertices) ||
      (faces > 0 && vertices == 0))
    return RejectBaseMesh(sex);
  ClearBaseMesh(sex);

  Line line;
  for (int f = 0; f < faces; ++f) {
    if (!ReadLine(file, kMaxLineLength, line)) return RejectBaseMesh(sex);
    if (line.unusable) continue;
    const std::vector<KelUnicodeString> tokens = Tokens(line.text, 9);
    int values[8];
    if (tokens.size() < 9) continue;
    bool valid = true;
    for (int k = 0; k < 4 && valid; ++k) {
      valid = ParseInts(tokens, 1 + 2 * k, values + 2 * k, 1, -1, faces - 1) &&
              ParseInts(tokens, 2 + 2 * k, values + 2 * k + 1, 1, -1, 3);
    }
    if (valid) std::copy(values, values + 8, B::sFaceNeighborhoodInfos[sex][f]);
  }
  for (int f = 0; f < faces; ++f) {
    if (!ReadLine(file, kMaxLineLength, line)) return RejectBaseMesh(sex);
    if (line.unusable) continue;
    const std::vector<KelUnicodeString> tokens = Tokens(line.text, 5);
    int tag = 0;
    int corners[4];
    if (tokens.empty() || !ParseInt(tokens[0], tag)) continue;
    if (ParseInts(tokens, 1, corners, 4, 0, vertices - 1))
      std::copy(corners, corners + 4, B::sHierarchies[sex][f]);
  }
  for (int v = 0; v < vertices; ++v) {
    if (!ReadLine(file, kMaxLineLength, line)) return RejectBaseMesh(sex);  // header
    for (MKSubDVertex::Anchor& anchor : B::sSubDVertices[sex][v].anchors) {
      if (!ReadLine(file, kMaxLineLength, line)) return RejectBaseMesh(sex);
      if (line.unusable) continue;
      MKSubDVertex::Anchor parsed = anchor;
      if (ParseAnchor(line.text, parsed)) anchor = parsed;
    }
  }
  if (!ReadLine(file, kMaxLineLength, line)) return RejectBaseMesh(sex);
  const unsigned int longLine = LongLineLimit(file);
  if (!ReadLine(file, longLine, line)) return RejectBaseMesh(sex);
  if (!line.unusable) {
    const std::vector<KelUnicodeString> tokens = Tokens(line.text, static_cast<std::size_t>(faces));
    for (std::size_t f = 0; f < tokens.size(); ++f) {
      int segment = 0;
      if (ParseInt(tokens[f], segment) && InRange(segment, 0, kNumberOfSegments - 1))
        B::sHierarchyOwnerSegmentForVisu[sex][f] = segment;
    }
  }
  B::sNbHierarchies[sex] = faces;
  B::sNbVertices[sex] = vertices;

  if (!SkipToMarker(file, "#HEAD")) return 0;
  for (const FeatureGroup& group : FeatureGroups(sex)) {
    int count = 0;
    Line countLine;
    if (!ReadLine(file, kMaxLineLength, countLine)) return 0;
    bool valid = !countLine.unusable;
    if (valid) {
      const std::vector<KelUnicodeString> tokens = Tokens(countLine.text, 1);
      valid = tokens.size() == 1 && ParseInt(tokens[0], count) && InRange(count, 0, group.capacity);
    }
    if (!ReadLine(file, group.longLine ? longLine : kMaxLineLength, line)) return 0;
    if (!valid || line.unusable) continue;
    int indices[B::sMaxHairFaces];
    const std::vector<KelUnicodeString> tokens = Tokens(line.text, static_cast<std::size_t>(count));
    if (!ParseInts(tokens, 0, indices, count, 0, faces - 1)) continue;
    std::copy(indices, indices + count, group.faces);
    *group.count = count;
  }
  return 0;
}

// Feature groups never name faces beyond the base mesh in the tables, whatever the files
// read before held.
void DropStaleFeatures(int sex) {
  for (const FeatureGroup& group : FeatureGroups(sex)) {
    for (int i = 0; i < *group.count; ++i) {
      if (group.faces[i] >= MKBody::sNbHierarchies[sex]) {
        *group.count = 0;
        break;
      }
    }
  }
}

}  // namespace

std::mutex& MKSkinTablesMutex() {
  static std::mutex mutex;
  return mutex;
}

void MKBody::InitPathList() {
  sDefaultPathList.RemoveAll();
  const char* value = KelGetEnv("KelGraphicPath");
  if (value && *value) {
    const std::string path(value);
    std::size_t start = 0;
    for (;;) {
      const std::size_t colon = path.find(':', start);
      const std::string piece =
          path.substr(start, colon == std::string::npos ? colon : colon - start);
      if (!piece.empty()) sDefaultPathList.Append(KelUnicodeString(piece.c_str()));
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
    return;
  }
  KelUnicodeString directories[kMaxDataDirectories];
  const int count = KelGetDataDirectories(directories, kMaxDataDirectories);
  for (int i = 0; i < count && i < kMaxDataDirectories; ++i)
    sDefaultPathList.Append(directories[i]);
}

int MKBody::ReadMeshData(int sex) {
  // Bodies are built on several threads; one of them reads, the others wait.
  const std::lock_guard<std::mutex> lock(MKSkinTablesMutex());
  if (sDefaultPathList.Size() == 0) InitPathList();
  if (sex == 0) {
    if (sFemaleDataRead) return 0;
  } else if (sex == 1) {
    if (sMaleDataRead) return 0;
  } else {
    return 0;
  }
  const KelUnicodeString slash = MKSystemServices::GetSlash();
  int result = -1;
  for (int i = 1; i <= sDefaultPathList.Size(); ++i) {
    const KelUnicodeString& directory = sDefaultPathList[i];
    const KelUnicodeString path = directory + slash + sFileName[sex];
    unsigned int file = 0;
    result = KelFOpen(&path, "r", &file);
    if (result != 0) continue;
    sFaceTexturePath[sex] = directory + slash + sFaceTexture[sex];
    const int read = ReadSKNData(file, sex);
    if (sex == 0) {
      sFemaleDataRead = 1;
    } else {
      sMaleDataRead = 1;
    }
    KelFClose(file);
    return read;
  }
  return result;
}

int MKBody::ReadSKNData(unsigned int& file, int sex) {
  if (sex != 0 && sex != 1) return sSkinFileFailure;
  const int result = ReadSkin(file, sex);
  DropStaleFeatures(sex);
  return result;
}
