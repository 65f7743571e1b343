// The self-registration results (SELFREG_E_*), which the stand-in SDK keeps in winerror.h.
#pragma once

#include "winerror.h"
