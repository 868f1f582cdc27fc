// Text handed to the user's editor and read back: written to a temporary file
// (mode 0600, in $TMPDIR or /tmp, removed afterwards), opened in $VISUAL, else
// $EDITOR, else sensible-editor, else vi.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::cli {

struct EditedText {
    bool edited = false; // the editor ended well and the file was read back
    std::string text;    // the file as the editor left it
    std::string error;   // why not, in the language of the messages
};

// The editor command: $VISUAL, else $EDITOR (either may hold arguments, such as
// "code --wait"), else sensible-editor when it is on the PATH, else vi.
std::string EditorCommand();

// Opens `text` in the editor and waits for it. The command goes through
// /bin/sh -c with the file as a positional argument, never pasted into the command.
// The editor has the terminal; quorvel-cli ignores Ctrl+C and Ctrl+\ while it waits.
EditedText EditInEditor(std::string_view text);

} // namespace quorvel::cli
