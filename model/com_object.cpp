// The module-wide count of live objects and server locks.
#include "model/com_object.h"

#include <atomic>

namespace ordexa {

namespace {
// Objects live in their apartment, but the platform may ask whether the module can be
// unloaded from any thread, and the shared class factory locks it from any thread.
std::atomic<std::int32_t> module_lock_count{0};
}  // namespace

std::int32_t ModuleLockCount() { return module_lock_count.load(); }
void LockModule() { ++module_lock_count; }
void UnlockModule() { --module_lock_count; }

}  // namespace ordexa
