#include "browser/file_list_model.hpp"

#include "bridge/qt_text.hpp"
#include "browser/file_grid.hpp"
#include "files/listing/list_int.hpp"
#include "files/listing/scan.hpp"

namespace quorvel {

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

const TProjectFile* FileListModel::RecordOfRow(int row) const {
    return row >= 1 && static_cast<std::size_t>(row) <= files_.Count()
               ? &files_.Items(static_cast<std::size_t>(row - 1))
               : nullptr;
}

std::optional<FileDetails> FileListModel::DetailsOfRow(int row) const {
    if (RecordOfRow(row) == nullptr) {
        return std::nullopt;
    }
    return details_.Of(files_, static_cast<std::size_t>(row - 1));
}

int FileListModel::List(const FolderPath& folder, TextView filter) {
    beginResetModel();
    files_.Clear();
    details_.Clear();
    const int error = ScanFolder(folder, files_, filter, ScanDetail::NamesOnly);
    files_.Sort();
    endResetModel();
    return error;
}

void FileListModel::Rearrange(std::span<const std::size_t> order) {
    beginResetModel();
    files_.Rearrange(order);
    details_.Clear();
    endResetModel();
}

void FileListModel::Clear() {
    beginResetModel();
    files_.Clear();
    details_.Clear();
    endResetModel();
}

void FileListModel::SetSelectedText(const TListInt* selected, const QString& text) {
    selected_ = selected;
    selectedText_ = text;
    selectionChanged();
}

void FileListModel::selectionChanged() {
    if (files_.Count() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::AccessibleDescriptionRole});
    }
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(files_.Count());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= files_.Count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return VisibleName(ToQString(files_.Items(static_cast<std::size_t>(index.row())).Name()));
    }
    if (role == Qt::AccessibleDescriptionRole) {
        const bool selected = selected_ != nullptr && selected_->IndexOf(index.row() + 1) >= 0;
        return selected ? selectedText_ : QString();
    }
    if (role == Qt::AccessibleTextRole) {
        // What a row says to assistive technology: its two lines as one, "name, size, date".
        QString text = VisibleName(ToQString(files_.Items(static_cast<std::size_t>(index.row())).Name()));
        if (const std::optional<FileDetails> details = DetailsOfRow(index.row() + 1)) {
            text += QStringLiteral(", ") + FileCellDelegate::DetailText(details->size, details->date)
                                               .replace(QStringLiteral("    "), QStringLiteral(", "));
        }
        return text;
    }
    return {};
}

} // namespace quorvel
