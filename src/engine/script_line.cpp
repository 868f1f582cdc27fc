#include "engine/script_line.hpp"

#include "engine/primitives.hpp"
#include "engine/script.hpp"
#include "engine/search.hpp"
#include "engine/value_code.hpp"

namespace quorvel {

std::vector<PlaceholderSlot> PlaceholderSlots(TextView text) {
    std::vector<PlaceholderSlot> placeholders;
    std::size_t open = 0;
    std::size_t close = 0;
    for (;;) {
        open = FindChar(text, open, U'[');
        close = FindChar(text, close, U']');
        if (open == TextView::npos || close == TextView::npos) {
            break;
        }
        if (close > open) {
            placeholders.push_back({open, close});
        }
        ++open;
        ++close;
    }
    return placeholders;
}

Text ShownText(TextView placeholder) {
    if (PosOf(U"=", placeholder) == 0) {
        return Text(SubText(placeholder, 2, Length(placeholder) - 2));
    }
    return DecodeValue(StrLeft(NthField(placeholder, U"=", 2), -1));
}

Text EmptyValueLabel(TextView placeholder) {
    TextView label = placeholder.substr(1, placeholder.size() - 2);
    label = label.substr(0, label.find(U'='));
    return label.empty() ? Text(U"?") : Text(label);
}

std::size_t LineTextOffset(TextView line) {
    const std::size_t bar = line.find(U'|');
    return bar == TextView::npos ? line.size() : bar + 1;
}

std::optional<PlaceholderKind> KindOfPlaceholder(TextView placeholder) {
    if (placeholder.size() < 2 || placeholder.front() != U'[' || placeholder.back() != U']') {
        return std::nullopt;
    }
    const std::size_t equals = placeholder.find(U'=');
    Text bare(placeholder.substr(0, std::min(equals, placeholder.size() - 1)));
    bare.push_back(U']');
    for (const PlaceholderTable* table : {&PlaceholderNamesFr, &PlaceholderNamesEn}) {
        for (int i = 0; i < kPlaceholderCount; ++i) {
            if ((*table)[static_cast<std::size_t>(i)] == bare) {
                return PlaceholderKindAt(i);
            }
        }
    }
    return std::nullopt;
}

ScriptLine::ScriptLine(Text line) : line_(std::move(line)) {
    number_ = CommandNumber(line_);
    const TextView text = quorvel::LineText(line_);
    textOffset_ = text.empty() ? LineTextOffset(line_) : static_cast<std::size_t>(text.data() - line_.data());
    textLength_ = text.size();
    slots_ = PlaceholderSlots(text);
}

TextView ScriptLine::Placeholder(std::size_t slot) const {
    return slot < slots_.size() ? slots_[slot].In(LineText()) : TextView();
}

Text ScriptLine::Shown(std::size_t slot) const {
    return slot < slots_.size() ? ShownText(Placeholder(slot)) : Text();
}

std::optional<PlaceholderKind> ScriptLine::KindOf(std::size_t slot) const {
    return slot < slots_.size() ? KindOfPlaceholder(Placeholder(slot)) : std::nullopt;
}

ScriptLine ScriptLine::Filled(std::size_t slot, TextView value) const {
    if (slot >= slots_.size()) {
        return *this;
    }
    const PlaceholderSlot& s = slots_[slot];
    return ScriptLine(
        FillPlaceholder(line_, textOffset_ + s.open, textOffset_ + s.close, EncodeValue(value)));
}

Text ScriptLine::Parameter(std::int64_t k) const {
    return ParamText(LineText(), k);
}

} // namespace quorvel
