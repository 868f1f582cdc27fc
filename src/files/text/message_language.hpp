// The language of the messages, and the translation of their texts.
//
// French is the built-in language: every text is written here in French, and a
// French text is shown exactly as written, catalogue or not. The other languages
// come from gettext catalogues (po/, installed as share/locale/LANG/LC_MESSAGES/
// quorvel.mo), whose message ids are these French texts.
#pragma once

#include "engine/date_names.hpp"

#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel {

// ---- Language -------------------------------------------------------------------

enum class MessageLanguage { French, English };

// The language the environment asks for, read as gettext reads it: nothing but
// the built-in language for the "C" or "POSIX" locale (LC_ALL, else LC_MESSAGES,
// else LANG), otherwise the first of LANGUAGE's colon-separated entries, then of
// that locale, that names English or French. French when none does.
MessageLanguage MessageLanguageOfEnvironment();

// Makes every text from now on come out in `language`, whatever the locale: the
// window calls it with the language of its own menu, quorvel-cli with
// MessageLanguageOfEnvironment(). Not thread-safe: call it while no other thread
// asks for a text. English needs the catalogues bound (BindMessageCatalogues).
void SetMessageLanguage(MessageLanguage language);
MessageLanguage CurrentMessageLanguage();

// The names of months and days that the dates of a template write, in the
// language of the messages, which is the language shown.
const DateNames& DateNamesOfMessages();

// Where the catalogues are: `folder`/LANG/LC_MESSAGES/quorvel.mo.
void BindMessageCatalogues(const std::string& folder);
// The share/locale beside the running program (PROGRAM/../share/locale), which is
// where an installed program has them and where the build tree puts them; "" when
// there is none.
std::string CatalogueFolderOfProgram();

// ---- Translation ----------------------------------------------------------------

// Marks a French text for the catalogue without translating it, for a text that is
// translated later, where it is shown.
constexpr const char* TrNoop(const char* french) {
    return french;
}
// `french` in the current language.
std::string_view Tr(const char* french);
// The singular or plural form for `n` in the current language (French: plural from
// 2 on).
std::string_view TrN(const char* singular, const char* plural, unsigned long n);

// `pattern` with its "%s" replaced, in order, by `values`, in one pass: a value that
// holds "%s" stays as it is.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values);

// A fixed text of a run, translated when it becomes a string.
struct RunText {
    const char* french;
    operator std::string() const { return std::string(Tr(french)); }
};

} // namespace quorvel
