// Test support: a headless display with an empty font registry, a fresh directory for the
// test's font files and one font record, released after the test.
#pragma once

#include <string>

#include "support/fnt_builder.h"
#include "support/headless.h"

namespace testsupport {

class FontFileTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    lumora::LoadedFonts.clear();
  }
  void TearDown() override {
    lumora::FreeFNTFont(Font);
    lumora::LoadedFonts.clear();
    HeadlessTest::TearDown();
  }

  TTempDir Temp;
  const std::string& Dir = Temp.Path;
  lumora::TFont Font{};
};

}  // namespace testsupport
