#include "browser/file_list_model.hpp"

#include "bridge/qt_text.hpp"
#include "browser/file_grid.hpp"
#include "files/listing/list_int.hpp"
#include "files/listing/scan.hpp"

#include <QStringList>

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

TreeScanReport FileListModel::List(const FolderPath& folder, TextView filter, const TreeScan& scan) {
    // Read apart: the progress of a long scan lets the window paint, and it paints
    // the records it has until the new ones are all there.
    TListFiles listed;
    TreeScan names = scan;
    names.detail = ScanDetail::NamesOnly;
    TreeScanReport report = ScanTree(folder, listed, filter, names);
    listed.Sort();
    beginResetModel();
    files_ = std::move(listed);
    tree_ = scan.depth != 1;
    details_.Clear();
    endResetModel();
    return report;
}

GivenFilesReport FileListModel::ListGiven(std::span<const std::string> paths, const GivenProgress& progress) {
    TListFiles listed;
    GivenFilesReport report = ListGivenFiles(paths, listed, progress);
    beginResetModel();
    files_ = std::move(listed);
    tree_ = true;
    details_.Clear();
    endResetModel();
    return report;
}

QString FileListModel::RelativeFolderOfRow(int row) const {
    const TProjectFile* record = RecordOfRow(row);
    return record != nullptr ? VisibleName(NameToQString(record->SharedFolder()->relative)) : QString();
}

QString FileListModel::ShownNameOfRow(int row) const {
    const TProjectFile* record = RecordOfRow(row);
    if (record == nullptr) {
        return {};
    }
    QString name = VisibleName(ToQString(record->Name()));
    if (record->IsFolder()) {
        name += QLatin1Char('/');
    }
    return name;
}

QString FileListModel::DetailLineOfRow(int row) const {
    const TProjectFile* record = RecordOfRow(row);
    if (record == nullptr) {
        return {};
    }
    QStringList parts;
    if (const QString folder = RelativeFolderOfRow(row); !folder.isEmpty()) {
        parts.push_back(folder);
    }
    if (const std::optional<FileDetails> details = DetailsOfRow(row)) {
        // A folder's size says nothing of what it holds: its date alone.
        parts.push_back(record->IsFolder() ? FileCellDelegate::DateText(details->date)
                                           : FileCellDelegate::DetailText(details->size, details->date));
    }
    return parts.join(QStringLiteral("    "));
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
    tree_ = false;
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
        return ShownNameOfRow(index.row() + 1);
    }
    if (role == Qt::AccessibleDescriptionRole) {
        const bool selected = selected_ != nullptr && selected_->IndexOf(index.row() + 1) >= 0;
        return selected ? selectedText_ : QString();
    }
    if (role == Qt::AccessibleTextRole) {
        // What a row says to assistive technology: its two lines as one, "name, size,
        // date" (in a tree "name, folder, size, date").
        QString text = ShownNameOfRow(index.row() + 1);
        if (const QString details = DetailLineOfRow(index.row() + 1); !details.isEmpty()) {
            text +=
                QStringLiteral(", ") + QString(details).replace(QStringLiteral("    "), QStringLiteral(", "));
        }
        return text;
    }
    return {};
}

} // namespace quorvel
