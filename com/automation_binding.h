// The late-bound side of the four classes: what a manager created by the class factory
// hands on to all its views.
#pragma once

#include "model/com_object.h"
#include "windows.h"

namespace ordexa {

// OrdexaBinding(): name tables, Invoke and type information of CPayManager, CPayment,
// CPaySetting and CPayAddress, from the member table.
const AutomationBinding& OrdexaBinding();

}  // namespace ordexa
