#include "editor/script_document.hpp"

#include "editor/script_html.hpp"

namespace quorvel {

ScriptDocument::ScriptDocument(QObject* parent) : QObject(parent) {}

void ScriptDocument::SetUnmodified() {
    modified_ = false;
}

void ScriptDocument::Append(Text line) {
    lines_.push_back(std::move(line));
    Rebuild(true);
}

bool ScriptDocument::Remove(std::size_t index) {
    if (index >= lines_.size()) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    Rebuild(true);
    return true;
}

void ScriptDocument::Clear() {
    const bool had = !lines_.empty();
    lines_.clear();
    Rebuild(modified_ || had);
}

void ScriptDocument::Load(ScriptLines lines) {
    lines_ = std::move(lines);
    Rebuild(false);
}

bool ScriptDocument::SetValue(std::size_t index, std::size_t slot, TextView expected, TextView value) {
    if (index >= lines_.size() || read_[index].Placeholder(slot) != expected || expected.empty()) {
        return false;
    }
    lines_[index] = read_[index].Filled(slot, value).Whole();
    Rebuild(true);
    return true;
}

void ScriptDocument::Rebuild(bool modified) {
    read_.clear();
    read_.reserve(lines_.size());
    for (const Text& line : lines_) {
        read_.emplace_back(line);
    }
    html_ = BuildHtmlLines(read_);
    valid_ = ScriptIsValid(lines_);
    modified_ = modified;
    emit changed();
}

} // namespace quorvel
