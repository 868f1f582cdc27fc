// Substring search used by every primitive that looks for a text in another.
// Runs in linear time whatever the inputs: short needles are compared directly,
// long ones go through a Knuth-Morris-Pratt table.
#pragma once

#include "engine/text.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel {

// Index of the first `c` in hay[from..], or npos.
std::size_t FindChar(TextView hay, std::size_t from, char32_t c);

enum class CaseMode { Exact, FoldAZ };

class Searcher {
public:
    Searcher(TextView needle, CaseMode mode);

    // Index (0-based) of the first occurrence of the needle starting at or after
    // `from`, or npos. An empty needle is never found.
    std::size_t FindFrom(TextView hay, std::size_t from) const;

    // Index of the n-th occurrence (n >= 1), occurrences allowed to overlap, or npos.
    std::size_t FindNth(TextView hay, std::int64_t n) const;

    // Number of occurrences, overlaps included.
    std::int64_t CountOverlapping(TextView hay) const;

    std::size_t size() const { return needle_.size(); }

    static constexpr std::size_t npos = TextView::npos;

private:
    bool Equal(char32_t a, char32_t b) const {
        return mode_ == CaseMode::Exact ? a == b : FoldAZ(a) == FoldAZ(b);
    }
    std::size_t FindDirect(TextView hay, std::size_t from) const;
    template <CaseMode Mode> std::size_t FindDirectIn(TextView hay, std::size_t from) const;
    std::size_t FindKmp(TextView hay, std::size_t from) const;
    // Calls visit(index) for every occurrence, overlaps included, in order, until
    // visit returns false.
    template <typename Visit> void ForEachOverlapping(TextView hay, Visit visit) const;

    TextView needle_;
    CaseMode mode_;
    std::vector<std::size_t> failure_; // empty unless the needle is long
};

} // namespace quorvel
