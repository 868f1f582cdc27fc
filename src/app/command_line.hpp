// The command line of quorvel, read before anything of Qt exists.
//
// Qt takes its own options out of the arguments when QApplication is made
// ("-style fusion", "-platform offscreen", "-reverse"...). The unattended run makes
// no QApplication, so the same options are taken out here, by the rules Qt follows,
// and what is left are the program's own options and its operands, as bytes. "--"
// ends the options: everything after it is an operand, and Qt never sees it.
// "--files" ends them too: everything after it is a file to list, which Qt never
// sees either.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

struct WindowCommandLine {
    bool help = false;    // -h, --help
    bool version = false; // --version
    // SCRIPT, FOLDER and FILTER (and any further ones), as given.
    std::vector<std::string> operands;
    // --files FILE...: the files to list alone, as given.
    bool filesGiven = false;
    std::vector<std::string> files;
    // --files-from LIST (or --files-from=LIST): the file that holds their paths,
    // separated by NUL bytes; "-" is the standard input. Empty when not given.
    std::string filesFrom;
    // --files-from without its LIST.
    bool listMissing = false;
    // How many of the first arguments are for QApplication: the program and
    // everything before "--".
    int qtArgumentCount = 1;
    // The platforms Qt will try, in order, separated by ";": the last -platform
    // option, else $QT_QPA_PLATFORM, else what Qt picks on its own.
    std::string platform;
};

// Reads `argc` and `argv` as main receives them; the environment gives the
// platform (some options of Qt are taken only on X11).
WindowCommandLine ReadWindowCommandLine(int argc, const char* const* argv);

} // namespace quorvel
