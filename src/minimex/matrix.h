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
    mxFUNCTION_CLASS,
    mxOPAQUE_CLASS,
    mxOBJECT_CLASS
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

/* Tells whether `a` is a char array. Returns true exactly for char arrays. */
MINIMEX_EXTERN_C bool mxIsChar(const mxArray* a);
/* Tells whether `a` is of a numeric class (double, single, integer).
 * Returns false for char, logical, cell and struct arrays. */
MINIMEX_EXTERN_C bool mxIsNumeric(const mxArray* a);
/* Tells whether `a` is a struct array. Returns true exactly for struct arrays. */
MINIMEX_EXTERN_C bool mxIsStruct(const mxArray* a);
/* Tells whether `a` is a cell array. Returns true exactly for cell arrays. */
MINIMEX_EXTERN_C bool mxIsCell(const mxArray* a);
/* Tells whether `a` is a logical array. Returns true exactly for logical arrays. */
MINIMEX_EXTERN_C bool mxIsLogical(const mxArray* a);
/* Tells whether `a` is a double array. Returns true exactly for double arrays. */
MINIMEX_EXTERN_C bool mxIsDouble(const mxArray* a);
/* Tells whether `a` has no elements. Returns true when one dimension is 0. */
MINIMEX_EXTERN_C bool mxIsEmpty(const mxArray* a);
/* Tells whether `a` is of the class called `name` ("double", "cell", "string", ...).
 * Returns true when the class names match. */
MINIMEX_EXTERN_C bool mxIsClass(const mxArray* a, const char* name);
/* Tells whether `a` is a 1-by-1 logical holding true. Returns that. */
MINIMEX_EXTERN_C bool mxIsLogicalScalarTrue(const mxArray* a);
/* Name of the class of `a` ("double", "char", "struct", "string", ...).
 * Returns static text. */
MINIMEX_EXTERN_C const char* mxGetClassName(const mxArray* a);
/* Tells whether `a` has an imaginary part. Returns true for complex arrays. */
MINIMEX_EXTERN_C bool mxIsComplex(const mxArray* a);
/* Tells whether `a` is stored sparse. Returns true for sparse arrays. */
MINIMEX_EXTERN_C bool mxIsSparse(const mxArray* a);
/* Class of `a`. Returns its mxClassID. */
MINIMEX_EXTERN_C mxClassID mxGetClassID(const mxArray* a);
/* Number of dimensions of `a` (at least 2). Returns it. */
MINIMEX_EXTERN_C mwSize mxGetNumberOfDimensions(const mxArray* a);
/* Dimensions of `a`, mxGetNumberOfDimensions(a) of them, owned by the array.
 * Returns the pointer to the first. */
MINIMEX_EXTERN_C const mwSize* mxGetDimensions(const mxArray* a);
/* Number of rows of `a`. Returns it. */
MINIMEX_EXTERN_C size_t mxGetM(const mxArray* a);
/* Number of columns of `a`: the product of every dimension after the first. Returns it. */
MINIMEX_EXTERN_C size_t mxGetN(const mxArray* a);
/* Number of elements of `a`. Returns the product of its dimensions. */
MINIMEX_EXTERN_C size_t mxGetNumberOfElements(const mxArray* a);
/* Real doubles of a double array, column-major (misuse for other classes).
 * Returns the pointer to the first element. */
MINIMEX_EXTERN_C double* mxGetPr(const mxArray* a);
/* Real element storage of a numeric, char or logical array, in the class's element type.
 * Returns the pointer, or null for cell and struct arrays. */
MINIMEX_EXTERN_C void* mxGetData(const mxArray* a);
/* Bytes of one element of a numeric, logical or char array; 0 for other classes. */
MINIMEX_EXTERN_C size_t mxGetElementSize(const mxArray* a);
/* Value of the first real element of `a`, converted to double.
 * Returns 0 for empty, cell and struct arrays. */
MINIMEX_EXTERN_C double mxGetScalar(const mxArray* a);
/* The logical elements of a logical array. Returns the pointer, or null for other classes. */
MINIMEX_EXTERN_C mxLogical* mxGetLogicals(const mxArray* a);
/* Element `i` (0-based, linear) of a cell array, still owned by the cell.
 * Returns it, or null for an empty cell. */
MINIMEX_EXTERN_C mxArray* mxGetCell(const mxArray* cell, mwIndex i);

/* Number of fields of a struct array. Returns it (0 for other classes). */
MINIMEX_EXTERN_C int mxGetNumberOfFields(const mxArray* a);
/* Name of field `number` (0-based) of a struct array, owned by the array.
 * Returns it, or null when there is no such field. */
MINIMEX_EXTERN_C const char* mxGetFieldNameByNumber(const mxArray* a, int number);
/* Number (0-based) of the field called `name`. Returns it, or -1 when there is none. */
MINIMEX_EXTERN_C int mxGetFieldNumber(const mxArray* a, const char* name);
/* Value of field `name` of element `i` of a struct array, still owned by the struct.
 * Returns it, or null when the field is empty or does not exist. */
MINIMEX_EXTERN_C mxArray* mxGetField(const mxArray* a, mwIndex i, const char* name);
/* Value of field `number` of element `i`, still owned by the struct.
 * Returns it, or null when the field is empty. */
MINIMEX_EXTERN_C mxArray* mxGetFieldByNumber(const mxArray* a, mwIndex i, int number);

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
/* Makes an array of `ndim` dimensions `dims` of `class_id` filled with zeros (trailing
 * dimensions of 1 beyond the second are dropped). Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateNumericArray(mwSize ndim, const mwSize* dims, mxClassID class_id,
                                               mxComplexity complexity);
/* Makes an array as mxCreateNumericArray whose elements are not set (the stand-in fills
 * them with the byte 0xA5, so that an element the caller forgets shows). Returns it. */
MINIMEX_EXTERN_C mxArray* mxCreateUninitNumericArray(mwSize ndim, const mwSize* dims, mxClassID class_id,
                                                     mxComplexity complexity);
/* Makes a 1-by-1 logical holding `value`. Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateLogicalScalar(bool value);
/* Makes an m-by-n logical array filled with false. Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateLogicalMatrix(mwSize m, mwSize n);
/* Makes an m-by-n struct array with the `nfields` fields named in `names`, every value
 * empty (null). Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateStructMatrix(mwSize m, mwSize n, int nfields, const char** names);
/* Adds a field called `name` to a struct array, empty in every element.
 * Returns its number, or -1 when the name is taken or the array is no struct. */
MINIMEX_EXTERN_C int mxAddField(mxArray* a, const char* name);
/* Stores `value` as field `name` of element `i`; the struct owns it from now on. The value
 * it displaces is not released. Returns nothing. */
MINIMEX_EXTERN_C void mxSetField(mxArray* a, mwIndex i, const char* name, mxArray* value);
/* Stores `value` as field `number` of element `i`, as mxSetField. Returns nothing. */
MINIMEX_EXTERN_C void mxSetFieldByNumber(mxArray* a, mwIndex i, int number, mxArray* value);
/* Makes an m-by-n cell array whose cells are empty (null). Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateCellMatrix(mwSize m, mwSize n);
/* Makes a char row of the UTF-8 text `s`, one UTF-16 code unit per character (two for those
 * beyond U+FFFF), as MATLAB in a UTF-8 locale (0-by-0 for the empty string).
 * Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateString(const char* s);
/* Makes an m-row char matrix of the texts `s`, each padded with blanks to the longest.
 * Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateCharMatrixFromStrings(mwSize m, const char** s);
/* Makes an ndim-dimensional char array, every code unit 0. Returns the new array. */
MINIMEX_EXTERN_C mxArray* mxCreateCharArray(mwSize ndim, const mwSize* dims);
/* The UTF-16 code units of a char array; null for any other class. */
MINIMEX_EXTERN_C mxChar* mxGetChars(const mxArray* a);
/* Stores `value` as element `i` of `cell`; the cell owns it from now on. The element it
 * displaces is not released. Returns nothing. */
MINIMEX_EXTERN_C void mxSetCell(mxArray* cell, mwIndex i, mxArray* value);
/* Makes an independent deep copy of `a`, cell and field elements included.
 * Returns the copy. */
MINIMEX_EXTERN_C mxArray* mxDuplicateArray(const mxArray* a);
/* Releases `a` and, for a cell or struct, every element it owns; accepts null.
 * Returns nothing. */
MINIMEX_EXTERN_C void mxDestroyArray(mxArray* a);

#endif /* MINIMEX_MATRIX_H */
