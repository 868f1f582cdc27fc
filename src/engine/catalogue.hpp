// The command catalogue: the nodes of the command tree (seven groups and their 36
// commands), the command numbers stored in script files, and the placeholder names.
//
// A command's number is its 0-based position among all tree nodes, groups
// included, in display order. Numbers are stored in script files, so the order and
// number of the nodes are part of the file format.
#pragma once

#include "engine/text.hpp"

#include <array>
#include <cstdint>
#include <span>

namespace quorvel {

enum class Command : int {
    DeleteFirst = 1,
    DeleteLast = 2,
    DeleteRange = 3,
    DeleteBefore = 4,
    DeleteAfter = 5,
    DeleteOccurrences = 6,
    DeleteSpaces = 7,
    DeleteAccents = 8,
    ReplaceText = 10,
    ReplaceWhole = 11,
    ReplaceExtension = 12,
    AddAtStart = 14,
    AddAtEnd = 15,
    AddAtPosition = 16,
    AddBefore = 17,
    AddAfter = 18,
    NumberAtStart = 19,
    NumberAtEnd = 20,
    NumberBefore = 21,
    NumberAfter = 22,
    MoveFirstToEnd = 24,
    MoveFirstToPosition = 25,
    MoveLastToStart = 26,
    MoveLastToPosition = 27,
    MoveRange = 28,
    LowerAll = 30,
    UpperAll = 31,
    TitleWords = 32,
    LowerExtension = 33,
    UpperExtension = 34,
    ComposeAccents = 35,
    SearchReplaceAll = 37,
    SearchReplaceFirst = 38,
    ComposeName = 40,
    ComposeAtStart = 41,
    ComposeAtEnd = 42,
};

struct CommandNode {
    int number;       // absolute index in the tree
    int level;        // 0 for a group, 1 for a command
    TextView caption; // French caption as built into the main window
};

constexpr int kCommandNodeCount = 43;

// The 43 nodes in display order; node i has number i.
std::span<const CommandNode, kCommandNodeCount> CommandNodes();

// True for the numbers of the 36 commands (not the groups, nothing outside 1..42).
bool IsCommandNumber(std::int64_t number);

// Index of the group node that a node belongs to (itself for a group).
int GroupOf(int number);

// The script line for a command node: "<number>|<group caption> <command caption>".
Text MakeScriptLine(int number, TextView groupCaption, TextView commandCaption);
// The same with the built-in French captions of the node `number` (1..42, a
// command). Returns an empty text for a group or a number outside the tree.
Text MakeScriptLine(int number);

// --- Placeholders ------------------------------------------------------------

enum class PlaceholderKind { Integer, String, Number, Pattern, Template };

constexpr int kPlaceholderCount = 10;
using PlaceholderTable = std::array<TextView, kPlaceholderCount>;

extern const PlaceholderTable PlaceholderNamesFr;
extern const PlaceholderTable PlaceholderNamesEn;

// Kind of value of the placeholder at `index` (0..9) of the tables.
PlaceholderKind PlaceholderKindAt(int index);

// The current language: 0 French, 1 English. Program-wide, set at start-up and
// when the user switches language; PlaceholderNames() follows it.
std::uint8_t LanguageIndex();
void SetLanguageIndex(std::uint8_t index);
const PlaceholderTable& PlaceholderNames();

} // namespace quorvel
