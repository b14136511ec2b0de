// The write: plan, then text through the output seam.
#include "writer/ionex_writer.h"

#include <memory>
#include <new>
#include <vector>

#include "common/kept_object.h"
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

// The sink's buffer, kept between writes: a buffer made for every write costs fresh pages
// from the system each time (as long as the text of a daily file takes to write).
KeptObject<std::vector<char>>& keptBuffers() {
    static KeptObject<std::vector<char>> kept;
    return kept;
}

// Lends the kept buffer to one sink (a new one when another write holds it, or none is made
// yet) and gives it back at the end.
class KeptBuffer {
public:
    // Gives `sink` its buffer, kSinkBytes long. May throw std::bad_alloc.
    explicit KeptBuffer(TextSink& sink) : sink_(sink) {
        std::unique_ptr<std::vector<char>> kept = keptBuffers().take();
        if (kept != nullptr) sink_.buffer.swap(*kept);
        if (sink_.buffer.size() != kSinkBytes) sink_.buffer.resize(kSinkBytes);
    }
    // Keeps the buffer for the next write. Nothing here may throw: a buffer that cannot be
    // noted is released.
    ~KeptBuffer() {
        std::unique_ptr<std::vector<char>> back(new (std::nothrow) std::vector<char>);
        if (back == nullptr) return;
        back->swap(sink_.buffer);
        keptBuffers().give(std::move(back));
    }
    KeptBuffer(const KeptBuffer&) = delete;
    KeptBuffer& operator=(const KeptBuffer&) = delete;

private:
    TextSink& sink_;
};

// Fills `failure` for an output that failed before the text was complete. A value that no
// exponent can write comes first, as when every value was checked before the file was made.
// Returns the status.
WriteStatus outputFailureAfterValues(const WriteInput& input, WritePlan& plan, const OutputFailure& out, WriteFailure& failure) {
    if (!plan.values_checked && planExponents(input, plan, failure) != WriteStatus::kOk) return failure.status;
    return outputFailure(out, failure);
}

// The file write, which may throw std::bad_alloc (the caller catches it); `context.file` is
// what must be abandoned then. The values are checked as the text is made; in the rare case
// that one does not fit the preferred exponent, the file is abandoned, every value checked
// and the file written again with the exponents found.
WriteStatus writeFile(const std::string& path, const WriteInput& input, const WriteFileOptions& options,
                      FileContext& context, WriteFailure& failure) {
    WritePlan plan;
    WriteStatus st = planLayout(input, plan, failure);
    if (st != WriteStatus::kOk) return st;
    OutputOptions output;
    output.gzip = isGzipName(path);
    output.overwrite = options.overwrite;
    TextSink sink;
    KeptBuffer kept(sink);
    sink.flush = flushToFile;
    sink.context = &context;
    for (;;) {
        context.file = openOutput(path.c_str(), output, context.failure);
        if (context.file == nullptr) return outputFailureAfterValues(input, plan, context.failure, failure);
        sink.used = 0;
        const TextResult result = writeIonexText(input, plan, sink);
        if (result == TextResult::kWritten) break;
        abandonOutput(context.file);
        context.file = nullptr;
        if (result == TextResult::kStopped) return outputFailureAfterValues(input, plan, context.failure, failure);
        st = planExponents(input, plan, failure);  // kUnchecked: a checked plan, or the value that cannot be written
        if (st != WriteStatus::kOk) return st;
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
        WriteStatus st = planLayout(input, plan, failure);
        if (st != WriteStatus::kOk) return st;
        TextSink sink;
        KeptBuffer kept(sink);
        sink.flush = flushToString;
        sink.context = &text;
        while (writeIonexText(input, plan, sink) == TextResult::kUnchecked) {
            // A value does not fit the preferred exponent: every value checked, and again.
            text.clear();
            sink.used = 0;
            st = planExponents(input, plan, failure);
            if (st != WriteStatus::kOk) return st;
        }
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
