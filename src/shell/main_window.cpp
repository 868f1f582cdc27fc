#include "shell/main_window.hpp"

#include "bridge/qt_text.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "browser/folder_tree.hpp"
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/parameter_panel.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "engine/catalogue.hpp"
#include "engine/codec.hpp"
#include "engine/errors.hpp"
#include "files/rename_run.hpp"
#include "look/dock_layout.hpp"
#include "look/menu_images.hpp"
#include "look/menu_look.hpp"
#include "look/splitter.hpp"
#include "look/t_panel.hpp"
#include "settings/ini_file.hpp"
#include "settings/language.hpp"
#include "settings/save_form_control_pos.hpp"
#include "shell/desktop.hpp"
#include "shell/messages.hpp"
#include "shell/registration.hpp"
#include "shell/rename_controller.hpp"
#include "shell/run_progress.hpp"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolButton>
#include <QTranslator>
#include <QTreeWidget>

namespace quorvel {

namespace {

const QColor kCream(0xFF, 0xFB, 0xF0);
const QColor kSkyBlue(0xA6, 0xCA, 0xF0);

QFont WindowFont(bool bold = false) {
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(13);
    font.setBold(bold);
    return font;
}

T_Panel* PlainPanel(QWidget* parent, TBevelCut outer) {
    auto* panel = new T_Panel(parent);
    const QColor face = panel->palette().color(QPalette::Button);
    panel->SetColor(face);
    panel->SetColorTo(face);
    panel->SetBevelOuter(outer);
    return panel;
}

} // namespace

template <typename T> T* MainWindow::Own(T* component, const char* name) {
    component->setObjectName(QString::fromLatin1(name));
    components_.push_back(component);
    return component;
}

MainWindow::MainWindow(ProgramEnvironment environment, QWidget* parent)
    : QMainWindow(parent), env_(std::move(environment)), settings_(std::make_unique<SettingsSession>()) {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Quorvel"));
    setFont(WindowFont());
    resize(799, 577);
    CreateComponents();
    CreateMenus();
    InstallMenuLook(*this);
    // The window comes back with its last size and state, centred on the screen.
    // The controls whose places are kept: all but the status bar, which the window
    // always places itself.
    SaveFormControlPos = Own(new TSaveFormControlPos(this, env_.settingsFile,
                                                     [this] {
                                                         std::vector<QObject*> kept = components_;
                                                         std::erase(kept, static_cast<QObject*>(StatusBar));
                                                         return kept;
                                                     }),
                             "SaveFormControlPos");
    SaveFormControlPos->Loaded();
    CentreOnPrimaryScreen(*this);
    FormCreate();
}

MainWindow::~MainWindow() {
    MemoExemple->SetSource(nullptr); // the controller goes first
}

QObject* MainWindow::FindComponent(const QString& name) const {
    if (name == QLatin1String("MNU_Effacer")) {
        return MNU_Effacer;
    }
    if (name == QLatin1String("MNU_Executer")) {
        return MNU_Executer;
    }
    for (QObject* component : components_) {
        if (component->objectName() == name) {
            return component;
        }
    }
    return nullptr;
}

void MainWindow::CreateComponents() {
    qtTexts_ = new QTranslator(this);
    Controller = new RenameController(this);
    FileList = &Controller->Files();
    Selection = &Controller->Selection();
    Script = &Controller->Script();
    Controller->confirm = [this](const QString& title, const QString& question) {
        return Desktop().Confirm(this, title, question);
    };
    Controller->startProgress = [this](const QString& label) { return RunProgress::Start(this, label); };
    connect(Controller, &RenameController::stateChanged, this, [this] { RefreshActions(); });
    connect(Controller, &RenameController::ran, this,
            [this](const RunSummary& summary) { ReportRun(summary); });
    connect(Controller, &RenameController::message, this,
            [this](const QString& text) { Desktop().ShowMessage(this, text); });
    connect(Controller, &RenameController::error, this,
            [this](const QString& text) { Desktop().ShowError(this, text); });
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* clientLayout = new DockLayout(client);

    // Controls are created in the window's owning order.
    Splitter3 = Own(new TSplitter(client, false), "Splitter3");
    Panel1 = Own(PlainPanel(client, TBevelCut::bvNone), "Panel1");
    auto* panel1Layout = new DockLayout(Panel1);
    Splitter1 = Own(new TSplitter(Panel1, true), "Splitter1");
    ShellTreeView = Own(new TFolderTree(Panel1), "ShellTreeView");

    PanelVOIR = Own(new T_Panel(Panel1), "PanelVOIR");
    PanelVOIR->SetColor(kCream);
    PanelVOIR->SetColorTo(kSkyBlue);
    PanelVOIR->SetBevelOuter(TBevelCut::bvLowered);
    Label1 = Own(new QLabel(QStringLiteral("Filtre :"), PanelVOIR), "Label1");
    Label1->move(8, 8);
    BtnVoir = Own(new QToolButton(PanelVOIR), "BtnVoir");
    BtnVoir->setGeometry(43, 250, 97, 25);
    BtnVoir->setAutoRaise(true);
    BtnVoir->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    LabExemple = Own(new QLabel(QStringLiteral("Exemple :"), PanelVOIR), "LabExemple");
    LabExemple->move(10, 66);
    EdFiltre = Own(new QLineEdit(QStringLiteral("*.*"), PanelVOIR), "EdFiltre");
    EdFiltre->setGeometry(8, 24, 121, 24);
    MemoExemple = Own(new TExampleList(PanelVOIR), "MemoExemple");
    MemoExemple->setGeometry(9, 82, 153, 159);
    MemoExemple->SetSource(Controller);
    connect(Controller, &RenameController::previewed, MemoExemple, &TExampleList::SetLines);
    connect(Controller, &RenameController::previewMarked, MemoExemple, &TExampleList::SetMarks);

    StringGridFiles = Own(new TFileGrid(*FileList, Selection->Rows(), Panel1), "StringGridFiles");
    connect(Selection, &FileSelection::changed, StringGridFiles->viewport(), qOverload<>(&QWidget::update));
    connect(StringGridFiles, &TFileGrid::pressed, Controller, &RenameController::pressRow);
    connect(StringGridFiles, &TFileGrid::currentRowChanged, Selection, &FileSelection::SetAnchorRow);
    connect(StringGridFiles, &TFileGrid::selectAllRequested, Controller, &RenameController::selectAll);
    connect(StringGridFiles, &TFileGrid::openRequested, this, &MainWindow::OpenFileOfRow);

    Panel2 = Own(PlainPanel(client, TBevelCut::bvLowered), "Panel2");
    auto* panel2Layout = new DockLayout(Panel2);
    panel2Layout->setContentsMargins(1, 1, 1, 1);
    Splitter2 = Own(new TSplitter(Panel2, true), "Splitter2");
    TreeViewCommande = Own(new TCommandTree(Panel2), "TreeViewCommande");
    Panel4 = Own(PlainPanel(Panel2, TBevelCut::bvNone), "Panel4");
    auto* panel4Layout = new DockLayout(Panel4);
    HTMLViewer = Own(new TScriptView(Panel4), "HTMLViewer");
    PanelBAS = Own(new T_Panel(Panel4), "PanelBAS");
    PanelBAS->SetColor(kSkyBlue);
    PanelBAS->SetColorTo(kCream);
    PanelBAS->SetBevelOuter(TBevelCut::bvNone);
    BtnOk = Own(new QToolButton(PanelBAS), "BtnOk");
    BtnOk->setText(QStringLiteral("&OK"));
    BtnOk->setGeometry(41, 198, 97, 33);
    BtnOk->setAutoRaise(true);
    BtnOk->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BtnOk->hide();
    EdString = Own(new QLineEdit(QStringLiteral("Entrer une chaine"), PanelBAS), "EdString");
    EdString->setGeometry(19, 48, 130, 24);
    EdString->hide();
    EdInteger = Own(new TEditNumber(PanelBAS), "EdInteger");
    EdInteger->setText(QStringLiteral("Entrer un entier"));
    EdInteger->setGeometry(20, 16, 129, 24);
    EdInteger->hide();
    EdNumber = Own(new QLineEdit(QStringLiteral("Entrer un nombre"), PanelBAS), "EdNumber");
    EdNumber->setGeometry(20, 80, 129, 24);
    EdNumber->hide();
    StatusBar = Own(statusBar(), "StatusBar");
    RunStatus = new QLabel(StatusBar);
    StatusBar->addWidget(RunStatus, 1);

    // Docking, side by side as the window shows them.
    clientLayout->Add(Panel1, Dock::Top, 281);
    clientLayout->Add(Splitter3, Dock::Top, 3);
    clientLayout->Add(Panel2, Dock::Client);
    panel1Layout->Add(ShellTreeView, Dock::Left, 233);
    panel1Layout->Add(Splitter1, Dock::Left, 4);
    panel1Layout->Add(PanelVOIR, Dock::Right, 168);
    panel1Layout->Add(StringGridFiles, Dock::Client);
    panel2Layout->Add(TreeViewCommande, Dock::Left, 233);
    panel2Layout->Add(Splitter2, Dock::Left, 4);
    panel2Layout->Add(Panel4, Dock::Client);
    panel4Layout->Add(PanelBAS, Dock::Right, 166);
    panel4Layout->Add(HTMLViewer, Dock::Client);
    auto* basLayout = new DockLayout(PanelBAS);
    basLayout->AnchorBottom(BtnOk, 233);

    // Command tree: bold on sky blue.
    TreeViewCommande->setFont(WindowFont(true));
    TreeViewCommande->setFrameShape(QFrame::NoFrame);
    QPalette treePalette = TreeViewCommande->palette();
    treePalette.setColor(QPalette::Base, kSkyBlue);
    TreeViewCommande->setPalette(treePalette);

    // Script view: Verdana 12 points on sky blue, blue links, margins 10 and 5.
    HTMLViewer->setFrameShape(QFrame::NoFrame);
    QPalette viewPalette = HTMLViewer->palette();
    viewPalette.setColor(QPalette::Base, kSkyBlue);
    viewPalette.setColor(QPalette::Text, viewPalette.color(QPalette::ButtonText));
    viewPalette.setColor(QPalette::Link, QColor(0, 0, 255));
    viewPalette.setColor(QPalette::LinkVisited, QColor(0, 0, 255));
    HTMLViewer->setPalette(viewPalette);
    HTMLViewer->document()->setDocumentMargin(0);
    HTMLViewer->setContextMenuPolicy(Qt::CustomContextMenu);
    HTMLViewer->SetScript(Script);
    connect(HTMLViewer, &TScriptView::commandDropped, Script, [this](int number) {
        if (std::optional<Text> line = TreeViewCommande->ScriptLineOf(number)) {
            Script->Append(std::move(*line));
        }
    });
    connect(HTMLViewer, &TScriptView::placeholderClicked, Controller, &RenameController::clickPlaceholder);
    connect(Controller, &RenameController::placeholderChosen, HTMLViewer,
            [this](PlaceholderKind, const QString&, int line, int slot) {
                HTMLViewer->SelectPlaceholder(line, slot);
            });

    // Parameter entry: the box of the placeholder clicked, its value into the script.
    Parameters = new ParameterPanel(EdInteger, EdString, EdNumber, BtnOk, this);
    connect(Controller, &RenameController::placeholderChosen, Parameters, &ParameterPanel::Open);
    connect(Controller, &RenameController::placeholderOfNoKind, BtnOk, &QWidget::hide);
    connect(Parameters, &ParameterPanel::valueEntered, Controller, &RenameController::enterValue);
    connect(Controller, &RenameController::valueAccepted, Parameters, &ParameterPanel::Close);

    // Actions.
    Action_VoirExemple = Own(new QAction(QStringLiteral("Voir"), this), "Action_VoirExemple");
    Action_VoirExemple->setIcon(PreviewButtonImage());
    Action_Effacer = Own(new QAction(QStringLiteral("Effacer"), this), "Action_Effacer");
    Action_Effacer->setIcon(MenuImage(3));
    Action_Executer = Own(new QAction(QStringLiteral("Executer"), this), "Action_Executer");
    Action_Executer->setIcon(MenuImage(4));
    BtnVoir->setDefaultAction(Action_VoirExemple);
    BtnOk->setIcon(OkButtonImage());
    connect(Action_VoirExemple, &QAction::triggered, this,
            [this] { Action_VoirExempleExecute(PreviewMode::Interactive); });
    connect(Action_Executer, &QAction::triggered, this, [this] { MNU_ExecuterClick(RunMode::Confirm); });
    connect(Action_Effacer, &QAction::triggered, Controller, &RenameController::removeClickedLine);

    // Triggers of the file list.
    connect(ShellTreeView, &TFolderTree::FolderChanged, this, [this] { ShellTreeViewChange(); });
    connect(EdFiltre, &QLineEdit::returnPressed, this, [this] { ShellTreeViewChange(); });
}

void MainWindow::CreateMenus() {
    QMenuBar* bar = menuBar();
    MNU_File = Own(bar->addMenu(QStringLiteral("&Fichier")), "MNU_File");
    MNU_OPEN = Own(MNU_File->addAction(MenuImage(0), QStringLiteral("Ouvrir")), "MNU_OPEN");
    N3 = Own(MNU_File->addSeparator(), "N3");
    MNU_SAVE = Own(MNU_File->addAction(MenuImage(1), QStringLiteral("Enregistrer")), "MNU_SAVE");
    MNU_SAVEAS = Own(MNU_File->addAction(MenuImage(1), QStringLiteral("Enregistrer sous...")), "MNU_SAVEAS");
    N4 = Own(MNU_File->addSeparator(), "N4");
    MNU_UNDO = Own(MNU_File->addAction(messages::UndoCaption()), "MNU_UNDO");
    MNU_UNDO->setShortcut(QKeySequence::Undo);
    MNU_UNDO->setEnabled(false);
    connect(MNU_UNDO, &QAction::triggered, Controller, &RenameController::undo);
    N2 = Own(MNU_File->addSeparator(), "N2");
    MNU_QUIT = Own(MNU_File->addAction(MenuImage(2), QStringLiteral("&Quitter")), "MNU_QUIT");

    MNU_Langage = Own(bar->addMenu(QStringLiteral("Langage")), "MNU_Langage");
    auto* languages = new QActionGroup(this);
    MNU_Fancais = Own(MNU_Langage->addAction(QStringLiteral("Français")), "MNU_Fancais");
    MNU_Anglais = Own(MNU_Langage->addAction(QStringLiteral("Anglais")), "MNU_Anglais");
    for (QAction* item : {MNU_Fancais, MNU_Anglais}) {
        item->setCheckable(true);
        languages->addAction(item);
    }
    MNU_Fancais->setChecked(true);

    MNU_AoutHelp = Own(bar->addMenu(QStringLiteral("?")), "MNU_AoutHelp");
    MNU_Help = Own(MNU_AoutHelp->addAction(MenuImage(6), QStringLiteral("Aide")), "MNU_Help");
    MNU_ABOUT = Own(MNU_AoutHelp->addAction(MenuImage(5), QStringLiteral("A propos")), "MNU_ABOUT");

    PopupMenu = Own(new QMenu(this), "PopupMenu");
    // The pop-up's items are the actions themselves, under the items' names too.
    PopupMenu->addAction(Action_Effacer);
    MNU_Effacer = Action_Effacer;
    MNU_ClearAll = Own(PopupMenu->addAction(MenuImage(3), QStringLiteral("Tout effacer")), "MNU_ClearAll");
    N1 = Own(PopupMenu->addSeparator(), "N1");
    PopupMenu->addAction(Action_Executer);
    MNU_Executer = Action_Executer;
    connect(HTMLViewer, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu->popup(HTMLViewer->viewport()->mapToGlobal(pos)); });

    connect(MNU_ClearAll, &QAction::triggered, Script, &ScriptDocument::Clear);
    connect(MNU_OPEN, &QAction::triggered, this, [this] { MNU_OPENClick(); });
    connect(MNU_SAVE, &QAction::triggered, this, [this] { MNU_SAVEClick(); });
    connect(MNU_SAVEAS, &QAction::triggered, this, [this] { MNU_SAVEASClick(); });
    connect(MNU_QUIT, &QAction::triggered, this, [this] { MNU_QUITClick(); });
    connect(MNU_Help, &QAction::triggered, this, [this] { MNU_HelpClick(); });
    connect(MNU_ABOUT, &QAction::triggered, this, [this] { MNU_ABOUTClick(); });
    connect(MNU_Fancais, &QAction::triggered, this, [this] { MNU_FancaisClick(); });
    connect(MNU_Anglais, &QAction::triggered, this, [this] { MNU_AnglaisClick(); });
}

void MainWindow::FormCreate() {
    FirstActivation = true;
    RegisterScriptFileType(env_.programPath);
    StringGridFiles->setFont(font());
    StringGridFiles->verticalHeader()->setDefaultSectionSize(StringGridFiles->DataRowHeight());
    QFont viewFont(font().family());
    viewFont.setPointSize(12);
    HTMLViewer->document()->setDefaultFont(viewFont);
    Selection->SetAnchorRow(-1);
    EdString->move(EdString->x(), EdInteger->y());
    EdNumber->move(EdNumber->x(), EdInteger->y());
    const std::int32_t language =
        IniFile(env_.settingsFile.toStdString()).ReadInteger("OPTIONS", "LANGUAGE", LanguageIndex());
    SetLanguageIndex(static_cast<std::uint8_t>(language & 0xFF));
    ApplyLanguageIndex();
    RefreshActions();
    // The home folder is selected at start, which lists its files.
    ShellTreeView->SelectPath(QFile::encodeName(QDir::homePath()));
}

void MainWindow::ApplyLanguageIndex() {
    (LanguageIndex() == 1 ? MNU_Anglais : MNU_Fancais)->setChecked(true);
    UseLanguage(LanguageIndex() == 1);
}

void MainWindow::MNU_FancaisClick() {
    MNU_Fancais->setChecked(true);
    SetLanguageIndex(0);
    UseLanguage(false);
}

void MainWindow::MNU_AnglaisClick() {
    MNU_Anglais->setChecked(true);
    SetLanguageIndex(1);
    UseLanguage(true);
}

void MainWindow::UseLanguage(bool english) {
    SwitchQtTranslations(*qtTexts_, !english);
    const std::vector<Text> lines = ApplyLanguage(
        env_, {this, components_}, english ? QStringLiteral("English") : QStringLiteral("Francais"));
    messages::SetTranslations(MessageEntries(lines));
    ShellTreeView->SetHomeCaption(messages::HomeFolder());
    Parameters->SetForbiddenText(messages::ForbiddenCharacters());
}

// --- File list -------------------------------------------------------------

void MainWindow::FillFileList(const QByteArray& folder) {
    if (EdFiltre->text().isEmpty()) {
        EdFiltre->setText(QStringLiteral("*.*"));
    }
    Controller->listFolder(folder, EdFiltre->text());
}

void MainWindow::ShellTreeViewChange() {
    FillFileList(ShellTreeView->CurrentFolder());
}

void MainWindow::OpenFileOfRow(int row) {
    if (const TProjectFile* file = FileList->RecordOfRow(row)) {
        Desktop().OpenUrl(
            QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(EncodeName(file->FullPath())))));
    }
}

// --- Shell commands ------------------------------------------------------------

void MainWindow::MNU_QUITClick() {
    close();
}

void MainWindow::MNU_HelpClick() {
    const QString page = env_.DataFile(QStringLiteral("Help/Help.htm"));
    if (!Desktop().OpenUrl(QUrl::fromLocalFile(page))) {
        Desktop().ShowPage(this, page);
    }
}

void MainWindow::MNU_ABOUTClick() {
    if (auto* about = qobject_cast<QDialog*>(aboutBox_)) {
        about->exec();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (Script->IsModified()) {
        switch (Desktop().AskToSave(this, messages::SaveChanges())) {
        case DesktopServices::SaveAnswer::Cancel:
            event->ignore();
            return;
        case DesktopServices::SaveAnswer::Save:
            MNU_SAVEClick();
            if (Script->IsModified()) { // not saved after all
                event->ignore();
                return;
            }
            break;
        case DesktopServices::SaveAnswer::Discard:
            break;
        }
    }
    FormClose();
    event->accept();
}

void MainWindow::FormClose() {
    try {
        SaveFormControlPos->SaveControlPositions();
        IniFile(env_.settingsFile.toStdString()).WriteInteger("OPTIONS", "LANGUAGE", LanguageIndex());
        if (settings_) {
            settings_->Commit();
        }
    } catch (const FileError& e) {
        // The window closes anyway: a settings file that cannot be written must not
        // keep the user in a window that cannot be closed.
        Desktop().ShowError(this, QString::fromUtf8(e.what()));
    }
    settings_.reset(); // from now on the file is read and written as it stands
}

} // namespace quorvel
