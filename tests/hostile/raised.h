// What a writer raised, as a short text a table row can hold.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "failure/failure.h"

namespace ordexa::test {

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
