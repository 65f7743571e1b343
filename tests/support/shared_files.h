// The public material beside the sources that some tests read: the XML schemas and the
// example messages of the Swiss guidelines (ORDEXA_SHARED_DIR). Tests that need them skip,
// saying so, where they are not there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ordexa::test {

inline bool HaveSharedXsd() {
  const std::string xsd = std::string(ORDEXA_SHARED_DIR) + "/xsd/";
  return std::filesystem::exists(xsd + "pain.001.001.09.ch.03.xsd") &&
         std::filesystem::exists(xsd + "samples/sps2022/pain_001_Example_PT_X_V2.xml");
}

}  // namespace ordexa::test

#define ORDEXA_SKIP_WITHOUT_SHARED_XSD()                                                               \
  if (!::ordexa::test::HaveSharedXsd()) GTEST_SKIP() << "needs the schemas and samples under " \
                                                     << ORDEXA_SHARED_DIR << "/xsd"
