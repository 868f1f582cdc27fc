// The files of the folder shown: the model owns their records and resets itself
// whenever they are replaced. Model row r is grid row r + 1 (row 0 of the grid is
// its header).
#pragma once

#include "engine/text.hpp"
#include "files/listing/file_details.hpp"
#include "files/listing/given_files.hpp"
#include "files/listing/project_file.hpp"
#include "files/listing/scan.hpp"

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

    // Replaces the records by the entries of `folder` that match `filter`, sorted:
    // its files alone, or those of the folders below it and the folders themselves
    // as `scan` asks, each folder's entries in name order (ScanTree). The scan reads
    // names only: sizes and dates come with DetailsOfRow, for the rows shown. The
    // records shown stay until the scan is over, and a scan stopped by its progress
    // shows what it listed. Says why the folder, or a folder below it, could not be
    // read.
    TreeScanReport List(const FolderPath& folder, TextView filter, const TreeScan& scan = {});
    // Replaces the records by the files of `paths` (bytes), in the order given,
    // below the folder that holds them all (ListGivenFiles); their rows say which
    // folder they are in, as in a tree.
    GivenFilesReport ListGiven(std::span<const std::string> paths, const GivenProgress& progress = {});
    // The records may come from the folders below the folder listed: each row says
    // which folder it is in.
    bool IsTree() const { return tree_; }
    // The folder of grid row `row` below the folder listed, as shown ("sub/x/"); empty
    // for the folder listed itself and for a row without a record.
    QString RelativeFolderOfRow(int row) const;
    // The name of grid row `row` as the grid shows it: control characters as
    // symbols, a folder with "/" after its name.
    QString ShownNameOfRow(int row) const;
    // The second line of grid row `row`: its folder below the folder listed (in a
    // tree), its size (for a file) and its date; nothing more for a file gone.
    QString DetailLineOfRow(int row) const;
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
    bool tree_ = false;
    mutable FileDetailCache details_;
    const TListInt* selected_ = nullptr;
    QString selectedText_;
};

} // namespace quorvel
