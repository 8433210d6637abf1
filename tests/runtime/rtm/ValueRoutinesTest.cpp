// Variant sameness, vectors and the index arithmetic of moves.

#include "runtime/rtm/ValueRoutines.h"

#include <gtest/gtest.h>

using namespace zv;

TEST(ValueRoutines, VarIsSameTreatsEmptyNullAndArraysAsTheLibraryNeeds) {
  EXPECT_TRUE(VarIsSame(Variant(), Variant()));
  EXPECT_FALSE(VarIsSame(Variant(), Variant(0)));
  EXPECT_FALSE(VarIsSame(Variant(0), Variant()));
  EXPECT_TRUE(VarIsSame(Variant::Null(), Variant::Null()));
  EXPECT_FALSE(VarIsSame(Variant::Null(), Variant(1)));
  EXPECT_TRUE(VarIsSame(Variant(2), Variant(2.0)));
  EXPECT_FALSE(VarIsSame(Variant(String("abc")), Variant(5)));  // not comparable: not the same
  EXPECT_TRUE(VarIsSame(VarArrayOf({Variant(1), Variant(String("x"))}), VarArrayOf({Variant(1), Variant(String("x"))})));
  EXPECT_FALSE(VarIsSame(VarArrayOf({Variant(1), Variant(2)}), VarArrayOf({Variant(1), Variant(3)})));
  EXPECT_FALSE(VarIsSame(VarArrayOf({Variant(1)}), VarArrayOf({Variant(1), Variant(2)})));
  EXPECT_FALSE(VarIsSame(VarArrayOf({Variant(1)}), Variant(1)));
  EXPECT_TRUE(VarIsNE(Variant::Null()));
  EXPECT_TRUE(VarIsNE(Variant()));
  EXPECT_FALSE(VarIsNE(Variant(0)));
}

TEST(ValueRoutines, IndexArithmeticOfMoves) {
  EXPECT_EQ(UpdateIndexInt(5, 2, 7), 4);
  EXPECT_EQ(UpdateIndexInt(2, 2, 7), 7);
  EXPECT_EQ(UpdateIndexInt(8, 2, 7), 8);
  EXPECT_EQ(UpdateIndexInt(3, 7, 2), 4);
  EXPECT_EQ(UpdateIndexInt(1, 7, 2), 1);
  EXPECT_EQ(CalcIndexInt(1, 4, 6, true), 3);
  EXPECT_EQ(CalcIndexInt(0, 0, 6, true), 0);
  EXPECT_EQ(CalcIndexInt(4, 1, 6, false), 2);
  EXPECT_EQ(CalcIndexInt(6, 5, 6, false), 5);  // not beyond count - 1
  EXPECT_EQ(CalcIndexInt(4, 1, 6, true), 1);
}

TEST(ValueRoutines, VectorsAndNearestItems) {
  EXPECT_TRUE(CreateVectorInt(0, 3).empty());
  EXPECT_EQ(CreateVectorInt(3, 7), (std::vector<std::int32_t>{7, 7, 7}));
  EXPECT_EQ(CreateVectorBool(2, true), (std::vector<bool>{true, true}));
  const std::vector<std::int32_t> v{10, -20, 30, 20};
  EXPECT_EQ(FindVectorItemInt(v, 30), 2);
  EXPECT_EQ(FindVectorItemInt(v, 5), -1);
  EXPECT_EQ(FindNearestVectorItemInt(v, 20), 1);   // |-20| matches exactly and wins at once
  EXPECT_EQ(FindNearestVectorItemInt(v, 24), 3);   // 20 and -20 tie: the later wins
  EXPECT_EQ(FindNearestVectorItemInt(v, -29), 2);
  EXPECT_EQ(FindNearestVectorItemInt({}, 1), -1);
  EXPECT_TRUE(ContainsChars("abc1", TChars::Range('0', '9')));
  EXPECT_FALSE(ContainsChars("abc", TChars{'x', 'y'}));
  EXPECT_TRUE(HasString("ÄPFEL", {"birne", "äpfel"}));
  EXPECT_FALSE(HasString("kiwi", {"birne", "äpfel"}));
}
