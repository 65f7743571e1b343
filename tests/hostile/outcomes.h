// What a hostile input leaves: the shapes every payment file keeps whatever its values (DTA
// files are whole 128-character segments, EZAG files whole 700-character records with a line
// feed each, ISO documents well-formed XML, checked by xmllint), and what a writer raised, as
// a short text a table row can hold.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "failure/failure.h"

namespace ordexa::test {

inline testing::AssertionResult IsWholeDtaSegments(const std::string& file) {
  if (file.empty() || file.size() % 128 != 0) {
    return testing::AssertionFailure() << "a DTA file of " << file.size() << " bytes";
  }
  for (std::size_t at = 0; at < file.size(); at += 128) {
    if (file[at] != '0' || file[at + 1] < '1' || file[at + 1] > '5') {
      return testing::AssertionFailure() << "no segment number at " << at << ": " << file.substr(at, 8);
    }
  }
  return testing::AssertionSuccess();
}

inline testing::AssertionResult IsWholeEzagRecords(const std::string& file) {
  if (file.empty() || file.size() % 701 != 0) {
    return testing::AssertionFailure() << "an EZAG file of " << file.size() << " bytes";
  }
  for (std::size_t at = 0; at < file.size(); ++at) {
    if ((file[at] == '\n') != (at % 701 == 700)) {
      return testing::AssertionFailure() << "a line feed out of place at " << at;
    }
  }
  return testing::AssertionSuccess();
}

inline bool HasXmllint() { return std::system("xmllint --version >/dev/null 2>&1") == 0; }

inline testing::AssertionResult IsWellFormedXml(const std::string& path) {
  if (std::system(("xmllint --noout --huge '" + path + "' 2>/dev/null").c_str()) == 0) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << path << " is not well-formed XML";
}


// Raised(): "2002 0x80070070" for an MPayError (message id and status), "number 13" for the
// 2009 ISO writer's plain numbers, "hresult 0x80070020" for a CAtlException, else "none".
inline std::string Raised(const std::function<void()>& write) {
  char text[32] = "none";
  try {
    write();
  } catch (const MPayError& error) {
    std::snprintf(text, sizeof text, "%u 0x%08X", unsigned{error.id()}, static_cast<unsigned>(error.status()));
  } catch (std::int32_t number) {
    std::snprintf(text, sizeof text, "number %d", number);
  } catch (const CAtlException& failure) {
    std::snprintf(text, sizeof text, "hresult 0x%08X", static_cast<unsigned>(failure.hr()));
  }
  return text;
}

}  // namespace ordexa::test
