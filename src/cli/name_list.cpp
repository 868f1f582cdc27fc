#include "cli/name_list.hpp"

#include "cli/records.hpp"
#include "files/text/message_language.hpp"

#include <cerrno>
#include <string>

namespace quorvel::cli {

PairList ReadPairs(int fd, bool null) {
    PairList list;
    std::size_t line = 0;
    std::optional<std::string> pendingOld; // with -0: an old name waiting for its new one
    auto fail = [&](const char* why) {
        if (list.error.empty()) {
            list.error = FormatText(Tr(why), {std::to_string(line)});
        }
    };
    const bool read = ReadRecords(fd, null ? '\0' : '\n', [&](std::string_view record) {
        if (!list.error.empty()) {
            return;
        }
        if (null) {
            if (!pendingOld) {
                ++line;
                pendingOld = std::string(record);
                return;
            }
            if (pendingOld->empty() || record.empty()) {
                fail(TrNoop("paire %s : nom vide"));
                return;
            }
            list.pairs.push_back({std::move(*pendingOld), std::string(record)});
            pendingOld.reset();
            return;
        }
        ++line;
        const std::size_t tab = record.find('\t');
        if (tab == std::string_view::npos) {
            fail(TrNoop("ligne %s : pas de tabulation entre l'ancien et le nouveau nom"));
        } else if (record.find('\t', tab + 1) != std::string_view::npos) {
            fail(TrNoop("ligne %s : plus d'une tabulation (utilisez -0 pour un nom qui en contient)"));
        } else if (tab == 0 || tab + 1 == record.size()) {
            fail(TrNoop("ligne %s : nom vide"));
        } else {
            list.pairs.push_back({std::string(record.substr(0, tab)), std::string(record.substr(tab + 1))});
        }
    });
    if (!read) {
        list.readFailed = true;
        list.readError = errno;
        return list;
    }
    if (list.error.empty() && pendingOld) {
        fail(TrNoop("paire %s : l'ancien nom n'a pas de nouveau nom (nombre impair de noms)"));
    }
    if (!list.error.empty()) {
        list.pairs.clear();
    }
    return list;
}

std::string EscapeName(std::string_view name) {
    std::string line;
    line.reserve(name.size());
    for (const char c : name) {
        switch (c) {
        case '\n':
            line += "\\n";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\\':
            line += "\\\\";
            break;
        default:
            line += c;
        }
    }
    return line;
}

std::optional<std::string> UnescapeName(std::string_view line) {
    std::string name;
    name.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\') {
            name += line[i];
            continue;
        }
        if (++i == line.size()) {
            return std::nullopt;
        }
        switch (line[i]) {
        case 'n':
            name += '\n';
            break;
        case 't':
            name += '\t';
            break;
        case '\\':
            name += '\\';
            break;
        default:
            return std::nullopt;
        }
    }
    return name;
}

std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace quorvel::cli
