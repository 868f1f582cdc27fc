// The main window's script editor: the script view, commands dropped and removed,
// parameter entry, preview and run, script files and the command line.
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "bridge/qt_text.hpp"
#include "editor/script_document.hpp"
#include "editor/script_html.hpp"
#include "editor/script_view.hpp"
#include "engine/catalogue.hpp"
#include "engine/codec.hpp"
#include "engine/errors.hpp"
#include "engine/primitives.hpp"
#include "engine/script_file.hpp"
#include "files/rename_run.hpp"
#include "shell/desktop.hpp"
#include "shell/frm_main.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"

#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace quorvel {

namespace {

const QString kInvalidScript = QStringLiteral("Script invalide...");
const QString kConfirmTitle = QStringLiteral("Confirmation");
const QString kConfirmText =
    QStringLiteral("êtes-vous sûr de vouloir modifier le nom des fichiers sélectionnés ?");
const QString kScriptFilter = QStringLiteral("Fichier Script (*.script)");
const QString kMissingFile = QStringLiteral("Le fichier %1 n'existe pas");

QString RangeError(long long index) {
    return QStringLiteral("Indice de liste hors limites (%1)").arg(index);
}

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

// --- Script view -------------------------------------------------------------------

void TFrmMain::ShowScript() {
    if (Script->IsEmpty()) {
        HTMLViewer->clear();
    } else {
        HTMLViewer->Show(Script->Lines(), Script->HtmlLines());
    }
    UpdateActions();
}

bool TFrmMain::HTMLViewerDragOver(const QMimeData* payload) const {
    const QTreeWidgetItem* node = TreeViewCommande->NodeOfDrag(payload);
    return node != nullptr && node->parent() != nullptr;
}

void TFrmMain::HTMLViewerDragDrop(const QMimeData* payload) {
    const QTreeWidgetItem* node = TreeViewCommande->NodeOfDrag(payload);
    if (node == nullptr || node->parent() == nullptr) {
        return;
    }
    Script->Append(MakeScriptLine(TreeViewCommande->NodeNumber(node), FromQString(node->parent()->text(0)),
                                  FromQString(node->text(0))));
}

void TFrmMain::MNU_EffacerClick() {
    bool ok = false;
    const long long index = ClickedLine.toLongLong(&ok);
    if (!ok || index < 0 || !Script->Remove(static_cast<std::size_t>(index))) {
        Desktop().ShowError(this, RangeError(index));
    }
}

void TFrmMain::MNU_ClearAllClick() {
    Script->Clear();
}

// --- Parameter entry -----------------------------------------------------------------

void TFrmMain::HTMLViewerHotSpotClick(const HotSpot& spot) {
    // The placeholder is read from the script line itself: the view says which line
    // and which of its links was clicked.
    if (spot.line < 0 || static_cast<std::size_t>(spot.line) >= Script->Count() || spot.ordinal < 1) {
        return;
    }
    const ScriptLine& line = Script->Line(static_cast<std::size_t>(spot.line));
    const auto slot = static_cast<std::size_t>(spot.ordinal - 1);
    const TextView placeholder = line.Placeholder(slot);
    if (placeholder.empty()) {
        return;
    }
    const std::optional<PlaceholderKind> kind = line.KindOf(slot);
    if (!kind) {
        BtnOk->hide();
        return;
    }
    QLineEdit* box = *kind == PlaceholderKind::Integer ? static_cast<QLineEdit*>(EdInteger)
                     : *kind == PlaceholderKind::Number ? EdNumber
                                                        : EdString;
    for (QLineEdit* each : {static_cast<QLineEdit*>(EdInteger), EdString, EdNumber}) {
        each->setVisible(each == box);
    }
    BtnOk->show();
    ClickedLine = QString::number(spot.line);
    ClickedSlot = spot.ordinal;
    ClickedPlaceholder = ToQString(placeholder);
    ClickedText = ToQString(line.Shown(slot));
    HTMLViewer->SelectRange(spot.start, spot.end);
    box->setText(ClickedText);
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    UpdateActions();
}

void TFrmMain::EdIntegerKeyDown(int key) {
    if (key == 13) {
        BtnOkClick(BtnOk);
    }
}

void TFrmMain::BtnOkClick(QObject* sender) {
    QLineEdit* box = EdNumber;
    for (QLineEdit* each : {static_cast<QLineEdit*>(EdInteger), EdString, EdNumber}) {
        if (each->isVisible()) {
            box = each;
            break;
        }
    }
    const Text value = FromQString(box->text());
    bool ok = false;
    const long long index = ClickedLine.toLongLong(&ok);
    if (!ok || index < 0 || static_cast<unsigned long long>(index) >= Script->Count()) {
        Desktop().ShowError(this, RangeError(index));
        return;
    }
    // The value goes into the placeholder that was clicked, provided the line still
    // holds it there; otherwise the line is left as it is.
    if (ClickedSlot >= 1) {
        Script->SetValue(static_cast<std::size_t>(index), static_cast<std::size_t>(ClickedSlot - 1),
                         FromQString(ClickedPlaceholder), value);
    }
    for (QWidget* w : {static_cast<QWidget*>(EdInteger), static_cast<QWidget*>(EdString),
                       static_cast<QWidget*>(EdNumber), static_cast<QWidget*>(BtnOk)}) {
        w->hide();
    }
    Action_VoirExempleExecute(sender);
}

// --- Preview and run -------------------------------------------------------------------

void TFrmMain::UpdateActions() {
    const bool ready = Script->IsValid() && FileList->Count() > 0;
    Action_VoirExemple->setEnabled(ready);
    Action_Executer->setEnabled(ready);
    Action_Effacer->setEnabled(!ClickedLine.isEmpty());
}

std::vector<std::size_t> TFrmMain::SelectedIndexes() const {
    return Selection->Indexes(FileList->Count());
}

void TFrmMain::Action_VoirExempleExecute(QObject* sender) {
    MemoExemple->clear();
    NumberCounter = 0;
    if (!Script->IsValid()) {
        if (sender != BtnOk) {
            Desktop().ShowMessage(this, kInvalidScript);
        }
        return;
    }
    try {
        const std::vector<Text> names = PreviewNames(Script->Lines(), FileList->Files(), SelectedIndexes(), NumberCounter);
        QStringList lines;
        lines.reserve(static_cast<qsizetype>(names.size()));
        for (const Text& name : names) {
            lines.push_back(ToQString(name));
        }
        MemoExemple->SetLines(std::move(lines));
    } catch (const EngineError& e) {
        Desktop().ShowError(this, QString::fromUtf8(e.what()));
    }
}

void TFrmMain::MNU_ExecuterClick(QObject* sender) {
    if (!Script->IsValid()) {
        Desktop().ShowMessage(this, kInvalidScript);
        return;
    }
    if (sender != nullptr && !Desktop().Confirm(this, kConfirmTitle, kConfirmText)) {
        return;
    }
    MemoExemple->clear();
    NumberCounter = 0;
    try {
        const RunReport report = RunRenames(Script->Lines(), FileList->Files(), SelectedIndexes(), NumberCounter);
        if (report.stop != RunReport::Stop::None) {
            Desktop().ShowError(this, QString::fromUtf8(report.error));
        }
        ReportRun(report);
    } catch (const EngineError& e) {
        Desktop().ShowError(this, QString::fromUtf8(e.what()));
    }
}

void TFrmMain::ReportRun(const RunReport& report) {
    QStringList failures;
    for (const RunFile& file : report.files) {
        if (file.outcome == RenameOutcome::Failed) {
            failures.push_back(QStringLiteral("%1 → %2 : %3")
                                   .arg(ToQString(DecodeName(file.oldName)),
                                        ToQString(DecodeName(file.newName)), QString::fromUtf8(file.reason)));
        }
    }
    RunStatus->setText(QStringLiteral("%1 renommé(s), %2 inchangé(s), %3 échec(s)")
                           .arg(report.renamed)
                           .arg(report.unchanged)
                           .arg(report.failed));
    RunStatus->setToolTip(failures.join(QLatin1Char('\n')));
}

// --- Script files ------------------------------------------------------------------

void TFrmMain::MNU_OPENClick() {
    const QString path = Desktop().OpenFileName(this, env_.programFolder, kScriptFilter);
    if (path.isEmpty()) {
        return;
    }
    ScriptFileName = path;
    try {
        Script->Load(ReadScriptFile(PathBytes(path)));
    } catch (const FileError& e) {
        Script->Load({});
        Desktop().ShowError(this, QString::fromUtf8(e.what()));
    }
}

void TFrmMain::SaveTo(const QString& path) {
    try {
        WriteScriptFile(PathBytes(path), Script->Lines());
        Script->SetUnmodified();
    } catch (const FileError& e) {
        Desktop().ShowError(this, QString::fromUtf8(e.what()));
    }
}

void TFrmMain::MNU_SAVEClick() {
    if (ScriptFileName.isEmpty()) {
        MNU_SAVEASClick();
        return;
    }
    SaveTo(ScriptFileName);
}

void TFrmMain::MNU_SAVEASClick() {
    const QString path = Desktop().SaveFileName(this, env_.programFolder, kScriptFilter);
    if (path.isEmpty()) {
        return;
    }
    ScriptFileName = ToQString(ChangeExt(FromQString(path), U".script"));
    SaveTo(ScriptFileName);
}

// --- Command line ------------------------------------------------------------------

bool TFrmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QMainWindow::event(event);
}

void TFrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Some platforms never activate a window (no window manager, offscreen): the
    // first showing stands in for the first activation.
    if (FirstActivation) {
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TFrmMain::FormActivate() {
    if (!FirstActivation) {
        return;
    }
    FirstActivation = false;
    // A folder after the script is the unattended run, which the program does
    // without a window; the window only opens the script.
    const QStringList& args = env_.arguments;
    if (args.isEmpty()) {
        return;
    }
    ScriptFileName = args[0];
    if (!QFileInfo(ScriptFileName).isFile()) {
        Desktop().ShowMessage(this, kMissingFile.arg(ScriptFileName));
        return;
    }
    try {
        Script->Load(ReadScriptFile(PathBytes(ScriptFileName)));
    } catch (const FileError& e) {
        Script->Load({});
        Desktop().ShowError(this, QString::fromUtf8(e.what()));
    }
}

} // namespace quorvel
