/* The host array operations the gateway calls, with the signatures of the MATLAB matrix
 * library. This is a test-only stand-in: real hosts bring their own matrix.h / mex.h. */
#ifndef MINIMEX_MATRIX_H
#define MINIMEX_MATRIX_H

#include <stddef.h>
#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#include <uchar.h>
#endif

#ifdef __cplusplus
#define MINIMEX_EXTERN_C extern "C"
#else
#define MINIMEX_EXTERN_C extern
#endif

typedef struct mxArray_tag mxArray; /* opaque, as in the real hosts */
typedef size_t mwSize;
typedef size_t mwIndex;
typedef char16_t mxChar;
typedef bool mxLogical;

typedef enum {
    mxUNKNOWN_CLASS = 0,
    mxCELL_CLASS,
    mxSTRUCT_CLASS,
    mxLOGICAL_CLASS,
    mxCHAR_CLASS,
    mxVOID_CLASS,
    mxDOUBLE_CLASS,
    mxSINGLE_CLASS,
    mxINT8_CLASS,
    mxUINT8_CLASS,
    mxINT16_CLASS,
    mxUINT16_CLASS,
    mxINT32_CLASS,
    mxUINT32_CLASS,
    mxINT64_CLASS,
    mxUINT64_CLASS,
    mxFUNCTION_CLASS
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

/* Tells whether `a` is a char array. Returns true exactly for char arrays. */
MINIMEX_EXTERN_C bool mxIsChar(const mxArray* a);
/* Tells whether `a` is of a numeric class (double, single, integer).
 * Returns false for char, logical, cell and struct arrays. */
MINIMEX_EXTERN_C bool mxIsNumeric(const mxArray* a);
/* Tells whether `a` has an imaginary part. Returns true for complex arrays. */
MINIMEX_EXTERN_C bool mxIsComplex(const mxArray* a);
/* Tells whether `a` is stored sparse. Returns true for sparse arrays. */
MINIMEX_EXTERN_C bool mxIsSparse(const mxArray* a);
/* Class of `a`. Returns its mxClassID. */
MINIMEX_EXTERN_C mxClassID mxGetClassID(const mxArray* a);
/* Number of rows of `a`. Returns it. */
MINIMEX_EXTERN_C size_t mxGetM(const mxArray* a);
/* Number of columns of `a`. Returns it. */
MINIMEX_EXTERN_C size_t mxGetN(const mxArray* a);
/* Number of elements of `a`. Returns rows times columns. */
MINIMEX_EXTERN_C size_t mxGetNumberOfElements(const mxArray* a);
/* Real doubles of a double array, column-major (misuse for other classes).
 * Returns the pointer to the first element. */
MINIMEX_EXTERN_C double* mxGetPr(const mxArray* a);
/* Real element storage of a numeric, char or logical array, in the class's element type.
 * Returns the pointer, or null for cell and struct arrays. */
MINIMEX_EXTERN_C void* mxGetData(const mxArray* a);
/* Value of the first real element of `a`, converted to double.
 * Returns 0 for empty, cell and struct arrays. */
MINIMEX_EXTERN_C double mxGetScalar(const mxArray* a);
/* Element `i` (0-based, linear) of a cell array, still owned by the cell.
 * Returns it, or null for an empty cell. */
MINIMEX_EXTERN_C mxArray* mxGetCell(const mxArray* cell, mwIndex i);

/* Copies the characters of a char array, column-major, into new NUL-terminated text.
 * Returns the copy (release it with mxFree), or null when `a` cannot be converted. */
MINIMEX_EXTERN_C char* mxArrayToString(const mxArray* a);
/* Releases a copy made by mxArrayToString; accepts null. Returns nothing. */
MINIMEX_EXTERN_C void mxFree(void* p);

/* Makes an m-by-n double matrix filled with zeros.
 * Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity complexity);
/* Makes a 1-by-1 double holding `value`. Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateDoubleScalar(double value);
/* Makes an m-by-n numeric array of `class_id` filled with zeros.
 * Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID class_id,
                                                mxComplexity complexity);
/* Makes an m-by-n numeric array of `class_id` whose elements the caller must set. Here they
 * hold the byte pattern 0xA5 (no value a reader writes), so that tests see any left unset.
 * Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateUninitNumericMatrix(mwSize m, mwSize n, mxClassID class_id,
                                                      mxComplexity complexity);
/* Makes an m-by-n cell array whose cells are empty (null). Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateCellMatrix(mwSize m, mwSize n);
/* Makes a char row holding the bytes of `s` (0-by-0 for the empty string).
 * Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateString(const char* s);
/* Stores `value` as element `i` of `cell`; the cell owns it from now on. The element it
 * displaces is not released. Returns nothing. */
MINIMEX_EXTERN_C void mxSetCell(mxArray* cell, mwIndex i, mxArray* value);
/* Makes an independent deep copy of `a`, cell elements included.
 * Returns the copy. */
MINIMEX_EXTERN_C mxArray* mxDuplicateArray(const mxArray* a);
/* Releases `a` and, for a cell, every element it owns; accepts null.
 * Returns nothing. */
MINIMEX_EXTERN_C void mxDestroyArray(mxArray* a);

#endif /* MINIMEX_MATRIX_H */
