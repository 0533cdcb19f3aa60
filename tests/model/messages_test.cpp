// Messages held back on one thread and printed later, in their order.

#include "model/messages.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/console.h"

using testsupport::both_streams;

namespace {

TEST(Messages, HeldInOrderAcrossBothStreamsAndPrintedLater) {
  HeldMessages held;
  std::string shown = both_streams([&] {
    {
      HoldMessages hold(held);
      std::fprintf(message_out(), "one %d\n", 1);
      std::fprintf(message_err(), "two\n");
      std::fprintf(message_err(), "three\n");
      std::fprintf(message_out(), "four\n");
    }
    EXPECT_FALSE(held.empty());
    std::fprintf(message_out(), "now\n");
    held.print();
    EXPECT_TRUE(held.empty());
    held.print();  // nothing twice
  });
  EXPECT_EQ(shown, "now\none 1\ntwo\nthree\nfour\n");
}

TEST(Messages, OnlyTheHoldingThreadIsHeld) {
  HeldMessages held;
  HoldMessages hold(held);
  FILE* other_out = nullptr;
  FILE* other_err = nullptr;
  std::thread([&] {
    other_out = message_out();
    other_err = message_err();
  }).join();
  EXPECT_EQ(other_out, stdout);
  EXPECT_EQ(other_err, stderr);
  EXPECT_NE(message_out(), stdout);
  EXPECT_NE(message_err(), stderr);
}

TEST(Messages, TheStreamsComeBackWhenTheHoldEnds) {
  HeldMessages outer_held;
  HeldMessages inner_held;
  {
    HoldMessages outer(outer_held);
    FILE* outer_err = message_err();
    {
      HoldMessages inner(inner_held);
      std::fprintf(message_err(), "inner\n");
    }
    EXPECT_EQ(message_err(), outer_err);
    std::fprintf(message_err(), "outer\n");
  }
  EXPECT_EQ(message_out(), stdout);
  EXPECT_EQ(message_err(), stderr);
  EXPECT_EQ(both_streams([&] { inner_held.print(); }), "inner\n");
  EXPECT_EQ(both_streams([&] { outer_held.print(); }), "outer\n");
}

}  // namespace
