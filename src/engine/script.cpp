#include "engine/script.hpp"

#include "engine/primitives.hpp"

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

TextView ParamText(TextView text, std::int64_t k) {
    return NthField(SlotText(text, k), U"=", 2);
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

Text FillPlaceholder(TextView line, std::size_t at, TextView value) {
    if (at >= line.size() || line[at] != U'[') {
        return Text(line);
    }
    const std::size_t close = line.find(U']', at);
    if (close == TextView::npos) {
        return Text(line);
    }
    const TextView slot = line.substr(at + 1, close - at - 1);
    const TextView name = slot.substr(0, slot.find(U'='));
    Text out(line.substr(0, at + 1));
    out.append(name);
    out.push_back(U'=');
    out.append(value);
    out.append(line.substr(close));
    return out;
}

} // namespace quorvel
