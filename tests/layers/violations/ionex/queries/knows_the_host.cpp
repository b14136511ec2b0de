// A query that knows the host and a header without its folder.
#include "mex.h"
#include "line_source.h"
