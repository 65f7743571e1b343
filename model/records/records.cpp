// Records carry no code of their own; this unit anchors the library.
#include "model/records/records.h"
