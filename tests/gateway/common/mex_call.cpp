// Test harness around the stand-in host.

#include "mex_call.h"


#include "minimex_testing.h"

namespace gwtest {

MexCall::MexCall(int nlhs_, std::vector<mxArray*> inputs_)
    : nlhs(nlhs_), inputs(std::move(inputs_)), outputs(static_cast<size_t>(nlhs_ > 1 ? nlhs_ : 1), nullptr) {
    std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
    minimex::runEntry(mexFunction, nlhs, outputs.data(), static_cast<int>(prhs.size()), prhs.data());
}

MexCall::~MexCall() {
    minimex::destroyOutputs(outputs.data(), static_cast<int>(outputs.size()));
    for (mxArray* input : inputs) mxDestroyArray(input);
}

bool MexCall::failed() const {
    const mxArray* first = outputs[0];
    if (first == nullptr || mxGetClassID(first) != mxCELL_CLASS) return false;
    if (mxGetM(first) != 2 || mxGetN(first) != 1) return false;
    const mxArray* msg = mxGetCell(first, 0);
    const mxArray* id = mxGetCell(first, 1);
    return msg != nullptr && id != nullptr && mxIsChar(msg) && mxIsChar(id);
}

std::string MexCall::message() const {
    return failed() ? minimex::textOf(mxGetCell(outputs[0], 0)) : std::string();
}

std::string MexCall::identifier() const {
    return failed() ? minimex::textOf(mxGetCell(outputs[0], 1)) : std::string();
}

std::vector<double> valuesOf(const mxArray* a) {
    if (a == nullptr || mxGetClassID(a) != mxDOUBLE_CLASS) return {};
    const double* p = mxGetPr(a);
    return std::vector<double>(p, p + mxGetNumberOfElements(a));
}

bool isDoubleMatrix(const mxArray* a, size_t m, size_t n) {
    return a != nullptr && mxGetClassID(a) == mxDOUBLE_CLASS && !mxIsComplex(a) &&
           mxGetM(a) == m && mxGetN(a) == n;
}

}  // namespace gwtest
