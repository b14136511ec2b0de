// The write: plan, then text through the output seam.
#include "writer/ionex_writer.h"

#include <new>

#include "writer/ionex_text_writer.h"
#include "writer/output_file.h"
#include "writer/write_plan.h"

namespace ionex {

namespace {

constexpr std::size_t kSinkBytes = 1 << 18;

// Where a file write's text goes, and why it stopped.
struct FileContext {
    OutputFile* file = nullptr;
    OutputFailure failure;
};

// Hands a full buffer of text to the output file of `context` (a FileContext).
// Returns false when the output failed (its reason kept in the context).
bool flushToFile(void* context, const char* data, std::size_t count) {
    FileContext* c = static_cast<FileContext*>(context);
    return writeOutput(c->file, data, count, c->failure);
}

// Appends a full buffer of text to the string `context`. Returns true (a failing allocation
// throws, and the caller catches it).
bool flushToString(void* context, const char* data, std::size_t count) {
    static_cast<std::string*>(context)->append(data, count);
    return true;
}

// Tells whether `path` ends in `suffix`, letters compared without case. Returns true if so.
bool endsWith(const std::string& path, const char* suffix, bool any_case) {
    std::size_t n = 0;
    while (suffix[n] != '\0') ++n;
    if (path.size() < n) return false;
    for (std::size_t k = 0; k < n; ++k) {
        char c = path[path.size() - n + k];
        if (any_case && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[k]) return false;
    }
    return true;
}

// Fills `failure` from the output seam's. Returns the status.
WriteStatus outputFailure(const OutputFailure& out, WriteFailure& failure) {
    failure.field.clear();
    failure.detail = out.message;
    failure.status = out.status == OutputStatus::kExists        ? WriteStatus::kExists
                     : out.status == OutputStatus::kOutOfMemory ? WriteStatus::kOutOfMemory
                                                                : WriteStatus::kWrite;
    if (failure.status == WriteStatus::kOutOfMemory && failure.detail.empty()) failure.detail = "not enough memory";
    return failure.status;
}

// The file write, which may throw std::bad_alloc (the caller catches it); `context.file` is
// what must be abandoned then.
WriteStatus writeFile(const std::string& path, const WriteInput& input, const WriteFileOptions& options,
                      FileContext& context, WriteFailure& failure) {
    WritePlan plan;
    WriteStatus st = planWrite(input, plan, failure);
    if (st != WriteStatus::kOk) return st;
    OutputOptions output;
    output.gzip = isGzipName(path);
    output.overwrite = options.overwrite;
    context.file = openOutput(path.c_str(), output, context.failure);
    if (context.file == nullptr) return outputFailure(context.failure, failure);
    TextSink sink;
    sink.flush = flushToFile;
    sink.context = &context;
    sink.buffer.resize(kSinkBytes);
    if (!writeIonexText(input, plan, sink)) {
        abandonOutput(context.file);
        context.file = nullptr;
        return outputFailure(context.failure, failure);
    }
    OutputFile* file = context.file;
    context.file = nullptr;  // finishOutput releases it, whatever happens
    if (!finishOutput(file, context.failure)) return outputFailure(context.failure, failure);
    return WriteStatus::kOk;
}

}  // namespace

bool isGzipName(const std::string& path) { return endsWith(path, ".gz", true); }

bool isCompressName(const std::string& path) { return endsWith(path, ".z", true); }

WriteStatus writeIonexFile(const std::string& path, const WriteInput& input, const WriteFileOptions& options,
                           WriteFailure& failure) {
    failure = WriteFailure{};
    if (isCompressName(path)) {
        failure.status = WriteStatus::kInput;
        failure.field = "FILE";
        failure.detail = "ends in .Z: compress (and pack) files are not written; use .gz for a compressed file";
        return WriteStatus::kInput;
    }
    FileContext context;
    try {
        return writeFile(path, input, options, context, failure);
    } catch (const std::bad_alloc&) {
        abandonOutput(context.file);
        failure = WriteFailure{};
        failure.status = WriteStatus::kOutOfMemory;
        failure.detail = "not enough memory to write the file";
        return WriteStatus::kOutOfMemory;
    }
}

WriteStatus writeIonexString(const WriteInput& input, std::string& text, WriteFailure& failure) {
    failure = WriteFailure{};
    text.clear();
    try {
        WritePlan plan;
        const WriteStatus st = planWrite(input, plan, failure);
        if (st != WriteStatus::kOk) return st;
        TextSink sink;
        sink.flush = flushToString;
        sink.context = &text;
        sink.buffer.resize(kSinkBytes);
        writeIonexText(input, plan, sink);
        return WriteStatus::kOk;
    } catch (const std::bad_alloc&) {
        text.clear();
        failure = WriteFailure{};
        failure.status = WriteStatus::kOutOfMemory;
        failure.detail = "not enough memory to write the text";
        return WriteStatus::kOutOfMemory;
    }
}

}  // namespace ionex
