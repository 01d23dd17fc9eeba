// Creating and copying parts of each kind.
#include "parts/MKManikinPart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "parts/MKMemo.h"
#include "parts/MKStreamTestSupport.h"

namespace {

using mktest::Memo;
using mktest::PartPtr;
using mktest::TextOf;

const int kContainerKinds[] = {5, 6, 8, 10, 11, 12, 26, 27, 28, 29, 30, 31, 32};

// Create makes the empty containers of its kinds, Clone copies only
// containers, children included; an anthropometric reference is raised to 2.02.
TEST(MKManikinPartTest, CreateAndCloneContainers) {
  for (int kind : {6, 8, 10, 19, 26, 27, 28, 29, 30, 31, 32}) {
    PartPtr part(MKManikinPart::Create(static_cast<MKPartID>(kind)));
    ASSERT_NE(part, nullptr) << kind;
    EXPECT_EQ(part->GetPartID(), kind);
    EXPECT_EQ(part->GetVersion(), 2.01) << kind;
    EXPECT_EQ(part->GetNumberOfChildrenParts(), 0u);
    EXPECT_EQ(part->IsLoadedFromLibrary(), 0);
  }
  for (int kind : {0, 1, 2, 4, 7, 9, 11, 12, 13, 14, 16, 17, 18, 20, 21, 22, 23, 24, 25, 33})
    EXPECT_EQ(MKManikinPart::Create(static_cast<MKPartID>(kind)), nullptr) << kind;
  for (int kind : kContainerKinds) {
    MKManikinPart part(static_cast<MKPartID>(kind), 2.01);
    MKMemo memo = Memo("before");
    part.AddPart(&memo);
    memo.SetText("after");
    PartPtr copy(part.Clone());
    ASSERT_NE(copy, nullptr) << kind;
    EXPECT_EQ(copy->GetPartID(), kind);
    EXPECT_EQ(copy->GetVersion(), kind == MKPartAnthroDBReferenceID ? 2.02 : 2.01);
    ASSERT_EQ(copy->GetNumberOfChildrenParts(), 1u);
    EXPECT_NE(copy->GetChild(1), part.GetChild(1));
    EXPECT_EQ(TextOf(copy->GetChild(1)), "before");
  }
  for (int kind : {0, 1, 2, 3, 13, 17, 19, 20, 25})
    EXPECT_EQ(MKManikinPart(static_cast<MKPartID>(kind), 2.01).Clone(), nullptr) << kind;
  EXPECT_EQ(MKManikinPart(MKPartAnthroDBReferenceID, 2.0).GetVersion(), 2.0);
}

// Only the exact switch value "1" makes postures of the earlier version.
TEST(MKManikinPartTest, PostureVersionFollowsTheEnvironment) {
  const char* name = "MKKR12ManikinInR14";
  ASSERT_EQ(std::getenv(name), nullptr);
  for (const char* value : {"1", "0", "11", "", static_cast<const char*>(nullptr)}) {
    if (value) setenv(name, value, 1);
    if (!value) unsetenv(name);
    PartPtr posture(MKManikinPart::Create(MKPartPostureID));
    EXPECT_EQ(posture->GetVersion(), value && value == std::string("1") ? 2.01 : 2.03) << value;
  }
}

}  // namespace
