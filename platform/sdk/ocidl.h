// IProvideClassInfo, which the stand-in SDK keeps beside IDispatch in oaidl.h.
#pragma once

#include "oaidl.h"
