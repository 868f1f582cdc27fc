#include "app/command_line.hpp"

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace quorvel {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The platform Qt picks without being told: X11, or Wayland in a Wayland session
// (but not on GNOME) with X11 to fall back on; $QT_QPA_PLATFORM replaces it.
std::string PlatformOfEnvironment() {
    if (std::string chosen = Variable("QT_QPA_PLATFORM"); !chosen.empty()) {
        return chosen;
    }
    std::string platform = "xcb";
    if (Variable("XDG_SESSION_TYPE") == "wayland" &&
        Lower(Variable("XDG_CURRENT_DESKTOP")).find("gnome") == std::string::npos &&
        Lower(Variable("XDG_SESSION_DESKTOP")).find("gnome") == std::string::npos) {
        platform = "wayland;xcb";
    }
    return platform;
}

// The arguments in the hands of one reader of Qt's: each reader takes its own
// options, with their values, and leaves the others in order for the next one.
using Arguments = std::vector<std::string_view>;

// What a reader does with an argument that starts with "-": nothing (it is not
// one of its options), take it alone, or take it with the argument that follows.
enum class Take { None, Alone, WithValue, WithValueIfAny };

// One pass of a reader over the arguments, as Qt's own loops go: an argument that
// does not start with "-" is left; "--x" is read as "-x". The reader is given the
// option and the argument after it (null for none). WithValue takes the
// next argument only when there is one (Qt's "i < argc - 1"), and otherwise
// leaves the option; WithValueIfAny takes the option in any case, and the next
// argument when there is one (Qt's "++i < argc").
template <typename Reader> Arguments Pass(const Arguments& in, Reader&& reader) {
    Arguments out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::string_view arg = in[i];
        if (arg.empty() || arg.front() != '-') {
            out.push_back(arg);
            continue;
        }
        if (arg.size() > 1 && arg[1] == '-') {
            arg.remove_prefix(1);
        }
        const bool last = i + 1 == in.size();
        switch (reader(arg, last ? nullptr : &in[i + 1])) {
        case Take::None:
            out.push_back(in[i]);
            break;
        case Take::Alone:
            break;
        case Take::WithValue:
            if (last) {
                out.push_back(in[i]);
            } else {
                ++i;
            }
            break;
        case Take::WithValueIfAny:
            if (!last) {
                ++i;
            }
            break;
        }
    }
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The readers, in the order QApplication runs them.
Arguments TakeQtOptions(Arguments args, std::string& platform) {
    // The platform integration (QGuiApplication): the window system and the first
    // window; "-geometry", "-title" and "-icon" are their X11 names.
    args = Pass(args, [&](std::string_view arg, const std::string_view* value) {
        const bool x11 = StartsWith(platform, "xcb");
        if (arg == "-platform") {
            if (value != nullptr) {
                platform = std::string(*value);
            }
            return Take::WithValueIfAny;
        }
        if (arg == "-platformpluginpath" || arg == "-platformtheme" || arg == "-qwindowgeometry" ||
            arg == "-qwindowtitle" || arg == "-qwindowicon" ||
            (x11 && (arg == "-geometry" || arg == "-title" || arg == "-icon"))) {
            return Take::WithValueIfAny;
        }
        return Take::None;
    });
    // The X11 platform itself.
    if (StartsWith(platform, "xcb")) {
        args = Pass(args, [](std::string_view arg, const std::string_view*) {
            if (arg == "-display" || arg == "-name" || arg == "-visual") {
                return Take::WithValue;
            }
            return arg == "-nograb" || arg == "-dograb" ? Take::Alone : Take::None;
        });
    }
    // QCoreApplication: the QML debugger.
    args = Pass(args, [](std::string_view arg, const std::string_view*) {
        if (StartsWith(arg, "-qmljsdebugger=")) {
            return Take::Alone;
        }
        return arg == "-qmljsdebugger" ? Take::WithValue : Take::None;
    });
    // QGuiApplication: plugins, direction, session, style.
    args = Pass(args, [](std::string_view arg, const std::string_view*) {
        if (arg == "-plugin") {
            return Take::WithValueIfAny;
        }
        if (arg == "-session" || arg == "-style") {
            return Take::WithValue;
        }
        return arg == "-reverse" || arg == "-testability" || StartsWith(arg, "-style=") ? Take::Alone
                                                                                        : Take::None;
    });
    // QApplication: style sheet, widget count.
    return Pass(args, [](std::string_view arg, const std::string_view*) {
        if (arg == "-stylesheet") {
            return Take::WithValue;
        }
        return arg == "-qdevel" || arg == "-qdebug" || arg == "-widgetcount" ||
                       StartsWith(arg, "-stylesheet=")
                   ? Take::Alone
                   : Take::None;
    });
}

} // namespace

WindowCommandLine ReadWindowCommandLine(int argc, const char* const* argv) {
    WindowCommandLine line;
    Arguments options;
    int end = 1;
    while (end < argc && std::strcmp(argv[end], "--") != 0 && std::strcmp(argv[end], "--files") != 0) {
        options.emplace_back(argv[end]);
        ++end;
    }
    line.qtArgumentCount = end;
    line.platform = PlatformOfEnvironment();
    const Arguments own = TakeQtOptions(std::move(options), line.platform);
    for (std::size_t i = 0; i < own.size(); ++i) {
        const std::string_view arg = own[i];
        if (arg == "-h" || arg == "--help") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg == "--files-from") {
            if (i + 1 < own.size()) {
                line.filesFrom = own[++i];
            } else {
                line.listMissing = true;
            }
        } else if (StartsWith(arg, "--files-from=")) {
            line.filesFrom = arg.substr(std::string_view("--files-from=").size());
            line.listMissing = line.filesFrom.empty();
        } else {
            line.operands.emplace_back(arg);
        }
    }
    if (end < argc && std::strcmp(argv[end], "--files") == 0) {
        line.filesGiven = true;
        line.files.assign(argv + end + 1, argv + argc);
        return line;
    }
    for (int i = end + 1; i < argc; ++i) {
        line.operands.emplace_back(argv[i]);
    }
    return line;
}

} // namespace quorvel
