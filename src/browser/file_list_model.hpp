// The files of the folder shown: the model owns their records and resets itself
// whenever they are replaced. Model row r is grid row r + 1 (row 0 of the grid is
// its header).
#pragma once

#include "engine/text.hpp"
#include "files/listing/file_details.hpp"
#include "files/listing/project_file.hpp"

#include <QAbstractTableModel>
#include <span>

namespace quorvel {

class TListInt;

class FileListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FileListModel(QObject* parent = nullptr);

    const TListFiles& Files() const { return files_; }
    std::size_t Count() const { return files_.Count(); }
    // The record of grid row `row` (1 and up), or nullptr.
    const TProjectFile* RecordOfRow(int row) const;
    // The size and date of the file of grid row `row`, read from the folder the first
    // time they are asked for and kept until the folder is listed again. Nothing
    // for a row without a record or a file that is gone.
    std::optional<FileDetails> DetailsOfRow(int row) const;

    // Replaces the records by the files of `folder` that match `filter`, sorted. The
    // scan reads names only: sizes and dates come with DetailsOfRow, for the rows
    // shown.
    // Returns 0, or the errno value that tells why the folder could not be read.
    int List(const FolderPath& folder, TextView filter);
    void Clear();
    // Shows the records in `order` (TListFiles::Rearrange).
    void Rearrange(std::span<const std::size_t> order);

    // What a row of `selected` (grid rows, 1 and up) says to assistive technology
    // as its description, "sélectionné"; other rows say nothing more.
    void SetSelectedText(const TListInt* selected, const QString& text);

public slots:
    // The selection changed: the rows' descriptions with it.
    void selectionChanged();

public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    TListFiles files_;
    mutable FileDetailCache details_;
    const TListInt* selected_ = nullptr;
    QString selectedText_;
};

} // namespace quorvel
