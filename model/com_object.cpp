// The module-wide count of live objects and server locks.
#include "model/com_object.h"

namespace ordexa {

namespace {
// Objects live in a single-threaded apartment, so a plain counter suffices.
std::int32_t module_lock_count = 0;
}  // namespace

std::int32_t ModuleLockCount() { return module_lock_count; }
void LockModule() { ++module_lock_count; }
void UnlockModule() { --module_lock_count; }

}  // namespace ordexa
