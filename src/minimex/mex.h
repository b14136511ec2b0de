/* The MEX entry point as the hosts declare it, over the stand-in matrix library. */
#ifndef MINIMEX_MEX_H
#define MINIMEX_MEX_H

#include "matrix.h"

/* The one entry a MEX module exports, under its plain C name. */
MINIMEX_EXTERN_C void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

#endif /* MINIMEX_MEX_H */
