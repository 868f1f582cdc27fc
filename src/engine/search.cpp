#include "engine/search.hpp"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvel {

namespace {
// Needles up to this length are compared position by position: at most this many
// comparisons per position of the haystack, and no table to build.
constexpr std::size_t kDirectLimit = 24;
} // namespace

std::size_t FindChar(TextView hay, std::size_t from, char32_t c) {
    const char32_t* p = hay.data();
    const std::size_t n = hay.size();
    std::size_t i = from;
#if defined(__SSE2__)
    // Four characters per comparison: separators are looked for many times in
    // every script line for every file.
    const __m128i needle = _mm_set1_epi32(static_cast<int>(c));
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 4));
        const int mask = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(a, needle))) |
                         (_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(b, needle))) << 4);
        if (mask != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
        }
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == c) {
            return i;
        }
    }
    return TextView::npos;
}

namespace {

bool HasLetter(TextView s) {
    for (const char32_t c : s) {
        if (IsLetterAZ(c)) {
            return true;
        }
    }
    return false;
}
} // namespace

Searcher::Searcher(TextView needle, CaseMode mode)
    // Without letters A-Z, ignoring case is comparing exactly, which is cheaper.
    : needle_(needle),
      mode_(mode == CaseMode::FoldAZ && HasLetter(needle) ? CaseMode::FoldAZ : CaseMode::Exact) {
    if (needle_.size() <= kDirectLimit) {
        return;
    }
    failure_.assign(needle_.size(), 0);
    std::size_t k = 0;
    for (std::size_t i = 1; i < needle_.size(); ++i) {
        while (k > 0 && !Equal(needle_[i], needle_[k])) {
            k = failure_[k - 1];
        }
        if (Equal(needle_[i], needle_[k])) {
            ++k;
        }
        failure_[i] = k;
    }
}

std::size_t Searcher::FindFrom(TextView hay, std::size_t from) const {
    if (needle_.empty() || from > hay.size() || hay.size() - from < needle_.size()) {
        return npos;
    }
    return failure_.empty() ? FindDirect(hay, from) : FindKmp(hay, from);
}

std::size_t Searcher::FindDirect(TextView hay, std::size_t from) const {
    return mode_ == CaseMode::Exact ? FindDirectIn<CaseMode::Exact>(hay, from)
                                    : FindDirectIn<CaseMode::FoldAZ>(hay, from);
}

template <CaseMode Mode> std::size_t Searcher::FindDirectIn(TextView hay, std::size_t from) const {
    auto fold = [](char32_t c) { return Mode == CaseMode::Exact ? c : FoldAZ(c); };
    const std::size_t m = needle_.size();
    const std::size_t last = hay.size() - m;
    const char32_t first = fold(needle_[0]);
    for (std::size_t i = from; i <= last; ++i) {
        if constexpr (Mode == CaseMode::Exact) {
            i = FindChar(hay.substr(0, last + 1), i, first);
            if (i == npos) {
                return npos;
            }
        } else if (fold(hay[i]) != first) {
            continue;
        }
        std::size_t j = 1;
        while (j < m && fold(hay[i + j]) == fold(needle_[j])) {
            ++j;
        }
        if (j == m) {
            return i;
        }
    }
    return npos;
}

std::size_t Searcher::FindKmp(TextView hay, std::size_t from) const {
    const std::size_t m = needle_.size();
    std::size_t k = 0;
    for (std::size_t i = from; i < hay.size(); ++i) {
        while (k > 0 && !Equal(hay[i], needle_[k])) {
            k = failure_[k - 1];
        }
        if (Equal(hay[i], needle_[k])) {
            ++k;
        }
        if (k == m) {
            return i + 1 - m;
        }
    }
    return npos;
}

template <typename Visit> void Searcher::ForEachOverlapping(TextView hay, Visit visit) const {
    if (needle_.empty() || hay.size() < needle_.size()) {
        return;
    }
    if (failure_.empty()) {
        for (std::size_t at = FindDirect(hay, 0); at != npos; at = FindFrom(hay, at + 1)) {
            if (!visit(at)) {
                return;
            }
        }
        return;
    }
    // One pass: after a match the automaton falls back to the longest proper border,
    // so the next, possibly overlapping, occurrence is found without rescanning.
    const std::size_t m = needle_.size();
    std::size_t k = 0;
    for (std::size_t i = 0; i < hay.size(); ++i) {
        while (k > 0 && !Equal(hay[i], needle_[k])) {
            k = failure_[k - 1];
        }
        if (Equal(hay[i], needle_[k])) {
            ++k;
        }
        if (k == m) {
            if (!visit(i + 1 - m)) {
                return;
            }
            k = failure_[m - 1];
        }
    }
}

std::size_t Searcher::FindNth(TextView hay, std::int64_t n) const {
    if (n < 1) {
        return npos;
    }
    std::size_t result = npos;
    std::int64_t seen = 0;
    ForEachOverlapping(hay, [&](std::size_t at) {
        if (++seen == n) {
            result = at;
            return false;
        }
        return true;
    });
    return result;
}

std::int64_t Searcher::CountOverlapping(TextView hay) const {
    std::int64_t count = 0;
    ForEachOverlapping(hay, [&](std::size_t) {
        ++count;
        return true;
    });
    return count;
}

} // namespace quorvel
