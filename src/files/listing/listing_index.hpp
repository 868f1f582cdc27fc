// The entries of a folder listing found by name: made once per listing and used by
// every check of new names against it.
#pragma once

#include "files/listing/folder_listing.hpp"
#include "files/tables/index_table.hpp"

#include <cstdint>
#include <string_view>

namespace quorvel {

class ListingIndex {
public:
    // `listing` must outlive the index and stay where it is.
    explicit ListingIndex(const FolderListing& listing);
    ListingIndex(const ListingIndex&) = delete;
    ListingIndex& operator=(const ListingIndex&) = delete;

    const FolderListing& Listing() const { return *listing_; }
    static std::uint64_t Hash(std::string_view name) { return ByteKeys::Hash(name); }
    // The entry named `name` exactly; kNoIndex when there is none.
    std::uint32_t Find(std::string_view name) const { return table_.Find(name); }
    std::uint32_t Find(std::string_view name, std::uint64_t hash) const { return table_.Find(name, hash); }
    void Prefetch(std::uint64_t hash) const { table_.Prefetch(hash); }

private:
    struct EntryName {
        const FolderListing* listing;
        std::string_view operator()(std::uint32_t e) const { return listing->Name(e); }
    };
    const FolderListing* listing_;
    IndexTable<EntryName> table_;
};

} // namespace quorvel
