#include "shell/main_window.hpp"

#include "bridge/qt_text.hpp"
#include "browser/file_grid.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "browser/folder_tree.hpp"
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/parameter_panel.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "engine/codec.hpp"
#include "engine/errors.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/error_texts.hpp"
#include "look/dock_layout.hpp"
#include "look/menu_images.hpp"
#include "look/menu_look.hpp"
#include "look/splitter.hpp"
#include "look/t_panel.hpp"
#include "look/wrap_check_box.hpp"
#include "settings/ini_file.hpp"
#include "settings/language.hpp"
#include "settings/save_form_control_pos.hpp"
#include "shell/desktop.hpp"
#include "shell/help_window.hpp"
#include "shell/messages.hpp"
#include "shell/registration.hpp"
#include "shell/rename_controller.hpp"
#include "shell/run_progress.hpp"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>
#include <QTranslator>

namespace quorvel {

namespace {

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
    ConnectViews();
    ConnectKeys();
    InstallMenuLook(*this);
    // The window comes back with its last size and state, centred on the screen.
    // The controls whose places are kept: all but the status bar, which the window
    // always places itself.
    positions_ = Own(new TSaveFormControlPos(this, env_.settingsFile,
                                             [this] {
                                                 std::vector<QObject*> kept = components_;
                                                 std::erase(kept, static_cast<QObject*>(statusBar()));
                                                 return kept;
                                             }),
                     "SaveFormControlPos");
    positions_->Loaded();
    CentreOnPrimaryScreen(*this);
    FormCreate();
}

MainWindow::~MainWindow() {
    MemoExemple->SetSource(nullptr); // the controller goes first
}

QObject* MainWindow::FindComponent(const QString& name) const {
    if (name == QLatin1String("MNU_Effacer")) {
        return Action_Effacer;
    }
    if (name == QLatin1String("MNU_Executer")) {
        return Action_Executer;
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
    controller_ = new RenameController(this);
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* clientLayout = new DockLayout(client);

    // Controls are created in the window's owning order.
    auto* Splitter3 = Own(new TSplitter(client, false), "Splitter3");
    auto* Panel1 = Own(PlainPanel(client, TBevelCut::bvNone), "Panel1");
    auto* panel1Layout = new DockLayout(Panel1);
    auto* Splitter1 = Own(new TSplitter(Panel1, true), "Splitter1");
    ShellTreeView = Own(new TFolderTree(Panel1), "ShellTreeView");

    auto* PanelVOIR = Own(new T_Panel(Panel1), "PanelVOIR");
    PanelVOIR->SetBevelOuter(TBevelCut::bvLowered);
    auto* Label1 = Own(new QLabel(QStringLiteral("Filtre :"), PanelVOIR), "Label1");
    Label1->move(8, 8);
    auto* BtnVoir = Own(new QToolButton(PanelVOIR), "BtnVoir");
    BtnVoir->setGeometry(43, 250, 97, 25);
    BtnVoir->setAutoRaise(true);
    BtnVoir->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* LabExemple = Own(new QLabel(QStringLiteral("Exemple :"), PanelVOIR), "LabExemple");
    LabExemple->move(10, 66);
    EdFiltre = Own(new QLineEdit(QStringLiteral("*.*"), PanelVOIR), "EdFiltre");
    EdFiltre->setGeometry(8, 24, 121, 24);
    // Under the filter, what the listing shows besides the files of the folder
    // (placed with "Exemple :" by PlaceFilterPanel).
    CheckSousDossiers =
        Own(new TWrapCheckBox(QStringLiteral("Sous-dossiers"), PanelVOIR), "CheckSousDossiers");
    CheckDossiers =
        Own(new TWrapCheckBox(QStringLiteral("Renommer aussi les dossiers"), PanelVOIR), "CheckDossiers");
    MemoExemple = Own(new TExampleList(PanelVOIR), "MemoExemple");
    MemoExemple->setGeometry(9, 82, 153, 159);
    StringGridFiles =
        Own(new TFileGrid(controller_->Files(), controller_->Selection().Rows(), Panel1), "StringGridFiles");

    auto* Panel2 = Own(PlainPanel(client, TBevelCut::bvLowered), "Panel2");
    auto* panel2Layout = new DockLayout(Panel2);
    panel2Layout->setContentsMargins(1, 1, 1, 1);
    auto* Splitter2 = Own(new TSplitter(Panel2, true), "Splitter2");
    TreeViewCommande = Own(new TCommandTree(Panel2), "TreeViewCommande");
    auto* Panel4 = Own(PlainPanel(Panel2, TBevelCut::bvNone), "Panel4");
    auto* panel4Layout = new DockLayout(Panel4);
    HTMLViewer = Own(new TScriptView(Panel4), "HTMLViewer");
    auto* PanelBAS = Own(new T_Panel(Panel4), "PanelBAS");
    PanelBAS->SetBevelOuter(TBevelCut::bvNone);
    auto* BtnOk = Own(new QToolButton(PanelBAS), "BtnOk");
    BtnOk->setText(QStringLiteral("&OK"));
    BtnOk->setGeometry(41, 198, 97, 33);
    BtnOk->setAutoRaise(true);
    BtnOk->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BtnOk->hide();
    // The five boxes share one place, EdInteger's; one at most is shown.
    auto* EdString = Own(new QLineEdit(QStringLiteral("Entrer une chaine"), PanelBAS), "EdString");
    EdString->setGeometry(19, 16, 130, 24);
    EdString->hide();
    auto* EdInteger = Own(new TEditNumber(PanelBAS), "EdInteger");
    EdInteger->setText(QStringLiteral("Entrer un entier"));
    EdInteger->setGeometry(20, 16, 129, 24);
    EdInteger->hide();
    auto* EdNumber = Own(new QLineEdit(QStringLiteral("Entrer un nombre"), PanelBAS), "EdNumber");
    EdNumber->setGeometry(20, 16, 129, 24);
    EdNumber->hide();
    auto* EdPattern = Own(new QLineEdit(PanelBAS), "EdPattern");
    EdPattern->setGeometry(20, 16, 129, 24);
    EdPattern->hide();
    // Why the pattern typed does not compile, under its box.
    auto* LabPatternProblem = Own(new QLabel(PanelBAS), "LabPatternProblem");
    LabPatternProblem->setGeometry(20, 44, 129, 140);
    LabPatternProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabPatternProblem->hide();
    auto* EdTemplate = Own(new QLineEdit(PanelBAS), "EdTemplate");
    EdTemplate->setGeometry(20, 16, 129, 24);
    EdTemplate->hide();
    // Under the template box, its menu of tokens, then why the template cannot be read.
    auto* BtnTemplateTokens = Own(new QToolButton(PanelBAS), "BtnTemplateTokens");
    BtnTemplateTokens->setText(QStringLiteral("Insérer…"));
    BtnTemplateTokens->setGeometry(20, 44, 129, 24);
    BtnTemplateTokens->hide();
    auto* LabTemplateProblem = Own(new QLabel(PanelBAS), "LabTemplateProblem");
    LabTemplateProblem->setGeometry(20, 72, 129, 120);
    LabTemplateProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabTemplateProblem->hide();
    QStatusBar* StatusBar = Own(statusBar(), "StatusBar");
    RunStatus = new QLabel(StatusBar);
    RunStatus->setObjectName(QStringLiteral("RunStatus")); // named, but no place or text of its own is kept
    StatusBar->addWidget(RunStatus, 1);
    ListStatus = new QLabel(StatusBar);
    ListStatus->setObjectName(QStringLiteral("ListStatus")); // as RunStatus
    StatusBar->addWidget(ListStatus);
    parameters_ = new ParameterPanel({EdInteger, EdString, EdNumber, EdPattern, LabPatternProblem, BtnOk,
                                      EdTemplate, BtnTemplateTokens, LabTemplateProblem},
                                     this);

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

    // File grid: the window's font, rows of two lines.
    StringGridFiles->setFont(font());
    StringGridFiles->verticalHeader()->setDefaultSectionSize(StringGridFiles->DataRowHeight());

    // Command tree: bold (on sky blue, ApplyColours).
    TreeViewCommande->setFont(WindowFont(true));
    TreeViewCommande->setFrameShape(QFrame::NoFrame);

    // Script view: Verdana 12 points, margins 10 and 5 (on sky blue with blue links, ApplyColours).
    HTMLViewer->setFrameShape(QFrame::NoFrame);
    HTMLViewer->document()->setDocumentMargin(0);
    QFont viewFont(font().family());
    viewFont.setPointSize(12);
    HTMLViewer->document()->setDefaultFont(viewFont);
    HTMLViewer->setContextMenuPolicy(Qt::CustomContextMenu);

    // Actions, each shown by a button, a menu item or both.
    Action_VoirExemple = Own(new QAction(QStringLiteral("Voir"), this), "Action_VoirExemple");
    Action_VoirExemple->setIcon(PreviewButtonImage());
    Action_Effacer = Own(new QAction(QStringLiteral("Effacer"), this), "Action_Effacer");
    Action_Effacer->setIcon(MenuImage(3));
    Action_Executer = Own(new QAction(QStringLiteral("Executer"), this), "Action_Executer");
    Action_Executer->setIcon(MenuImage(4));
    BtnVoir->setDefaultAction(Action_VoirExemple);
    BtnOk->setIcon(OkButtonImage());
    ApplyColours();
}

void MainWindow::CreateMenus() {
    QMenuBar* bar = menuBar();
    QMenu* MNU_File = Own(bar->addMenu(QStringLiteral("&Fichier")), "MNU_File");
    QAction* MNU_OPEN = Own(MNU_File->addAction(MenuImage(0), QStringLiteral("Ouvrir")), "MNU_OPEN");
    Own(MNU_File->addSeparator(), "N3");
    QAction* MNU_SAVE = Own(MNU_File->addAction(MenuImage(1), QStringLiteral("Enregistrer")), "MNU_SAVE");
    QAction* MNU_SAVEAS =
        Own(MNU_File->addAction(MenuImage(1), QStringLiteral("Enregistrer sous...")), "MNU_SAVEAS");
    Own(MNU_File->addSeparator(), "N4");
    MNU_UNDO = Own(MNU_File->addAction(messages::UndoCaption()), "MNU_UNDO");
    MNU_UNDO->setShortcut(QKeySequence::Undo);
    MNU_UNDO->setEnabled(false);
    MNU_File->addAction(Action_VoirExemple); // the same actions as the button and the pop-up
    MNU_File->addAction(Action_Executer);
    Own(MNU_File->addSeparator(), "N2");
    QAction* MNU_QUIT = Own(MNU_File->addAction(MenuImage(2), QStringLiteral("&Quitter")), "MNU_QUIT");

    QMenu* MNU_Affichage = Own(bar->addMenu(QStringLiteral("&Affichage")), "MNU_Affichage");
    auto* keys = new QActionGroup(this);
    const std::pair<const char*, const char*> sortItems[] = {{"MNU_SortName", "Trier par nom"},
                                                             {"MNU_SortSize", "par taille"},
                                                             {"MNU_SortModified", "par date de modification"},
                                                             {"MNU_SortTaken", "par date de prise de vue"}};
    for (std::size_t k = 0; k < sortBy_.size(); ++k) {
        sortBy_[k] =
            Own(MNU_Affichage->addAction(QString::fromUtf8(sortItems[k].second)), sortItems[k].first);
        sortBy_[k]->setCheckable(true);
        keys->addAction(sortBy_[k]);
        connect(sortBy_[k], &QAction::triggered, this, [this] { controller_->arrange(ChosenOrder()); });
    }
    sortBy_[0]->setChecked(true);
    Own(MNU_Affichage->addSeparator(), "N5");
    MNU_Reverse = Own(MNU_Affichage->addAction(QStringLiteral("Ordre inverse")), "MNU_Reverse");
    MNU_Reverse->setCheckable(true);
    connect(MNU_Reverse, &QAction::triggered, this, [this] { controller_->arrange(ChosenOrder()); });

    QMenu* MNU_Langage = Own(bar->addMenu(QStringLiteral("Langage")), "MNU_Langage");
    auto* languages = new QActionGroup(this);
    MNU_Fancais = Own(MNU_Langage->addAction(QStringLiteral("Français")), "MNU_Fancais");
    MNU_Anglais = Own(MNU_Langage->addAction(QStringLiteral("Anglais")), "MNU_Anglais");
    for (QAction* item : {MNU_Fancais, MNU_Anglais}) {
        item->setCheckable(true);
        languages->addAction(item);
    }
    MNU_Fancais->setChecked(true);

    QMenu* MNU_AoutHelp = Own(bar->addMenu(QStringLiteral("?")), "MNU_AoutHelp");
    QAction* MNU_Help = Own(MNU_AoutHelp->addAction(MenuImage(6), QStringLiteral("Aide")), "MNU_Help");
    QAction* MNU_ABOUT = Own(MNU_AoutHelp->addAction(MenuImage(5), QStringLiteral("A propos")), "MNU_ABOUT");

    PopupMenu = Own(new QMenu(this), "PopupMenu");
    // The pop-up's items are the actions themselves (MNU_Effacer, MNU_Executer).
    PopupMenu->addAction(Action_Effacer);
    QAction* MNU_ClearAll =
        Own(PopupMenu->addAction(MenuImage(3), QStringLiteral("Tout effacer")), "MNU_ClearAll");
    Own(PopupMenu->addSeparator(), "N1");
    PopupMenu->addAction(Action_Executer);

    connect(MNU_OPEN, &QAction::triggered, this, &MainWindow::OpenScript);
    connect(MNU_SAVE, &QAction::triggered, this, &MainWindow::SaveScript);
    connect(MNU_SAVEAS, &QAction::triggered, this, &MainWindow::SaveScriptAs);
    connect(MNU_UNDO, &QAction::triggered, controller_, &RenameController::undo);
    connect(MNU_QUIT, &QAction::triggered, this, &QWidget::close);
    connect(MNU_Fancais, &QAction::triggered, this, [this] { ChooseLanguage(false); });
    connect(MNU_Anglais, &QAction::triggered, this, [this] { ChooseLanguage(true); });
    connect(MNU_Help, &QAction::triggered, this, &MainWindow::ShowHelp);
    connect(MNU_ABOUT, &QAction::triggered, this, &MainWindow::ShowAbout);
    connect(MNU_ClearAll, &QAction::triggered, &controller_->Script(), &ScriptDocument::Clear);
}

void MainWindow::ConnectViews() {
    RenameController* c = controller_;
    c->confirm = [this](const QString& title, const QString& question) {
        return Desktop().Confirm(this, title, question);
    };
    c->startProgress = [this](const QString& label) { return RunProgress::Start(this, label); };
    connect(c, &RenameController::stateChanged, this, &MainWindow::RefreshActions);
    connect(c, &RenameController::ran, this, &MainWindow::ReportRun);
    connect(c, &RenameController::message, this,
            [this](const QString& text) { Desktop().ShowMessage(this, text); });
    connect(c, &RenameController::error, this,
            [this](const QString& text) { Desktop().ShowError(this, text); });
    connect(c, &RenameController::folderChanged, this, [this] {
        lastRun_.reset();
        ShowRunStatus();
    });
    connect(c, &RenameController::listed, this, &MainWindow::ShowListStatus);
    // Files handed over show their folder in the tree, once they are listed.
    connect(c, &RenameController::listed, this, &MainWindow::ShowGivenFolder);

    // The folder and its files.
    connect(ShellTreeView, &TFolderTree::FolderChanged, this, &MainWindow::ListSelectedFolder);
    connect(EdFiltre, &QLineEdit::returnPressed, this, &MainWindow::ListSelectedFolder);
    connect(CheckSousDossiers, &QCheckBox::toggled, this, &MainWindow::ChangeScope);
    connect(CheckDossiers, &QCheckBox::toggled, this, &MainWindow::ChangeScope);
    FileSelection& selection = c->Selection();
    connect(&selection, &FileSelection::changed, StringGridFiles->viewport(), qOverload<>(&QWidget::update));
    connect(StringGridFiles, &TFileGrid::pressed, c, &RenameController::pressRow);
    connect(StringGridFiles, &TFileGrid::currentRowChanged, &selection, &FileSelection::SetAnchorRow);
    connect(StringGridFiles, &TFileGrid::selectAllRequested, c, &RenameController::selectAll);
    connect(StringGridFiles, &TFileGrid::openRequested, this, &MainWindow::OpenFileOfRow);
    // Files dropped are listed once the drop is over: the file manager that dragged
    // them is not kept waiting by a message.
    connect(StringGridFiles, &TFileGrid::filesDropped, this, [this](const std::vector<std::string>& paths) {
        QMetaObject::invokeMethod(
            this, [this, paths] { OpenFiles(paths); }, Qt::QueuedConnection);
    });

    // The preview.
    MemoExemple->SetSource(c);
    connect(c, &RenameController::previewed, MemoExemple, &TExampleList::SetLines);
    connect(c, &RenameController::previewMarked, MemoExemple, &TExampleList::SetMarks);
    connect(c, &RenameController::previewFailed, MemoExemple, &TExampleList::SetProblem);
    connect(Action_VoirExemple, &QAction::triggered, c, [c] { c->preview(PreviewMode::Interactive); });
    connect(Action_Executer, &QAction::triggered, c, [c] { c->run(RunMode::Confirm); });

    // The script: commands dropped and removed, placeholders clicked, values entered.
    ScriptDocument& script = c->Script();
    HTMLViewer->SetScript(&script);
    connect(HTMLViewer, &TScriptView::commandDropped, &script, [this, &script](int number) {
        if (std::optional<Text> line = TreeViewCommande->ScriptLineOf(number)) {
            script.Append(std::move(*line));
        }
    });
    connect(HTMLViewer, &QWidget::customContextMenuRequested, PopupMenu,
            [this](const QPoint& pos) { PopupMenu->popup(HTMLViewer->viewport()->mapToGlobal(pos)); });
    connect(Action_Effacer, &QAction::triggered, c, &RenameController::removeClickedLine);
    connect(HTMLViewer, &TScriptView::placeholderClicked, c, &RenameController::clickPlaceholder);
    connect(c, &RenameController::placeholderChosen, HTMLViewer,
            [this](PlaceholderKind, const QString&, int line, int slot) {
                HTMLViewer->SelectPlaceholder(line, slot);
            });
    connect(c, &RenameController::placeholderChosen, parameters_, &ParameterPanel::Open);
    connect(c, &RenameController::placeholderOfNoKind, parameters_, &ParameterPanel::HideButton);
    connect(parameters_, &ParameterPanel::valueEntered, c, &RenameController::enterValue);
    connect(c, &RenameController::valueAccepted, parameters_, &ParameterPanel::Close);
}

void MainWindow::FormCreate() {
    firstActivation_ = true;
    RegisterScriptFileType(env_.programPath);
    controller_->Selection().SetAnchorRow(-1);
    const IniFile settings(env_.settingsFile.toStdString());
    const std::int32_t language = settings.ReadInteger("OPTIONS", "LANGUAGE", LanguageIndex());
    {
        // What the last session listed, before the first folder is.
        const QSignalBlocker subFolders(CheckSousDossiers);
        const QSignalBlocker folders(CheckDossiers);
        CheckSousDossiers->setChecked(settings.ReadInteger("OPTIONS", "SUBFOLDERS", 0) == 1);
        CheckDossiers->setChecked(settings.ReadInteger("OPTIONS", "FOLDERS", 0) == 1);
        controller_->SetScope({CheckSousDossiers->isChecked(), CheckDossiers->isChecked()});
    }
    SetLanguageIndex(static_cast<std::uint8_t>(language & 0xFF));
    (LanguageIndex() == 1 ? MNU_Anglais : MNU_Fancais)->setChecked(true);
    UseLanguage(LanguageIndex() == 1);
    RefreshActions();
    // The home folder is selected at start, which lists its files; files given
    // on the command line are listed instead once the window is up.
    if (env_.givenFiles.empty()) {
        ShellTreeView->SelectPath(QFile::encodeName(QDir::homePath()));
    }
}

void MainWindow::ChooseLanguage(bool english) {
    (english ? MNU_Anglais : MNU_Fancais)->setChecked(true);
    SetLanguageIndex(english ? 1 : 0);
    UseLanguage(english);
    if (help_ != nullptr && help_->isVisible()) {
        help_->ShowPage(HelpPage(env_, english)); // the help follows the language shown
    }
}

void MainWindow::UseLanguage(bool english) {
    SwitchQtTranslations(*qtTexts_, !english);
    const std::vector<Text> lines = ApplyLanguage(
        env_, {this, components_}, english ? QStringLiteral("English") : QStringLiteral("Francais"));
    messages::SetTranslations(MessageEntries(lines));
    parameters_->SetProblemText([](const PatternProblem& problem) {
        return messages::InvalidPattern(QString::fromStdString(problem.message), problem.position);
    });
    // The run's messages and the engine's errors, from the catalogues.
    SetMessageLanguage(english ? MessageLanguage::English : MessageLanguage::French);
    parameters_->SetTemplateProblemText(
        [](const TemplateProblem& problem) { return QString::fromUtf8(TemplateProblemText(problem)); });
    ShellTreeView->SetHomeCaption(messages::HomeFolder());
    PlaceFilterPanel(); // the captions of the check boxes are those of the language now
    // What is shown in words is said again in the new language: the sizes in the
    // grid, the status line, and the preview's marks and errors.
    StringGridFiles->viewport()->update();
    ShowRunStatus();
    ShowListStatus();
    controller_->languageChanged();
    NameControls();
}

// --- File list -------------------------------------------------------------

void MainWindow::OpenFiles(const std::vector<std::string>& paths) {
    controller_->listFiles(paths);
}

void MainWindow::ShowGivenFolder() {
    if (controller_->Mode() != ListingMode::GivenFiles || controller_->Folder().Empty()) {
        return;
    }
    const QByteArray folder = QByteArray::fromStdString(controller_->Folder().AbsoluteWithoutSlash().Bytes());
    if (ShellTreeView->CurrentFolder() != folder) {
        const QScopedValueRollback showing(showingGivenFolder_, true);
        ShellTreeView->SelectPath(folder);
    }
}

void MainWindow::ListSelectedFolder() {
    if (showingGivenFolder_) {
        return; // the files given are listed already
    }
    // The files given are listed again while their folder stays the one chosen
    // (its tree read again, the filter or the scope changed); another folder
    // chosen lists folders again.
    if (controller_->Mode() == ListingMode::GivenFiles &&
        ShellTreeView->CurrentFolder().toStdString() ==
            controller_->Folder().AbsoluteWithoutSlash().Bytes()) {
        controller_->relist();
        return;
    }
    if (EdFiltre->text().isEmpty()) {
        EdFiltre->setText(QStringLiteral("*.*"));
    }
    controller_->listFolder(ShellTreeView->CurrentFolder(), EdFiltre->text());
}

void MainWindow::ChangeScope() {
    controller_->SetScope({CheckSousDossiers->isChecked(), CheckDossiers->isChecked()});
    ListSelectedFolder();
}

void MainWindow::PlaceFilterPanel() {
    constexpr int kLeft = 8;
    constexpr int kWidth = 155;
    constexpr int kListBottom = 241; // above "Voir"
    int top = EdFiltre->geometry().bottom() + 4;
    for (QCheckBox* box : {CheckSousDossiers, CheckDossiers}) {
        const int height = box->heightForWidth(kWidth);
        box->setGeometry(kLeft, top, kWidth, height);
        top += height;
    }
    auto* LabExemple = qobject_cast<QLabel*>(FindComponent(QStringLiteral("LabExemple")));
    LabExemple->move(10, top + 2);
    top += 2 + LabExemple->sizeHint().height();
    MemoExemple->setGeometry(9, top, 153, std::max(kListBottom - top, 40));
}

void MainWindow::ShowListStatus() {
    const std::vector<UnreadableFolder>& unreadable = controller_->Unreadable();
    if (unreadable.empty()) {
        ListStatus->clear();
        ListStatus->setToolTip({});
        return;
    }
    ListStatus->setText(messages::UnreadableFolders(unreadable.size()));
    // Which folders and why, escaped as the failures of a run are.
    QStringList lines;
    for (const UnreadableFolder& folder : unreadable) {
        lines.push_back(QString::fromUtf8(FolderUnreadableText(folder.relative, folder.error)));
    }
    ListStatus->setToolTip(QStringLiteral("<p style=\"white-space:pre\">") +
                           lines.join(QLatin1Char('\n')).toHtmlEscaped() + QStringLiteral("</p>"));
}

void MainWindow::OpenFileOfRow(int row) {
    if (const TProjectFile* file = controller_->Files().RecordOfRow(row)) {
        Desktop().OpenUrl(
            QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(EncodeName(file->FullPath())))));
    }
}

// --- Shell commands ------------------------------------------------------------

void MainWindow::ShowHelp() {
    // The program's own window, never the desktop's browser; a missing page shows nothing.
    const QString page = HelpPage(env_, LanguageIndex() == 1);
    if (!QFileInfo::exists(page)) {
        return;
    }
    if (help_ == nullptr) {
        help_ = new THelpWindow(this);
    }
    help_->ShowPage(page);
}

void MainWindow::ShowAbout() {
    if (auto* about = qobject_cast<QDialog*>(aboutBox_)) {
        about->setWindowTitle(messages::AboutTitle());
        about->exec();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!SettleChangedScript()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void MainWindow::FormClose() {
    try {
        positions_->SaveControlPositions();
        const IniFile settings(env_.settingsFile.toStdString());
        settings.WriteInteger("OPTIONS", "LANGUAGE", LanguageIndex());
        settings.WriteInteger("OPTIONS", "SUBFOLDERS", CheckSousDossiers->isChecked() ? 1 : 0);
        settings.WriteInteger("OPTIONS", "FOLDERS", CheckDossiers->isChecked() ? 1 : 0);
        if (settings_) {
            settings_->Commit();
        }
    } catch (const FileError& e) {
        // The window closes anyway: a settings file that cannot be written must not
        // keep the user in a window that cannot be closed.
        Desktop().ShowError(this, QString::fromUtf8(FileErrorText(e)));
    }
    settings_.reset(); // from now on the file is read and written as it stands
}

} // namespace quorvel
