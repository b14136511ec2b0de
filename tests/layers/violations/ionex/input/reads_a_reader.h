// An input header that reaches up into a reader.
#pragma once
#include "format_reader/ionex_reader.h"
