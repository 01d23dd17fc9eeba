#pragma once

#include "host/KelUnicodeString.h"
#include "math/MK4x4Matrix.h"
#include "math/MKFrame.h"
#include "parts/MKShortName.h"

// Class tags of the body elements.
enum MKBodyElementClassName : int {
  MKBodyClass = 1,
  MKCenterOfGravityClass = 2,
  MKEllipseClass = 3,
  MKLineOfSightClass = 4,
  MKSegmentClass = 5,
  MKSkinElementClass = 6
};

// Where a point is expressed: in the element's own frame or in world space.
enum MKCoordinateSpace : int { MKLocalSpace = 0, MKGlobalSpace = 1 };

// Base of every geometric object of the body: a short name, an owner, a
// class tag and a global transform that the element recomputes lazily.
class MKBodyElement {
 public:
  virtual ~MKBodyElement() = default;
  virtual void Invalidate() {}
  virtual void Update() = 0;

  MKShortName GetShortName() const { return shortName; }
  const char* GetShortNameAsString() const { return MKConvertShortNameToString(shortName); }
  // The localised name from the message catalogue.
  KelUnicodeString GetName() const;
  MKBodyElement* GetOwner() const { return owner; }
  MKBodyElementClassName GetMKClassName() const { return classTag; }
  const MK4x4Matrix& GetGlobalMatrix();
  void GetGlobalMatrix(MKFrame& frame);

 protected:
  MKBodyElement(MKBodyElementClassName tag, MKBodyElement* owner, MKShortName name)
      : shortName(name), owner(owner), classTag(tag) {}
  MKBodyElement(const MKBodyElement&) = default;
  MKBodyElement& operator=(const MKBodyElement&) = default;

  void SetShortName(MKShortName name) { shortName = name; }
  void SetOwnerElement(MKBodyElement* newOwner) { owner = newOwner; }

  MKShortName shortName;
  MKBodyElement* owner;
  MKBodyElementClassName classTag;  // fixed at construction
  MK4x4Matrix globalMatrix;
};
