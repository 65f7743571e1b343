// Memory running out at every allocation of registering and unregistering the server:
// each call returns a status (never an exception), leaks nothing, and whatever a failed
// call left in the registry is removed by the next unregistration.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "model/com_object.h"
#include "out_of_memory/allocation_hook.h"
#include "platform/registry_keys.h"
#include "windows.h"

STDAPI DllRegisterServer();
STDAPI DllUnregisterServer();

namespace ordexa {
namespace {

using test::LiveAllocations;
using test::ScopedAllocationFailure;

constexpr int kMaxFailurePoints = 20000;

// The keys a registration writes directly below the root.
const char16_t* const kServerKeys[] = {
    u"CLSID\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F10}", u"AppID\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F01}",
    u"TypeLib\\{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F01}", u"Veltrano.PayManager", u"Veltrano.PayManager.1"};

int ServerKeysPresent() {
  return static_cast<int>(std::count_if(std::begin(kServerKeys), std::end(kServerKeys), test::KeyExists));
}

// Calls `call` with the `failure_point`-th allocation failing (and, with `keep_failing`,
// every later one); true when the failure happened.
bool CallFailing(HRESULT (*call)(), int failure_point, bool keep_failing, HRESULT& hr) {
  bool failed = false;
  try {
    ScopedAllocationFailure failure(failure_point, keep_failing);
    hr = call();
    failed = test::AllocationFailed();
  } catch (...) {
    ADD_FAILURE() << "an exception left the module at failure point " << failure_point;
  }
  return failed;
}

// The registry grows with what is registered; once everything is unregistered again the
// allocations are back where they were.
class RegistrationOutOfMemory : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, DllRegisterServer());
    ASSERT_EQ(S_OK, DllUnregisterServer());
    ASSERT_EQ(0, ServerKeysPresent());
  }
  void TearDown() override { DllUnregisterServer(); }

  // Unregisters and compares with `live`, the allocations before the registration. When
  // memory stays exhausted, a registration cut short cannot take back the key it was
  // writing (an interface key not yet naming its library): only the server's keys are
  // checked then.
  void ExpectNothingLeft(std::int64_t live) {
    EXPECT_EQ(S_OK, DllUnregisterServer());
    EXPECT_EQ(0, ServerKeysPresent());
    if (!GetParam()) {
      EXPECT_EQ(live, LiveAllocations()) << "leaked allocations";
    }
  }
};

TEST_P(RegistrationOutOfMemory, RegisteringAndUnregisteringFailCleanlyAtEveryAllocation) {
  for (const bool registering : {true, false}) {
    SCOPED_TRACE(registering ? "registering" : "unregistering");
    int failure_point = 0;
    for (; failure_point < kMaxFailurePoints; ++failure_point) {
      SCOPED_TRACE(failure_point);
      const std::int64_t live = LiveAllocations();
      if (!registering) {
        ASSERT_EQ(S_OK, DllRegisterServer());
      }
      HRESULT hr = E_FAIL;
      const bool failed =
          CallFailing(registering ? DllRegisterServer : DllUnregisterServer, failure_point, GetParam(), hr);
      if (!failed) {
        EXPECT_EQ(S_OK, hr);
        EXPECT_EQ(registering ? 5 : 0, ServerKeysPresent());
      }
      // A failed call may leave a part behind; unregistering removes it.
      ExpectNothingLeft(live);
      if (!failed || HasFailure()) break;
    }
    EXPECT_GT(failure_point, 10);
  }
}

INSTANTIATE_TEST_SUITE_P(OnceOrFromThenOn, RegistrationOutOfMemory, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "FromThenOn" : "Once"; });

}  // namespace
}  // namespace ordexa
