#include "browser/file_selection.hpp"

#include "browser/grid_selection.hpp"

namespace quorvel {

FileSelection::FileSelection(QObject* parent) : QObject(parent) {
    rows_.SetSorted(true);
}

bool FileSelection::Apply(const GridPress& press, int row) {
    if (!ApplyGridPress(rows_, anchor_, row, press)) {
        return false;
    }
    emit changed();
    return true;
}

void FileSelection::SelectAll(int rowCount) {
    SelectAllRows(rows_, rowCount);
    emit changed();
}

void FileSelection::Select(const std::vector<int>& rows) {
    rows_.Clear();
    for (const int row : rows) {
        if (row >= 1 && rows_.IndexOf(row) < 0) {
            rows_.Add(row);
        }
    }
    emit changed();
}

void FileSelection::Clear() {
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
