// Test support: a headless display with an empty font registry, a fresh directory for the
// test's font files and one font record, released after the test.
#pragma once

#include <filesystem>
#include <string>

#include "support/fnt_builder.h"
#include "support/headless.h"

namespace testsupport {

class FontFileTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    lumora::LoadedFonts.clear();
    Dir = FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    lumora::FreeFNTFont(Font);
    lumora::LoadedFonts.clear();
    std::filesystem::remove_all(Dir);
    HeadlessTest::TearDown();
  }

  std::string Dir;
  lumora::TFont Font{};
};

}  // namespace testsupport
