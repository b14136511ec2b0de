// One gateway family using the other.
#include "ionex_package/read_call.h"
