#include "engine/replacement.hpp"

#include "engine/convert.hpp"

#include <limits>

namespace quorvel {

namespace {

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

bool IsNameStart(char32_t c) {
    return IsLetterAZ(c) || c == U'_';
}

// The number written by the digits of `s`; past any group a pattern can have, it
// stays there.
int GroupNumber(TextView s) {
    constexpr int kBeyond = 1 << 20;
    int n = 0;
    for (const char32_t c : s) {
        n = std::min(kBeyond, n * 10 + static_cast<int>(c - U'0'));
    }
    return n;
}

// Writes text through the case escapes: a pending one-character mapping, and the
// text of a \U or \L run gathered, to be converted as one.
class CaseWriter {
public:
    enum class Mode { Keep, Upper, Lower };
    explicit CaseWriter(Text& out) : out_(out) {}

    void Put(TextView s) {
        if (s.empty()) {
            return;
        }
        if (next_ != Mode::Keep) {
            Flush();
            AppendConverted(s.substr(0, 1), next_ == Mode::Upper ? Conversion::TitleWords : Conversion::Lower,
                            out_);
            next_ = Mode::Keep;
            s.remove_prefix(1);
        }
        (run_ == Mode::Keep ? out_ : pending_).append(s);
    }
    void Run(Mode mode) {
        Flush();
        run_ = mode;
    }
    void Next(Mode mode) { next_ = mode; }
    // Writes what a \U or \L run still holds.
    void Flush() {
        if (!pending_.empty()) {
            AppendConverted(pending_, run_ == Mode::Upper ? Conversion::Upper : Conversion::Lower, out_);
            pending_.clear();
        }
    }

private:
    Text& out_;
    Text pending_;
    Mode run_ = Mode::Keep;
    Mode next_ = Mode::Keep;
};

} // namespace

void Replacement::Literal(char32_t c) {
    if (pieces_.empty() || pieces_.back().kind != Kind::Literal) {
        pieces_.push_back({Kind::Literal, -1, {}});
    }
    pieces_.back().text.push_back(c);
}

Replacement::Replacement(TextView text, const std::function<int(TextView)>& groupOf) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t c = text[i];
        const char32_t next = i + 1 < text.size() ? text[i + 1] : U'\0';
        if (c == U'$' && next == U'$') {
            Literal(U'$');
            i += 2;
        } else if (c == U'$' && IsDigit(next)) {
            std::size_t end = i + 1;
            while (end < text.size() && IsDigit(text[end])) {
                ++end;
            }
            pieces_.push_back({Kind::Group, GroupNumber(text.substr(i + 1, end - i - 1)), {}});
            i = end;
        } else if (c == U'$' && next == U'{') {
            const std::size_t close = text.find(U'}', i + 2);
            const TextView inside = close == TextView::npos ? TextView() : text.substr(i + 2, close - i - 2);
            bool number = !inside.empty();
            bool name = !inside.empty() && IsNameStart(inside[0]);
            for (const char32_t x : inside) {
                number = number && IsDigit(x);
                name = name && (IsNameStart(x) || IsDigit(x));
            }
            if (number || name) {
                pieces_.push_back({Kind::Group, number ? GroupNumber(inside) : groupOf(inside), {}});
                i = close + 1;
            } else {
                Literal(U'$');
                ++i;
            }
        } else if (c == U'\\' && next == U'\\') {
            Literal(U'\\');
            i += 2;
        } else if (c == U'\\' &&
                   (next == U'U' || next == U'L' || next == U'E' || next == U'u' || next == U'l')) {
            const Kind kind = next == U'U'   ? Kind::Upper
                              : next == U'L' ? Kind::Lower
                              : next == U'E' ? Kind::End
                              : next == U'u' ? Kind::UpperNext
                                             : Kind::LowerNext;
            pieces_.push_back({kind, -1, {}});
            cases_ = true;
            i += 2;
        } else {
            Literal(c);
            ++i;
        }
    }
}

void Replacement::AppendTo(std::span<const TextView> groups, Text& out) const {
    auto group = [&](int g) {
        return g >= 0 && static_cast<std::size_t>(g) < groups.size() ? groups[g] : TextView();
    };
    if (!cases_) {
        for (const Piece& piece : pieces_) {
            out.append(piece.kind == Kind::Literal ? TextView(piece.text) : group(piece.group));
        }
        return;
    }
    using Mode = CaseWriter::Mode;
    CaseWriter writer(out);
    for (const Piece& piece : pieces_) {
        switch (piece.kind) {
        case Kind::Literal:
            writer.Put(piece.text);
            break;
        case Kind::Group:
            writer.Put(group(piece.group));
            break;
        case Kind::Upper:
            writer.Run(Mode::Upper);
            break;
        case Kind::Lower:
            writer.Run(Mode::Lower);
            break;
        case Kind::End:
            writer.Run(Mode::Keep);
            break;
        case Kind::UpperNext:
            writer.Next(Mode::Upper);
            break;
        case Kind::LowerNext:
            writer.Next(Mode::Lower);
            break;
        }
    }
    writer.Flush();
}

} // namespace quorvel
