#include "files/text/message_language.hpp"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <libintl.h>
#include <optional>
#include <system_error>

namespace quorvel {

namespace {

constexpr const char* kDomain = "quorvel";

MessageLanguage language = MessageLanguage::French;

bool IsCLocale(std::string_view name) {
    return name.empty() || name == "C" || name == "POSIX";
}

// The language a locale or LANGUAGE entry names ("en", "en_GB.UTF-8", "fr@euro"),
// if it is one of ours.
std::optional<MessageLanguage> LanguageOf(std::string_view entry) {
    const auto names = [entry](std::string_view code) {
        return entry.starts_with(code) && (entry.size() == code.size() || entry[code.size()] == '_' ||
                                           entry[code.size()] == '.' || entry[code.size()] == '@');
    };
    if (names("en")) {
        return MessageLanguage::English;
    }
    if (names("fr")) {
        return MessageLanguage::French;
    }
    return std::nullopt;
}

std::string_view Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view() : std::string_view(value);
}

} // namespace

MessageLanguage MessageLanguageOfEnvironment() {
    std::string_view locale = Variable("LC_ALL");
    if (locale.empty()) {
        locale = Variable("LC_MESSAGES");
    }
    if (locale.empty()) {
        locale = Variable("LANG");
    }
    if (IsCLocale(locale)) {
        return MessageLanguage::French;
    }
    std::string_view entries = Variable("LANGUAGE");
    while (!entries.empty()) {
        const std::size_t colon = entries.find(':');
        if (const auto found = LanguageOf(entries.substr(0, colon))) {
            return *found;
        }
        entries.remove_prefix(colon == std::string_view::npos ? entries.size() : colon + 1);
    }
    return LanguageOf(locale).value_or(MessageLanguage::French);
}

void SetMessageLanguage(MessageLanguage wanted) {
    language = wanted;
    if (wanted == MessageLanguage::French) {
        return; // the texts as written: gettext is not asked
    }
    // gettext takes the language from LANGUAGE, which it reads only when the locale
    // of messages is not "C"; C.UTF-8 is always there and changes nothing else.
    if (const char* current = std::setlocale(LC_MESSAGES, nullptr);
        current == nullptr || IsCLocale(current)) {
        if (const char* set = std::setlocale(LC_MESSAGES, ""); set == nullptr || IsCLocale(set)) {
            std::setlocale(LC_MESSAGES, "C.UTF-8");
        }
    }
    ::setenv("LANGUAGE", "en", 1);
    ::textdomain(kDomain); // makes gettext forget the translations it has looked up
}

MessageLanguage CurrentMessageLanguage() {
    return language;
}

const DateNames& DateNamesOfMessages() {
    return language == MessageLanguage::English ? kEnglishDateNames : kFrenchDateNames;
}

void BindMessageCatalogues(const std::string& folder) {
    ::bindtextdomain(kDomain, folder.c_str());
    ::bind_textdomain_codeset(kDomain, "UTF-8");
}

std::string CatalogueFolderOfProgram() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const std::filesystem::path folder = program.parent_path().parent_path() / "share" / "locale";
    return std::filesystem::is_directory(folder, error) ? folder.string() : std::string();
}

std::string_view Tr(const char* french) {
    return language == MessageLanguage::French ? french : ::dgettext(kDomain, french);
}

std::string_view TrN(const char* singular, const char* plural, unsigned long n) {
    if (language == MessageLanguage::French) {
        return n >= 2 ? plural : singular;
    }
    return ::dngettext(kDomain, singular, plural, n);
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size());
    const std::string_view* value = values.begin();
    for (std::size_t at = 0; at < pattern.size();) {
        const std::size_t mark = pattern.find("%s", at);
        if (mark == std::string_view::npos || value == values.end()) {
            out.append(pattern.substr(at));
            break;
        }
        out.append(pattern.substr(at, mark - at)).append(*value++);
        at = mark + 2;
    }
    return out;
}

} // namespace quorvel
