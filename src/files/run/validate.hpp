// Stage of a run: the checks made before the first rename.
//
// Contract: gives every file of the run its verdict, with its reason, from the folder
// as it is now (`listing`), and touches nothing. Files are taken in selection order:
// - its entry must still be in the folder and not be a folder (SourceMissing); an
//   entry selected twice moves once, the later copies are ListedTwice;
// - Unchanged when the new name is the old one, BadName for a name no entry can have;
// - two files with one new name: the first keeps it, the later ones are
//   DuplicateTarget;
// - TargetHeld when the new name belongs to an entry that stays: one that is not
//   selected, or a selected file that keeps its name, which in turn fails whatever
//   waited for that file's name.
// A file whose new name is the old name of another file of the run that moves gets
// that file in `waitsFor`. Names are compared byte for byte, or by FoldedName on a
// folder that ignores case (`ignoresCase`). Elsewhere a new name that is equal, once
// case and composition are set aside, to another new name or to a name that stays
// gets a note and is renamed all the same.
#pragma once

#include "files/listing/folder_listing.hpp"
#include "files/listing/listing_index.hpp"
#include "files/run/run_file.hpp"

#include <span>
#include <vector>

namespace quorvel {

void Validate(std::span<RunFile> files, const FolderListing& listing, bool ignoresCase);
// The same with the listing's entries indexed already.
void Validate(std::span<RunFile> files, const ListingIndex& entries, bool ignoresCase);

} // namespace quorvel
