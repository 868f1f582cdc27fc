#include "browser/file_selection.hpp"

#include "browser/grid_selection.hpp"

#include <algorithm>

namespace quorvel {

FileSelection::FileSelection(QObject* parent) : QObject(parent) {
    rows_.SetSorted(true);
}

void FileSelection::SetAnchorRow(int row) {
    anchor_ = row;
    extending_ = false;
}

bool FileSelection::Apply(const GridPress& press, int row) {
    extending_ = false;
    if (!ApplyGridPress(rows_, anchor_, row, press)) {
        return false;
    }
    emit changed();
    return true;
}

void FileSelection::ExtendTo(int row) {
    if (row < 1) {
        return;
    }
    if (!extending_) {
        extending_ = true;
        extensionBase_.clear();
        for (std::size_t i = 0; i < rows_.Count(); ++i) {
            extensionBase_.push_back(rows_.Items(i));
        }
    }
    const int from = anchor_ < 1 ? 1 : anchor_;
    const int low = std::min(from, row);
    const int high = std::max(from, row);
    // In ascending order, so that each row is appended.
    rows_.Clear();
    auto base = extensionBase_.cbegin();
    for (; base != extensionBase_.cend() && *base < low; ++base) {
        rows_.Add(*base);
    }
    rows_.AddRange(low, high + 1);
    for (; base != extensionBase_.cend(); ++base) {
        if (*base > high) {
            rows_.Add(*base);
        }
    }
    emit changed();
}

void FileSelection::SelectAll(int rowCount) {
    extending_ = false;
    SelectAllRows(rows_, rowCount);
    emit changed();
}

void FileSelection::Select(const std::vector<int>& rows) {
    extending_ = false;
    rows_.Clear();
    for (const int row : rows) {
        if (row >= 1 && rows_.IndexOf(row) < 0) {
            rows_.Add(row);
        }
    }
    emit changed();
}

void FileSelection::Clear() {
    extending_ = false;
    rows_.Clear();
    emit changed();
}

std::vector<std::size_t> FileSelection::Indexes(std::size_t fileCount) const {
    std::vector<std::size_t> indexes;
    indexes.reserve(rows_.Count());
    for (std::size_t i = 0; i < rows_.Count(); ++i) {
        const int row = rows_.Items(i);
        if (row >= 1 && static_cast<std::size_t>(row) <= fileCount) {
            indexes.push_back(static_cast<std::size_t>(row - 1));
        }
    }
    return indexes;
}

} // namespace quorvel
