#include "engine/pattern.hpp"

#include "engine/apply.hpp"
#include "engine/codec.hpp"

#include <new>
#include <string>
#include <vector>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace quorvel {

namespace {

struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct JitStackFree {
    void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};

// The JIT stack of the calling thread; without one PCRE2 uses 32 KiB of the
// machine stack.
pcre2_jit_stack* ThreadJitStack(void*) {
    thread_local const std::unique_ptr<pcre2_jit_stack, JitStackFree> stack(
        pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr));
    return stack.get();
}

// The match block of the calling thread, with room for `pairs` offsets at least.
pcre2_match_data* ThreadMatchData(std::uint32_t pairs) {
    thread_local std::unique_ptr<pcre2_match_data, MatchDataFree> data;
    if (!data || pcre2_get_ovector_count(data.get()) < pairs) {
        data.reset(pcre2_match_data_create(pairs, nullptr));
        if (!data) {
            throw std::bad_alloc();
        }
    }
    return data.get();
}

PCRE2_SPTR Bytes(const std::string& s) {
    return reinterpret_cast<PCRE2_SPTR>(s.data());
}

// The 1-based position of the character of `text` at byte `offset` of its bytes.
Pos CharacterAt(TextView text, std::size_t offset) {
    std::string bytes;
    Pos position = 1;
    for (const char32_t c : text) {
        EncodeNameInto(TextView(&c, 1), bytes);
        if (bytes.size() > offset) {
            break;
        }
        ++position;
    }
    return position;
}

bool IsLimit(int rc) {
    return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
           rc == PCRE2_ERROR_JIT_STACKLIMIT || rc == PCRE2_ERROR_NOMEMORY;
}

} // namespace

struct Pattern::Code {
    pcre2_code* code = nullptr;
    pcre2_match_context* context = nullptr;
    std::uint32_t groups = 0;
    Code() = default;
    Code(const Code&) = delete;
    Code& operator=(const Code&) = delete;
    ~Code() {
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }
};

Pattern::Pattern(TextView pattern) : code_(std::make_unique<Code>()) {
    const std::string bytes = EncodeName(pattern);
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_->code = pcre2_compile(Bytes(bytes), bytes.size(),
                                PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF | PCRE2_NEVER_BACKSLASH_C,
                                &error, &offset, nullptr);
    if (code_->code == nullptr) {
        PCRE2_UCHAR message[256] = {};
        pcre2_get_error_message(error, message, sizeof message);
        problem_ = PatternProblem{reinterpret_cast<const char*>(message), CharacterAt(pattern, offset)};
        return;
    }
    // Without the JIT (a machine it does not know), the interpreter does the same work.
    (void)pcre2_jit_compile(code_->code, PCRE2_JIT_COMPLETE);
    code_->context = pcre2_match_context_create(nullptr);
    if (code_->context == nullptr) {
        throw std::bad_alloc();
    }
    pcre2_set_match_limit(code_->context, kPatternMatchLimit);
    pcre2_set_depth_limit(code_->context, kPatternDepthLimit);
    pcre2_jit_stack_assign(code_->context, ThreadJitStack, nullptr);
    pcre2_pattern_info(code_->code, PCRE2_INFO_CAPTURECOUNT, &code_->groups);
}

Pattern::~Pattern() = default;
Pattern::Pattern(Pattern&&) noexcept = default;
Pattern& Pattern::operator=(Pattern&&) noexcept = default;

int Pattern::GroupNumber(TextView name) const {
    if (code_->code == nullptr) {
        return -1;
    }
    const std::string bytes = EncodeName(name);
    const int n = pcre2_substring_number_from_name(code_->code, Bytes(bytes));
    return n > 0 ? n : -1;
}

void Pattern::Replace(TextView subject, const Replacement& replacement, bool all, TextView file,
                      Text& out) const {
    if (problem_) {
        throw InvalidPatternError(*problem_);
    }
    // The subject's bytes, and for each byte the character it belongs to; a name of
    // ASCII alone has one byte per character and needs no table.
    thread_local std::string bytes;
    thread_local std::vector<std::uint32_t> charOf;
    bytes.clear();
    EncodeNameInto(subject, bytes);
    const bool oneBytePerChar = bytes.size() == subject.size();
    if (!oneBytePerChar) {
        charOf.clear();
        std::string one;
        for (std::size_t i = 0; i < subject.size(); ++i) {
            one.clear();
            EncodeNameInto(subject.substr(i, 1), one);
            charOf.insert(charOf.end(), one.size(), static_cast<std::uint32_t>(i));
        }
        charOf.push_back(static_cast<std::uint32_t>(subject.size()));
    }
    auto at = [&](PCRE2_SIZE byte) -> std::size_t { return oneBytePerChar ? byte : charOf[byte]; };

    const std::uint32_t pairs = code_->groups + 1;
    pcre2_match_data* data = ThreadMatchData(pairs);
    thread_local std::vector<TextView> groups;
    std::size_t done = 0; // characters of the subject written so far
    PCRE2_SIZE from = 0;
    std::uint32_t options = 0;
    for (;;) {
        const int rc =
            pcre2_match(code_->code, Bytes(bytes), bytes.size(), from, options, data, code_->context);
        if (rc == PCRE2_ERROR_NOMATCH) {
            break;
        }
        if (rc < 0) {
            if (IsLimit(rc)) {
                throw PatternTooCostlyError(file);
            }
            break;
        }
        const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(data);
        if (offsets[1] < from || offsets[1] > bytes.size() || (offsets[1] == from && options != 0)) {
            break; // never the case without \K in a lookaround, which PCRE2 refuses
        }
        const std::size_t start = at(offsets[0]);
        const std::size_t end = at(offsets[1]);
        groups.assign(pairs, TextView());
        for (std::uint32_t g = 0; g < pairs && g < static_cast<std::uint32_t>(rc); ++g) {
            if (offsets[2 * g] != PCRE2_UNSET && offsets[2 * g] <= offsets[2 * g + 1]) {
                const std::size_t s = at(offsets[2 * g]);
                groups[g] = subject.substr(s, at(offsets[2 * g + 1]) - s);
            }
        }
        if (start >= done) {
            out.append(subject.substr(done, start - done));
            done = std::max(done, end);
        }
        replacement.AppendTo(groups, out);
        if (Length(out) > kMaxWorkingName) {
            throw NameTooLongError();
        }
        if (!all) {
            break;
        }
        if (offsets[1] == offsets[0]) {
            if (offsets[1] >= bytes.size()) {
                break;
            }
            options = PCRE2_NOTEMPTY_ATSTART;
        } else {
            options = 0;
        }
        from = offsets[1];
    }
    out.append(subject.substr(done));
}

SearchReplace::SearchReplace(TextView patternText, TextView replacementText)
    : pattern(patternText),
      replacement(replacementText, [this](TextView name) { return pattern.GroupNumber(name); }) {}

} // namespace quorvel
