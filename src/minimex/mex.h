/* The MEX entry point as the hosts declare it, over the stand-in matrix library. */
#ifndef MINIMEX_MEX_H
#define MINIMEX_MEX_H

#include "matrix.h"

/* The one entry a MEX module exports, under its plain C name. */
MINIMEX_EXTERN_C void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

/* Raises a host error with identifier `id` and the printf-formatted message. In the
 * stand-in it throws minimex::MexError (runEntry releases what the call made and passes it
 * on); a real host unwinds without running destructors. Does not return. */
MINIMEX_EXTERN_C void mexErrMsgIdAndTxt(const char* id, const char* format, ...);
/* Raises a host error without identifier, as mexErrMsgIdAndTxt. Does not return. */
MINIMEX_EXTERN_C void mexErrMsgTxt(const char* message);
/* Prints to the command window; the stand-in keeps the text for the tests.
 * Returns the number of characters printed. */
MINIMEX_EXTERN_C int mexPrintf(const char* format, ...);
/* Evaluates `command` in the host; the stand-in records it. Returns 0. */
MINIMEX_EXTERN_C int mexEvalString(const char* command);
/* Calls the host function `name`. The stand-in knows "char" of a string scalar (its text
 * as a char row) and of a char array (a copy). Returns 0, or 1 when it cannot call it. */
MINIMEX_EXTERN_C int mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name);

/* MATLAB's interrupt check (its libut; not in its published headers): whether the user
 * pressed Ctrl-C. The stand-in reports what the tests arm (minimex_testing.h) and may throw
 * minimex::HostInterrupt, as Octave throws from calls into it. Returns true when an
 * interrupt is pending. */
MINIMEX_EXTERN_C bool utIsInterruptPending(void);

#endif /* MINIMEX_MEX_H */
