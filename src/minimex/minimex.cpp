// Stand-in host array library for tests: MATLAB's matrix operations over plain heap
// storage, with a registry of live arrays so that tests can prove ownership and release.
// Misuse that a real host would punish with a crash or corruption (an array destroyed
// twice, destroyed while a cell owns it, a foreign pointer freed) aborts at once.

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "minimex_testing.h"

struct mxArray_tag {
    mxClassID class_id;
    size_t rows;                 // dims[0]
    size_t cols;                 // product of dims[1..]
    std::vector<size_t> dims;    // at least two
    bool is_complex;
    bool is_sparse;
    bool unconvertible;          // mxArrayToString refuses it
    void* real;                  // rows * cols elements of the class (null for cell, struct)
    void* imag;                  // same size as `real` for complex arrays, else null
    // Elements of a cell array, or field values of a struct array (element e, field f at
    // e * field_names.size() + f); null when empty.
    std::vector<mxArray*> cells;
    mxArray* owner;              // the cell or struct this array was stored into, or null
    uint64_t serial;             // creation order, to tell what a call made
    std::vector<std::string> field_names;  // struct arrays
    std::vector<std::string> texts;        // string arrays (class "string"), one per element
};

namespace {

struct Registry {
    std::unordered_set<mxArray*> arrays;
    std::unordered_set<char*> strings;
    uint64_t next_serial = 1;
    long allocations_until_fault = 0;  // 0: no fault armed
    long faulty_allocations = 0;       // how many in a row fail once the fault is due
    size_t last_temporaries = 0;
    std::string printed;
    std::vector<std::string> evaluated;
    long evaluations_until_interrupt = 0;  // 0: no interrupt armed
    long interrupt_checks = 0;             // calls of utIsInterruptPending since it was armed
    long interrupt_from_check = 0;         // from this check on an interrupt is pending (0: never)
    long throw_at_check = 0;               // this check throws HostInterrupt (0: never)
};

// The one registry of this process (tests run one call at a time).
// Returns it.
Registry& registry() {
    static Registry instance;
    return instance;
}

// Reports a use of the library that a real host would not survive, and aborts.
// Does not return.
[[noreturn]] void misuse(const char* what) {
    std::fprintf(stderr, "minimex: %s\n", what);
    std::abort();
}

// Counts down an armed allocation fault and throws when it falls due.
// Returns normally when no fault is due.
void allocationPoint() {
    Registry& r = registry();
    if (r.allocations_until_fault > 1) {
        --r.allocations_until_fault;
    } else if (r.allocations_until_fault == 1 && r.faulty_allocations > 0) {
        if (--r.faulty_allocations == 0) r.allocations_until_fault = 0;
        throw std::bad_alloc();
    }
}

// Checks that `a` is a live array of this library.
// Returns `a` as a mutable pointer.
mxArray* checked(const mxArray* a) {
    mxArray* p = const_cast<mxArray*>(a);
    if (p == nullptr || registry().arrays.count(p) == 0) misuse("use of a pointer that is not a live array");
    return p;
}

// Size in bytes of one element of `class_id`.
// Returns 0 for classes without element storage (cell, struct).
size_t elementSize(mxClassID class_id) {
    switch (class_id) {
        case mxDOUBLE_CLASS: case mxINT64_CLASS: case mxUINT64_CLASS: return 8;
        case mxSINGLE_CLASS: case mxINT32_CLASS: case mxUINT32_CLASS: return 4;
        case mxINT16_CLASS: case mxUINT16_CLASS: case mxCHAR_CLASS: return 2;
        case mxINT8_CLASS: case mxUINT8_CLASS: case mxLOGICAL_CLASS: return 1;
        default: return 0;
    }
}

// Allocates zeroed storage for `count` elements of `size` bytes (at least one byte, so that
// empty arrays still have a distinct pointer). Returns the storage.
void* zeroStorage(size_t count, size_t size) {
    void* p = std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

// Creates and registers an array of the given class and dimensions (trailing ones beyond
// the second dropped), zero-filled. Returns the new array.
mxArray* createArray(mxClassID class_id, std::vector<size_t> dims, bool is_complex) {
    allocationPoint();
    while (dims.size() < 2) dims.push_back(dims.empty() ? 0 : 1);
    while (dims.size() > 2 && dims.back() == 1) dims.pop_back();
    size_t cols = 1;
    for (size_t k = 1; k < dims.size(); ++k) {
        if (dims[k] != 0 && cols > SIZE_MAX / 16 / dims[k]) throw std::bad_alloc();
        cols *= dims[k];
    }
    const size_t m = dims[0];
    if (cols != 0 && m > SIZE_MAX / 16 / cols) throw std::bad_alloc();
    auto* a = new mxArray_tag{class_id, m, cols, dims, is_complex, false, false, nullptr, nullptr, {}, nullptr, 0, {}, {}};
    const size_t size = elementSize(class_id);
    if (size != 0) {
        a->real = zeroStorage(m * cols, size);
        if (is_complex) a->imag = zeroStorage(m * cols, size);
    }
    if (class_id == mxCELL_CLASS) a->cells.assign(m * cols, nullptr);
    Registry& r = registry();
    a->serial = r.next_serial++;
    r.arrays.insert(a);
    return a;
}

// Creates an m-by-n array, as createArray. Returns the new array.
mxArray* createArray(mxClassID class_id, size_t m, size_t n, bool is_complex) {
    return createArray(class_id, std::vector<size_t>{m, n}, is_complex);
}

// Checks that `a` is a live struct array. Returns it as a mutable pointer.
mxArray* checkedStruct(const mxArray* a) {
    mxArray* p = checked(a);
    if (p->class_id != mxSTRUCT_CLASS) misuse("struct operation on an array that is not a struct");
    return p;
}

// Slot of field `number` of element `i` of struct `s`; misuse when out of range.
// Returns the slot.
mxArray*& fieldSlot(mxArray* s, mwIndex i, int number) {
    const size_t nfields = s->field_names.size();
    if (number < 0 || static_cast<size_t>(number) >= nfields || i >= s->rows * s->cols) {
        misuse("struct field access outside the array");
    }
    return s->cells[i * nfields + static_cast<size_t>(number)];
}

// Stores `value` into `slot` of `container`, which owns it from now on; the value it
// displaces becomes an orphan, as in the real hosts. Returns nothing.
void storeOwned(mxArray* container, mxArray*& slot, mxArray* value) {
    if (value != nullptr) {
        checked(value);
        if (value->owner != nullptr) misuse("storing an array that a cell or struct already owns");
        if (value == container) misuse("storing an array into itself");
        value->owner = container;
    }
    if (slot != nullptr) slot->owner = nullptr;
    slot = value;
}

// Formats printf-style arguments. Returns the text.
std::string formatText(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

// Releases `a` and, for a cell, every element it owns.
// Returns nothing.
void release(mxArray* a) {
    for (mxArray* element : a->cells) {
        if (element != nullptr) release(element);
    }
    registry().arrays.erase(a);
    std::free(a->real);
    std::free(a->imag);
    delete a;
}

// Value of element `i` of a numeric, char or logical array, as a double.
// Returns 0 for classes without numeric elements.
double elementAsDouble(const mxArray* a, size_t i) {
    switch (a->class_id) {
        case mxDOUBLE_CLASS: return static_cast<const double*>(a->real)[i];
        case mxSINGLE_CLASS: return static_cast<const float*>(a->real)[i];
        case mxINT8_CLASS: return static_cast<const int8_t*>(a->real)[i];
        case mxUINT8_CLASS: return static_cast<const uint8_t*>(a->real)[i];
        case mxINT16_CLASS: return static_cast<const int16_t*>(a->real)[i];
        case mxUINT16_CLASS: return static_cast<const uint16_t*>(a->real)[i];
        case mxINT32_CLASS: return static_cast<const int32_t*>(a->real)[i];
        case mxUINT32_CLASS: return static_cast<const uint32_t*>(a->real)[i];
        case mxINT64_CLASS: return static_cast<double>(static_cast<const int64_t*>(a->real)[i]);
        case mxUINT64_CLASS: return static_cast<double>(static_cast<const uint64_t*>(a->real)[i]);
        case mxCHAR_CLASS: return static_cast<const char16_t*>(a->real)[i];
        case mxLOGICAL_CLASS: return static_cast<const bool*>(a->real)[i] ? 1.0 : 0.0;
        default: return 0.0;
    }
}

// Converts `v` to T, saturating at T's limits and taking NaN as 0, as hosts convert
// doubles to integer classes (after rounding to nearest).
// Returns the converted value.
template <typename T>
T saturate(double v) {
    if (v != v) return 0;
    const double r = v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
    if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

// Stores `v` as element `i` of the real storage of `a`, converted to its class.
// Returns nothing.
void storeElement(mxArray* a, size_t i, double v) {
    switch (a->class_id) {
        case mxDOUBLE_CLASS: static_cast<double*>(a->real)[i] = v; break;
        case mxSINGLE_CLASS: static_cast<float*>(a->real)[i] = static_cast<float>(v); break;
        case mxINT8_CLASS: static_cast<int8_t*>(a->real)[i] = saturate<int8_t>(v); break;
        case mxUINT8_CLASS: static_cast<uint8_t*>(a->real)[i] = saturate<uint8_t>(v); break;
        case mxINT16_CLASS: static_cast<int16_t*>(a->real)[i] = saturate<int16_t>(v); break;
        case mxUINT16_CLASS: static_cast<uint16_t*>(a->real)[i] = saturate<uint16_t>(v); break;
        case mxINT32_CLASS: static_cast<int32_t*>(a->real)[i] = saturate<int32_t>(v); break;
        case mxUINT32_CLASS: static_cast<uint32_t*>(a->real)[i] = saturate<uint32_t>(v); break;
        case mxINT64_CLASS: static_cast<int64_t*>(a->real)[i] = saturate<int64_t>(v); break;
        case mxUINT64_CLASS: static_cast<uint64_t*>(a->real)[i] = saturate<uint64_t>(v); break;
        default: misuse("storeElement on a class without numeric elements");
    }
}

// Appends the UTF-8 form of code point `c` to `out`.
// Returns nothing.
void appendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The UTF-8 text of `count` UTF-16 code units (the host's characters); surrogate pairs make
// one character, a lone surrogate U+DC80..U+DCFF gives back the byte utf16Of kept in it
// (so that any bytes round-trip), any other lone surrogate becomes U+FFFD.
// Returns the text.
std::string utf8Of(const char16_t* chars, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        const char16_t c = chars[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && chars[i + 1] >= 0xDC00 && chars[i + 1] < 0xE000) {
            appendCodePoint(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (chars[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xDC80 && c < 0xDD00) {
            out += static_cast<char>(c - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            appendCodePoint(out, 0xFFFD);
        } else {
            appendCodePoint(out, c);
        }
    }
    return out;
}

// The UTF-16 code units of the UTF-8 text `s` (`length` bytes), as MATLAB stores characters;
// a byte that starts no valid sequence is kept as the lone surrogate U+DC00 + byte, which
// utf8Of turns back into that byte (text that is not UTF-8, such as Latin-1 comments,
// comes back as it was).
// Returns the code units.
std::u16string utf16Of(const char* s, size_t length) {
    std::u16string out;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    size_t i = 0;
    while (i < length) {
        const unsigned char lead = p[i];
        size_t extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2
                     : lead >= 0xF0 && lead < 0xF5 ? 3 : 4;
        char32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool valid = extra < 4 && i + extra < length;
        for (size_t k = 1; valid && k <= extra; ++k) {
            valid = (p[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        valid = valid && c >= least[extra] && c <= 0x10FFFF && !(c >= 0xD800 && c < 0xE000);
        if (!valid) {
            out += static_cast<char16_t>(0xDC00 + lead);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += extra + 1;
    }
    return out;
}

// Adds `a` and every array inside it to `seen`.
// Returns nothing.
void collectReachable(mxArray* a, std::unordered_set<mxArray*>& seen) {
    if (a == nullptr || !seen.insert(a).second) return;
    for (mxArray* element : a->cells) collectReachable(element, seen);
}

// Releases every unowned array made at or after serial `start` that is not in `keep`.
// Returns the number of arrays released this way (their elements not counted).
size_t releaseMadeSince(uint64_t start, const std::unordered_set<mxArray*>& keep) {
    std::vector<mxArray*> doomed;
    for (mxArray* a : registry().arrays) {
        if (a->serial >= start && a->owner == nullptr && keep.count(a) == 0) doomed.push_back(a);
    }
    for (mxArray* a : doomed) release(a);
    return doomed.size();
}

}  // namespace

// ---- Queries -------------------------------------------------------------------------

bool mxIsChar(const mxArray* a) { return checked(a)->class_id == mxCHAR_CLASS; }

bool mxIsNumeric(const mxArray* a) {
    const mxClassID c = checked(a)->class_id;
    return c >= mxDOUBLE_CLASS && c <= mxUINT64_CLASS;
}

bool mxIsStruct(const mxArray* a) { return checked(a)->class_id == mxSTRUCT_CLASS; }

bool mxIsCell(const mxArray* a) { return checked(a)->class_id == mxCELL_CLASS; }

bool mxIsLogical(const mxArray* a) { return checked(a)->class_id == mxLOGICAL_CLASS; }

bool mxIsDouble(const mxArray* a) { return checked(a)->class_id == mxDOUBLE_CLASS; }

bool mxIsEmpty(const mxArray* a) {
    const mxArray* p = checked(a);
    return p->rows * p->cols == 0;
}

const char* mxGetClassName(const mxArray* a) {
    switch (checked(a)->class_id) {
        case mxCELL_CLASS: return "cell";
        case mxSTRUCT_CLASS: return "struct";
        case mxLOGICAL_CLASS: return "logical";
        case mxCHAR_CLASS: return "char";
        case mxDOUBLE_CLASS: return "double";
        case mxSINGLE_CLASS: return "single";
        case mxINT8_CLASS: return "int8";
        case mxUINT8_CLASS: return "uint8";
        case mxINT16_CLASS: return "int16";
        case mxUINT16_CLASS: return "uint16";
        case mxINT32_CLASS: return "int32";
        case mxUINT32_CLASS: return "uint32";
        case mxINT64_CLASS: return "int64";
        case mxUINT64_CLASS: return "uint64";
        case mxFUNCTION_CLASS: return "function_handle";
        case mxOBJECT_CLASS: return "string";  // the only object class the stand-in makes
        default: return "unknown";
    }
}

bool mxIsClass(const mxArray* a, const char* name) { return std::strcmp(mxGetClassName(a), name) == 0; }

bool mxIsLogicalScalarTrue(const mxArray* a) {
    const mxArray* p = checked(a);
    return p->class_id == mxLOGICAL_CLASS && p->rows * p->cols == 1 && static_cast<const bool*>(p->real)[0];
}

bool mxIsComplex(const mxArray* a) { return checked(a)->is_complex; }

bool mxIsSparse(const mxArray* a) { return checked(a)->is_sparse; }

mxClassID mxGetClassID(const mxArray* a) { return checked(a)->class_id; }

mwSize mxGetNumberOfDimensions(const mxArray* a) { return checked(a)->dims.size(); }

const mwSize* mxGetDimensions(const mxArray* a) { return checked(a)->dims.data(); }

size_t mxGetM(const mxArray* a) { return checked(a)->rows; }

size_t mxGetN(const mxArray* a) { return checked(a)->cols; }

size_t mxGetNumberOfElements(const mxArray* a) {
    const mxArray* p = checked(a);
    return p->rows * p->cols;
}

double* mxGetPr(const mxArray* a) {
    mxArray* p = checked(a);
    // The interleaved-complex hosts refuse mxGetPr on any class but double.
    if (p->class_id != mxDOUBLE_CLASS) misuse("mxGetPr on an array that is not double");
    return static_cast<double*>(p->real);
}

void* mxGetData(const mxArray* a) { return checked(a)->real; }

double mxGetScalar(const mxArray* a) {
    const mxArray* p = checked(a);
    if (p->real == nullptr || p->rows * p->cols == 0) return 0.0;
    return elementAsDouble(p, 0);
}

mxLogical* mxGetLogicals(const mxArray* a) {
    mxArray* p = checked(a);
    return p->class_id == mxLOGICAL_CLASS ? static_cast<mxLogical*>(p->real) : nullptr;
}

mxArray* mxGetCell(const mxArray* cell, mwIndex i) {
    const mxArray* p = checked(cell);
    if (p->class_id != mxCELL_CLASS || i >= p->cells.size()) misuse("mxGetCell outside a cell array");
    return p->cells[i];
}

int mxGetNumberOfFields(const mxArray* a) {
    const mxArray* p = checked(a);
    return p->class_id == mxSTRUCT_CLASS ? static_cast<int>(p->field_names.size()) : 0;
}

const char* mxGetFieldNameByNumber(const mxArray* a, int number) {
    const mxArray* p = checkedStruct(a);
    if (number < 0 || static_cast<size_t>(number) >= p->field_names.size()) return nullptr;
    return p->field_names[static_cast<size_t>(number)].c_str();
}

int mxGetFieldNumber(const mxArray* a, const char* name) {
    const mxArray* p = checkedStruct(a);
    for (size_t f = 0; f < p->field_names.size(); ++f) {
        if (p->field_names[f] == name) return static_cast<int>(f);
    }
    return -1;
}

mxArray* mxGetFieldByNumber(const mxArray* a, mwIndex i, int number) {
    return fieldSlot(checkedStruct(a), i, number);
}

mxArray* mxGetField(const mxArray* a, mwIndex i, const char* name) {
    const int number = mxGetFieldNumber(a, name);
    if (number < 0) return nullptr;
    return mxGetFieldByNumber(a, i, number);
}

// ---- Strings -------------------------------------------------------------------------

char* mxArrayToString(const mxArray* a) {
    const mxArray* p = checked(a);
    if (p->class_id != mxCHAR_CLASS || p->unconvertible) return nullptr;
    allocationPoint();
    const std::string text = utf8Of(static_cast<const char16_t*>(p->real), p->rows * p->cols);
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) throw std::bad_alloc();
    std::memcpy(copy, text.c_str(), text.size() + 1);
    registry().strings.insert(copy);
    return copy;
}

void mxFree(void* p) {
    if (p == nullptr) return;
    char* s = static_cast<char*>(p);
    if (registry().strings.erase(s) == 0) misuse("mxFree of memory this library did not hand out");
    std::free(s);
}

// ---- Creation, ownership and release -------------------------------------------------

mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity complexity) {
    return createArray(mxDOUBLE_CLASS, m, n, complexity == mxCOMPLEX);
}

mxArray* mxCreateDoubleScalar(double value) {
    mxArray* a = createArray(mxDOUBLE_CLASS, 1, 1, false);
    static_cast<double*>(a->real)[0] = value;
    return a;
}

mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID class_id, mxComplexity complexity) {
    if (class_id < mxDOUBLE_CLASS || class_id > mxUINT64_CLASS) misuse("mxCreateNumericMatrix of a non-numeric class");
    return createArray(class_id, m, n, complexity == mxCOMPLEX);
}

mxArray* mxCreateUninitNumericMatrix(mwSize m, mwSize n, mxClassID class_id, mxComplexity complexity) {
    mxArray* a = mxCreateNumericMatrix(m, n, class_id, complexity);
    const size_t bytes = m * n * elementSize(class_id);
    if (bytes != 0) {
        std::memset(a->real, 0xA5, bytes);
        if (a->is_complex) std::memset(a->imag, 0xA5, bytes);
    }
    return a;
}

mxArray* mxCreateNumericArray(mwSize ndim, const mwSize* dims, mxClassID class_id, mxComplexity complexity) {
    if (class_id < mxDOUBLE_CLASS || class_id > mxUINT64_CLASS) misuse("mxCreateNumericArray of a non-numeric class");
    return createArray(class_id, std::vector<size_t>(dims, dims + ndim), complexity == mxCOMPLEX);
}

mxArray* mxCreateUninitNumericArray(mwSize ndim, const mwSize* dims, mxClassID class_id, mxComplexity complexity) {
    mxArray* a = mxCreateNumericArray(ndim, dims, class_id, complexity);
    std::memset(a->real, 0xA5, std::max<size_t>(1, a->rows * a->cols) * elementSize(class_id));
    return a;
}

mxArray* mxCreateLogicalScalar(bool value) {
    mxArray* a = createArray(mxLOGICAL_CLASS, 1, 1, false);
    static_cast<bool*>(a->real)[0] = value;
    return a;
}

mxArray* mxCreateLogicalMatrix(mwSize m, mwSize n) { return createArray(mxLOGICAL_CLASS, m, n, false); }

mxArray* mxCreateStructMatrix(mwSize m, mwSize n, int nfields, const char** names) {
    std::vector<std::string> fields;
    for (int f = 0; f < nfields; ++f) {
        if (names[f] == nullptr || std::find(fields.begin(), fields.end(), names[f]) != fields.end()) {
            misuse("mxCreateStructMatrix with a missing or repeated field name");
        }
        fields.push_back(names[f]);
    }
    mxArray* a = createArray(mxSTRUCT_CLASS, m, n, false);
    a->field_names = std::move(fields);
    a->cells.assign(m * n * a->field_names.size(), nullptr);
    return a;
}

int mxAddField(mxArray* a, const char* name) {
    mxArray* p = checkedStruct(a);
    if (mxGetFieldNumber(p, name) >= 0) return -1;
    allocationPoint();
    const size_t old_count = p->field_names.size();
    const size_t elements = p->rows * p->cols;
    std::vector<mxArray*> cells(elements * (old_count + 1), nullptr);
    for (size_t e = 0; e < elements; ++e) {
        for (size_t f = 0; f < old_count; ++f) cells[e * (old_count + 1) + f] = p->cells[e * old_count + f];
    }
    p->cells.swap(cells);
    p->field_names.push_back(name);
    return static_cast<int>(old_count);
}

void mxSetFieldByNumber(mxArray* a, mwIndex i, int number, mxArray* value) {
    mxArray* p = checkedStruct(a);
    storeOwned(p, fieldSlot(p, i, number), value);
}

void mxSetField(mxArray* a, mwIndex i, const char* name, mxArray* value) {
    const int number = mxGetFieldNumber(a, name);
    if (number < 0) misuse("mxSetField of a field the struct does not have");
    mxSetFieldByNumber(a, i, number, value);
}

mxArray* mxCreateCellMatrix(mwSize m, mwSize n) { return createArray(mxCELL_CLASS, m, n, false); }

mxArray* mxCreateCharMatrixFromStrings(mwSize m, const char** s) {
    std::vector<std::u16string> rows;
    size_t width = 0;
    for (size_t r = 0; r < m; ++r) {
        rows.push_back(utf16Of(s[r], std::strlen(s[r])));
        width = std::max(width, rows.back().size());
    }
    mxArray* a = createArray(mxCHAR_CLASS, m, width, false);
    auto* chars = static_cast<char16_t*>(a->real);
    for (size_t r = 0; r < m; ++r) {
        for (size_t c = 0; c < width; ++c) chars[c * m + r] = c < rows[r].size() ? rows[r][c] : u' ';
    }
    return a;
}

mxArray* mxCreateCharArray(mwSize ndim, const mwSize* dims) {
    std::vector<size_t> sizes(dims, dims + ndim);
    while (sizes.size() < 2) sizes.push_back(1);
    return createArray(mxCHAR_CLASS, sizes, false);
}

size_t mxGetElementSize(const mxArray* a) { return elementSize(checked(a)->class_id); }

mxChar* mxGetChars(const mxArray* a) {
    const mxArray* p = checked(a);
    return p->class_id == mxCHAR_CLASS ? static_cast<mxChar*>(p->real) : nullptr;
}

mxArray* mxCreateString(const char* s) {
    // The host's locale is taken to be UTF-8, as on Linux and macOS, so that text made here
    // and read back with mxArrayToString is the same bytes.
    const std::u16string text = utf16Of(s, std::strlen(s));
    mxArray* a = createArray(mxCHAR_CLASS, text.empty() ? 0 : 1, text.size(), false);
    std::copy(text.begin(), text.end(), static_cast<char16_t*>(a->real));
    return a;
}

void mxSetCell(mxArray* cell, mwIndex i, mxArray* value) {
    mxArray* c = checked(cell);
    if (c->class_id != mxCELL_CLASS || i >= c->cells.size()) misuse("mxSetCell outside a cell array");
    storeOwned(c, c->cells[i], value);
}

mxArray* mxDuplicateArray(const mxArray* a) {
    const mxArray* p = checked(a);
    mxArray* copy = createArray(p->class_id, p->dims, p->is_complex);
    copy->is_sparse = p->is_sparse;
    copy->unconvertible = p->unconvertible;
    copy->field_names = p->field_names;
    copy->texts = p->texts;
    copy->cells.assign(p->cells.size(), nullptr);
    const size_t bytes = p->rows * p->cols * elementSize(p->class_id);
    if (bytes != 0) {
        std::memcpy(copy->real, p->real, bytes);
        if (p->is_complex) std::memcpy(copy->imag, p->imag, bytes);
    }
    for (size_t i = 0; i < p->cells.size(); ++i) {
        if (p->cells[i] != nullptr) storeOwned(copy, copy->cells[i], mxDuplicateArray(p->cells[i]));
    }
    return copy;
}

void mxDestroyArray(mxArray* a) {
    if (a == nullptr) return;
    checked(a);
    if (a->owner != nullptr) misuse("mxDestroyArray of an array that a cell or struct owns");
    release(a);
}

// ---- Host services -------------------------------------------------------------------

void mexErrMsgIdAndTxt(const char* id, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = formatText(format, args);
    va_end(args);
    throw minimex::MexError(id, text);
}

void mexErrMsgTxt(const char* message) { throw minimex::MexError("", message); }

int mexPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = formatText(format, args);
    va_end(args);
    registry().printed += text;
    return static_cast<int>(text.size());
}

int mexEvalString(const char* command) {
    Registry& r = registry();
    r.evaluated.push_back(command);
    if (r.evaluations_until_interrupt > 0 && --r.evaluations_until_interrupt == 0) throw minimex::HostInterrupt();
    return 0;
}

bool utIsInterruptPending(void) {
    Registry& r = registry();
    const long check = ++r.interrupt_checks;
    if (check == r.throw_at_check) throw minimex::HostInterrupt();
    return r.interrupt_from_check > 0 && check >= r.interrupt_from_check;
}

int mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name) {
    if (nlhs == 1 && nrhs >= 1 && std::string(name) == "zeros") {
        // zeros(m, n, ...): real double scalar sizes, trailing singletons dropped as the hosts do.
        std::vector<size_t> dims;
        for (int i = 0; i < nrhs; ++i) {
            const mxArray* size = checked(prhs[i]);
            if (!mxIsDouble(size) || mxGetNumberOfElements(size) != 1) return 1;
            const double d = mxGetScalar(size);
            if (!(d >= 0) || d != std::floor(d)) return 1;
            dims.push_back(static_cast<size_t>(d));
        }
        if (dims.size() == 1) dims.push_back(dims[0]);
        while (dims.size() > 2 && dims.back() == 1) dims.pop_back();
        plhs[0] = createArray(mxDOUBLE_CLASS, dims, false);
        return 0;
    }
    if (nlhs != 1 || nrhs != 1) return 1;
    const mxArray* in = checked(prhs[0]);
    const std::string function = name;
    if (function == "char" && in->class_id == mxCHAR_CLASS) {
        plhs[0] = mxDuplicateArray(in);
        return 0;
    }
    if (function == "char" && in->class_id == mxOBJECT_CLASS && in->texts.size() == 1) {
        plhs[0] = minimex::makeChar(in->texts[0]);
        return 0;
    }
    if (function == "cellstr" && in->class_id == mxCHAR_CLASS && in->dims.size() == 2) {
        // A row of the char matrix each, trailing blanks removed, as the hosts do.
        const size_t m = in->dims[0], n = in->dims[1];
        const auto* chars = static_cast<const char16_t*>(in->real);
        mxArray* cell = createArray(mxCELL_CLASS, m, 1, false);
        for (size_t r = 0; r < m; ++r) {
            size_t length = n;
            while (length > 0 && chars[(length - 1) * m + r] == u' ') --length;
            std::string row;
            for (size_t c = 0; c < length; ++c) row += static_cast<char>(chars[c * m + r]);
            storeOwned(cell, cell->cells[r], mxCreateString(row.c_str()));
        }
        plhs[0] = cell;
        return 0;
    }
    if (function == "cellstr" && in->class_id == mxOBJECT_CLASS) {
        mxArray* cell = createArray(mxCELL_CLASS, in->dims, false);
        for (size_t i = 0; i < in->texts.size(); ++i) storeOwned(cell, cell->cells[i], minimex::makeChar(in->texts[i]));
        plhs[0] = cell;
        return 0;
    }
    return 1;
}

// ---- Test helpers --------------------------------------------------------------------

namespace minimex {

mxArray* makeNumeric(mxClassID class_id, size_t m, size_t n, const std::vector<double>& values) {
    if (values.size() != m * n) misuse("makeNumeric: value count differs from m * n");
    mxArray* a = mxCreateNumericMatrix(m, n, class_id, mxREAL);
    for (size_t i = 0; i < values.size(); ++i) storeElement(a, i, values[i]);
    return a;
}

mxArray* makeDouble(size_t m, size_t n, const std::vector<double>& values) {
    return makeNumeric(mxDOUBLE_CLASS, m, n, values);
}

mxArray* makeRow(const std::vector<double>& values) { return makeDouble(1, values.size(), values); }

mxArray* makeChar(const std::string& text) {
    const std::u16string units = utf16Of(text.data(), text.size());
    mxArray* a = createArray(mxCHAR_CLASS, 1, units.size(), false);
    std::copy(units.begin(), units.end(), static_cast<char16_t*>(a->real));
    return a;
}

mxArray* makeUnconvertibleChar(const std::string& text) {
    mxArray* a = makeChar(text);
    a->unconvertible = true;
    return a;
}

mxArray* makeLogical(size_t m, size_t n, const std::vector<bool>& values) {
    if (values.size() != m * n) misuse("makeLogical: value count differs from m * n");
    mxArray* a = createArray(mxLOGICAL_CLASS, m, n, false);
    for (size_t i = 0; i < values.size(); ++i) static_cast<bool*>(a->real)[i] = values[i];
    return a;
}

mxArray* makeComplex(size_t m, size_t n, const std::vector<double>& real,
                     const std::vector<double>& imag) {
    if (real.size() != m * n || imag.size() != m * n) misuse("makeComplex: value count differs from m * n");
    mxArray* a = createArray(mxDOUBLE_CLASS, m, n, true);
    std::copy(real.begin(), real.end(), static_cast<double*>(a->real));
    std::copy(imag.begin(), imag.end(), static_cast<double*>(a->imag));
    return a;
}

mxArray* makeSparse(size_t m, size_t n, const std::vector<double>& values) {
    mxArray* a = makeDouble(m, n, values);
    a->is_sparse = true;
    return a;
}

mxArray* makeStruct(size_t m, size_t n) { return createArray(mxSTRUCT_CLASS, m, n, false); }

mxArray* makeCell(size_t m, size_t n, const std::vector<mxArray*>& elements) {
    if (elements.size() != m * n) misuse("makeCell: element count differs from m * n");
    mxArray* cell = mxCreateCellMatrix(m, n);
    for (size_t i = 0; i < elements.size(); ++i) mxSetCell(cell, i, elements[i]);
    return cell;
}

mxArray* makeStrings(size_t m, size_t n, const std::vector<std::string>& texts) {
    if (texts.size() != m * n) misuse("makeStrings: text count differs from m * n");
    mxArray* a = createArray(mxOBJECT_CLASS, m, n, false);
    a->texts = texts;
    return a;
}

const std::string& printedText() { return registry().printed; }

const std::vector<std::string>& evaluatedCommands() { return registry().evaluated; }

void interruptEvaluationNumber(long n) { registry().evaluations_until_interrupt = n > 0 ? n : 0; }

void interruptAtCheck(long n) {
    Registry& r = registry();
    r.interrupt_checks = 0;
    r.interrupt_from_check = n > 0 ? n : 0;
    r.throw_at_check = 0;
}

void throwAtCheck(long n) {
    Registry& r = registry();
    r.interrupt_checks = 0;
    r.interrupt_from_check = 0;
    r.throw_at_check = n > 0 ? n : 0;
}

long interruptCheckCount() { return registry().interrupt_checks; }

void clearPrinted() {
    registry().printed.clear();
    registry().evaluated.clear();
}

size_t liveArrayCount() { return registry().arrays.size(); }

size_t liveStringCount() { return registry().strings.size(); }

size_t lastCallTemporaryCount() { return registry().last_temporaries; }

void failAllocationNumber(long n, long count) {
    Registry& r = registry();
    r.allocations_until_fault = (n > 0 && count > 0) ? n : 0;
    r.faulty_allocations = (n > 0 && count > 0) ? count : 0;
}

void runEntry(MexEntry entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    const int slots = std::max(nlhs, 1);
    std::fill(plhs, plhs + slots, nullptr);
    const uint64_t start = registry().next_serial;
    try {
        entry(nlhs, plhs, nrhs, prhs);
    } catch (...) {
        registry().last_temporaries = releaseMadeSince(start, {});
        std::fill(plhs, plhs + slots, nullptr);
        throw;
    }
    std::unordered_set<mxArray*> reachable;
    for (int i = 0; i < slots; ++i) collectReachable(plhs[i], reachable);
    registry().last_temporaries = releaseMadeSince(start, reachable);
}

void destroyOutputs(mxArray* plhs[], int count) {
    for (int i = 0; i < count; ++i) {
        mxDestroyArray(plhs[i]);
        plhs[i] = nullptr;
    }
}

std::string textOf(const mxArray* a) {
    const mxArray* p = checked(a);
    if (p->class_id != mxCHAR_CLASS) return std::string();
    return utf8Of(static_cast<const char16_t*>(p->real), p->rows * p->cols);
}

}  // namespace minimex
