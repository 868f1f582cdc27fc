#include "engine/script.hpp"

#include "engine/primitives.hpp"
#include "engine/value_code.hpp"

namespace quorvel {

std::int32_t CommandNumber(TextView line) {
    return NthFieldInt(line, U"|", 1);
}

TextView LineText(TextView line) {
    return NthField(line, U"|", 2);
}

namespace {
// The slot text of parameter k: "name=value" or "name".
TextView SlotText(TextView text, std::int64_t k) {
    return NthField(NthField(text, U"]", k), U"[", 2);
}
} // namespace

Text ParamText(TextView text, std::int64_t k) {
    return DecodeValue(NthField(SlotText(text, k), U"=", 2));
}

std::int32_t ParamInt(TextView text, std::int64_t k) {
    return NthFieldInt(SlotText(text, k), U"=", 2);
}

bool ScriptIsValid(const ScriptLines& script) {
    if (script.empty()) {
        return false;
    }
    for (const Text& line : script) {
        if (CountOf(line, U"=") != CountOf(line, U"[")) {
            return false;
        }
    }
    return true;
}

Text FillPlaceholder(TextView line, std::size_t open, std::size_t close, TextView value) {
    if (close >= line.size() || open >= close || line[open] != U'[' || line[close] != U']') {
        return Text(line);
    }
    const TextView slot = line.substr(open + 1, close - open - 1);
    const TextView name = slot.substr(0, slot.find(U'='));
    Text out(line.substr(0, open + 1));
    out.append(name);
    out.push_back(U'=');
    out.append(value);
    out.append(line.substr(close));
    return out;
}

} // namespace quorvel
