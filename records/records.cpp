// Records carry no code of their own; this unit anchors the library.
#include "records/records.h"
