#include "browser/file_grid.hpp"
#include "browser/file_selection.hpp"
#include "browser/folder_tree.hpp"
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "engine/catalogue.hpp"
#include "engine/codec.hpp"
#include "look/splitter.hpp"
#include "look/t_panel.hpp"
#include "settings/ini_file.hpp"
#include "shell/messages.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>

namespace quorvel::test {
namespace {

using Window = MainWindowTest;

TEST_F(Window, HasEveryControlInItsOwningOrderWithItsParentAndPlace) {
    MainWindow& w = Start();
    const QStringList controls = {
        "Splitter3",       "Panel1",     "Splitter1", "ShellTreeView",     "PanelVOIR",     "Label1",
        "BtnVoir",         "LabExemple", "EdFiltre",  "CheckSousDossiers", "CheckDossiers", "MemoExemple",
        "StringGridFiles", "Panel2",     "Splitter2", "TreeViewCommande",  "Panel4",        "HTMLViewer",
        "PanelBAS",        "BtnOk",      "EdString",  "EdInteger",         "EdNumber"};
    QStringList widgets;
    for (QObject* c : w.Components()) {
        if (c->isWidgetType() && qobject_cast<QWidget*>(c)->parentWidget() != nullptr &&
            !qobject_cast<QMenu*>(c)) {
            widgets.push_back(c->objectName());
        }
    }
    EXPECT_EQ(widgets.mid(0, controls.size()), controls);

    // Every control once under its name, with its class.
    const auto control = [&](const char* name) { return Get<QWidget>(name); };
    EXPECT_NE(Get<TSplitter>("Splitter3"), nullptr);
    EXPECT_NE(Get<TFolderTree>("ShellTreeView"), nullptr);
    EXPECT_NE(Get<TExampleList>("MemoExemple"), nullptr);
    EXPECT_NE(Get<TFileGrid>("StringGridFiles"), nullptr);
    EXPECT_NE(Get<TCommandTree>("TreeViewCommande"), nullptr);
    EXPECT_NE(Get<TScriptView>("HTMLViewer"), nullptr);
    EXPECT_NE(Get<T_Panel>("PanelVOIR"), nullptr);
    EXPECT_NE(Get<T_Panel>("PanelBAS"), nullptr);
    EXPECT_NE(Get<TEditNumber>("EdInteger"), nullptr);
    EXPECT_EQ(w.FindComponent("StringGridFiles"), control("StringGridFiles"));
    EXPECT_EQ(w.FindComponent("nothing"), nullptr);

    struct Placement {
        const char* control;
        const char* parent;
    };
    for (const Placement& p :
         {Placement{"ShellTreeView", "Panel1"}, Placement{"Splitter1", "Panel1"},
          Placement{"StringGridFiles", "Panel1"}, Placement{"PanelVOIR", "Panel1"},
          Placement{"EdFiltre", "PanelVOIR"}, Placement{"CheckSousDossiers", "PanelVOIR"},
          Placement{"CheckDossiers", "PanelVOIR"}, Placement{"MemoExemple", "PanelVOIR"},
          Placement{"BtnVoir", "PanelVOIR"}, Placement{"TreeViewCommande", "Panel2"},
          Placement{"Panel4", "Panel2"}, Placement{"HTMLViewer", "Panel4"}, Placement{"PanelBAS", "Panel4"},
          Placement{"BtnOk", "PanelBAS"}, Placement{"EdInteger", "PanelBAS"}}) {
        EXPECT_EQ(control(p.control)->parentWidget(), control(p.parent)) << p.control;
    }
    EXPECT_EQ(control("Panel1")->height(), 281);
    EXPECT_EQ(control("Splitter3")->height(), 3);
    EXPECT_EQ(control("Splitter3")->y(), 281);
    EXPECT_EQ(control("ShellTreeView")->width(), 233);
    EXPECT_EQ(control("Splitter1")->geometry(), QRect(233, 0, 4, 281));
    EXPECT_EQ(control("PanelVOIR")->width(), 168);
    EXPECT_EQ(control("PanelVOIR")->x(), control("Panel1")->width() - 168);
    EXPECT_EQ(control("EdFiltre")->geometry(), QRect(8, 24, 121, 24));
    // "Exemple :" and its list under the check boxes, the list down to where it always ended.
    EXPECT_EQ(control("MemoExemple")->x(), 9);
    EXPECT_EQ(control("MemoExemple")->width(), 153);
    EXPECT_EQ(control("MemoExemple")->geometry().bottom(), 82 + 159 - 1);
    EXPECT_GT(control("MemoExemple")->y(), control("CheckDossiers")->geometry().bottom());
    EXPECT_EQ(control("BtnVoir")->geometry(), QRect(43, 250, 97, 25));
    EXPECT_EQ(control("TreeViewCommande")->geometry().left(), 1);
    EXPECT_EQ(control("TreeViewCommande")->width(), 233);
    EXPECT_EQ(control("Splitter2")->x(), 234);
    EXPECT_EQ(control("PanelBAS")->width(), 166);
    // The three parameter boxes share one place.
    EXPECT_EQ(control("EdString")->y(), 16);
    EXPECT_EQ(control("EdNumber")->y(), 16);
    EXPECT_EQ(control("EdInteger")->y(), 16);
    EXPECT_TRUE(control("EdInteger")->isHidden() && control("EdString")->isHidden() &&
                control("EdNumber")->isHidden() && control("BtnOk")->isHidden());
    EXPECT_EQ(Get<QLineEdit>("EdFiltre")->text(), "*.*");
    EXPECT_EQ(w.windowTitle(), "Quorvel");
    EXPECT_EQ(Get<QLabel>("Label1")->text(), "Filtre :");
    EXPECT_EQ(Get<QLabel>("LabExemple")->text(), "Exemple :");
    EXPECT_EQ(Get<QAction>("Action_VoirExemple")->text(), "Voir");
    EXPECT_EQ(Get<QToolButton>("BtnVoir")->text(), "Voir");
}

TEST_F(Window, MenusCarryTheirItems) {
    MainWindow& w = Start();
    auto captions = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) {
            out.push_back(a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return out;
    };
    auto* file = Get<QMenu>("MNU_File");
    EXPECT_EQ(file->title(), "&Fichier");
    EXPECT_EQ(captions(file),
              QStringList({"Ouvrir", "-", "Enregistrer", "Enregistrer sous...", "-",
                           "Annuler le dernier renommage", "Voir", "Executer", "-", "&Quitter"}));
    EXPECT_EQ(file->actions()[0], Get<QAction>("MNU_OPEN"));
    // "Voir" and "Executer" are the actions of the button and the pop-up, not copies.
    EXPECT_EQ(file->actions()[6], Get<QAction>("Action_VoirExemple"));
    EXPECT_EQ(file->actions()[7], Get<QAction>("Action_Executer"));
    EXPECT_EQ(Get<QMenu>("MNU_Affichage")->title(), "&Affichage");
    EXPECT_EQ(captions(Get<QMenu>("MNU_Affichage")),
              QStringList({"Trier par nom", "par taille", "par date de modification",
                           "par date de prise de vue", "-", "Ordre inverse"}));
    EXPECT_TRUE(Get<QAction>("MNU_SortName")->isChecked());
    EXPECT_EQ(Get<QMenu>("MNU_Langage")->title(), "Langage");
    EXPECT_EQ(captions(Get<QMenu>("MNU_Langage")), QStringList({"Français", "Anglais"}));
    EXPECT_EQ(Get<QMenu>("MNU_AoutHelp")->title(), "?");
    EXPECT_EQ(captions(Get<QMenu>("MNU_AoutHelp")), QStringList({"Aide", "A propos"}));
    auto* popup = Get<QMenu>("PopupMenu");
    EXPECT_EQ(captions(popup), QStringList({"Effacer", "Tout effacer", "-", "Executer"}));
    // Each action is made once: the pop-up shows the actions themselves, found
    // under the pop-up items' names too.
    EXPECT_EQ(popup->actions()[0], Get<QAction>("Action_Effacer"));
    EXPECT_EQ(popup->actions()[3], Get<QAction>("Action_Executer"));
    EXPECT_EQ(w.FindComponent("MNU_Effacer"), Get<QAction>("Action_Effacer"));
    EXPECT_EQ(w.FindComponent("MNU_Executer"), Get<QAction>("Action_Executer"));
    EXPECT_EQ(Get<QToolButton>("BtnVoir")->defaultAction(), Get<QAction>("Action_VoirExemple"));
    EXPECT_TRUE(Get<QAction>("MNU_Fancais")->isChecked());
    EXPECT_FALSE(Get<QAction>("MNU_Anglais")->isChecked());
}

// "Affichage" orders the grid, and so the numbering; the selected files stay
// selected, and the order holds for the next folder listed.
TEST_F(Window, TheViewMenuOrdersTheFilesAndTheirNumbers) {
    folder_.Write("a.txt", "three");
    folder_.Write("b.txt", "a");
    folder_.Write("c.txt", "xx");
    Start();
    ListFolder();
    Click(1); // a.txt
    Controller().Script().Load({DecodeName("19|Ajouter [Numéro=1] au début")});
    const auto names = [this] {
        QStringList out;
        for (const TProjectFile& file : Controller().Files().Files()) {
            out.push_back(QString::fromStdString(file.NameBytes()));
        }
        return out;
    };
    Get<QAction>("MNU_SortSize")->trigger();
    EXPECT_EQ(names(), QStringList({"b.txt", "c.txt", "a.txt"}));
    EXPECT_EQ(Controller().Selection().Indexes(3), std::vector<std::size_t>({2})) << "a.txt stays selected";
    Get<QAction>("MNU_Reverse")->trigger();
    EXPECT_EQ(names(), QStringList({"a.txt", "c.txt", "b.txt"}));
    EXPECT_TRUE(Get<QAction>("MNU_SortSize")->isChecked());
    Controller().selectAll();
    Controller().preview(PreviewMode::Silent);
    EXPECT_EQ(Controller().PreviewedName(0), QStringLiteral("1a.txt"));
    EXPECT_EQ(Controller().PreviewedName(2), QStringLiteral("3b.txt"));
    ListFolder();
    EXPECT_EQ(names(), QStringList({"a.txt", "c.txt", "b.txt"})) << "listed again in the same order";
    Get<QAction>("MNU_SortName")->trigger();
    Get<QAction>("MNU_Reverse")->trigger();
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
}

TEST_F(Window, CommandTreeHoldsTheCatalogue) {
    Start();
    auto* tree = Get<TCommandTree>("TreeViewCommande");
    ASSERT_EQ(tree->topLevelItemCount(), 7);
    int number = 0;
    for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = tree->topLevelItem(g);
        EXPECT_EQ(group->text(0).toStdString(),
                  EncodeName(CommandNodes()[static_cast<std::size_t>(number)].caption));
        ++number;
        for (int c = 0; c < group->childCount(); ++c, ++number) {
            EXPECT_EQ(group->child(c)->text(0).toStdString(),
                      EncodeName(CommandNodes()[static_cast<std::size_t>(number)].caption));
        }
    }
    EXPECT_EQ(number, kCommandNodeCount);
    EXPECT_TRUE(tree->font().bold());
    // Every caption whole: the column takes the widest, the tree scrolls sideways.
    EXPECT_EQ(tree->textElideMode(), Qt::ElideNone);
    for (QTreeWidgetItem* node : tree->Nodes()) {
        const int needed = QFontMetrics(tree->font()).horizontalAdvance(node->text(0));
        EXPECT_GE(tree->columnWidth(0), needed) << node->text(0).toStdString();
    }
    EXPECT_EQ(VisibleName(QStringLiteral("a\nb\x7f")), QStringLiteral("a\u240Ab\u2421"));
}

TEST_F(Window, ListsTheFolderSortedWithTheGridLayout) {
    MakeFiles({"b.txt", "A.txt", "_x.txt", "c.jpg"});
    std::filesystem::create_directory(folder_ / "sub");
    Start();
    ListFolder();
    const TListFiles& files = Controller().Files().Files();
    ASSERT_EQ(files.Count(), 4U);
    EXPECT_EQ(EncodeName(files.Items(0).Name()), "A.txt");
    EXPECT_EQ(EncodeName(files.Items(1).Name()), "b.txt");
    EXPECT_EQ(EncodeName(files.Items(2).Name()), "c.jpg");
    EXPECT_EQ(EncodeName(files.Items(3).Name()), "_x.txt");
    auto* grid = Get<TFileGrid>("StringGridFiles");
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->columnWidth(0), 345);
    EXPECT_EQ(grid->horizontalHeader()->height(), 20);
    const int h = QFontMetrics(grid->font()).height();
    EXPECT_EQ(grid->rowHeight(0), 2 * h + 5);

    auto* filter = Get<QLineEdit>("EdFiltre");
    filter->setText("*.jpg");
    ListFolder();
    EXPECT_EQ(files.Count(), 1U);
    // An empty filter lists everything and shows "*.*" afterwards.
    filter->setText("");
    ListFolder();
    EXPECT_EQ(files.Count(), 4U);
    EXPECT_EQ(filter->text(), "*.*");
}

TEST_F(Window, EnterInTheFilterBoxRescansTheSelectedFolder) {
    MakeFiles({"a.txt", "b.jpg"});
    std::filesystem::create_directory(folder_ / "gone");
    folder_.Write("gone/c.txt", "c");
    Start();
    const FileListModel& files = Controller().Files();
    ASSERT_TRUE(Get<TFolderTree>("ShellTreeView")->SelectPath(QByteArray::fromStdString(folder_.path())));
    EXPECT_EQ(files.Count(), 2U);
    auto* filter = Get<QLineEdit>("EdFiltre");
    filter->setText("*.txt");
    EXPECT_EQ(files.Count(), 2U); // typing alone rescans nothing
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_EQ(files.Count(), 1U);
    // A folder gone since it was selected lists nothing, without a message.
    ListFolder(folder_ / "gone");
    EXPECT_EQ(files.Count(), 1U);
    std::filesystem::remove_all(folder_ / "gone");
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_EQ(files.Count(), 0U);
    EXPECT_EQ(Get<TFileGrid>("StringGridFiles")->RowCount(), 1);
    EXPECT_TRUE(desktop_.log.messages.isEmpty() && desktop_.log.errors.isEmpty());
}

TEST_F(Window, SelectionFollowsTheMouseRules) {
    MakeFiles({"1.txt", "2.txt", "3.txt", "4.txt", "5.txt", "6.txt"});
    Start();
    ListFolder();

    Click(1);
    Click(2, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2}));
    Click(3); // a plain click leaves only that row
    EXPECT_EQ(Selected(), std::vector<int>({3}));
    EXPECT_EQ(Controller().Selection().AnchorRow(), 3);

    Click(3, Qt::ControlModifier); // Ctrl toggles
    EXPECT_EQ(Selected(), std::vector<int>());
    Click(3, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>({3}));

    Click(2); // anchor 2
    Click(5, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::vector<int>({2, 3, 4, 5}));
    EXPECT_EQ(Controller().Selection().AnchorRow(), 2);
    Click(1, Qt::ShiftModifier); // toggles row 1 only
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5}));
    Click(2, Qt::ShiftModifier); // the anchor row: an empty range
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5}));

    Click(6, Qt::NoModifier, Qt::RightButton); // adds, becomes the current row
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Get<TFileGrid>("StringGridFiles")->CurrentRow(), 6);
    EXPECT_EQ(Controller().Selection().AnchorRow(), 6);
    Click(4, Qt::NoModifier, Qt::RightButton); // a selected row stays selected
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
    Click(4, Qt::ControlModifier, Qt::RightButton);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));

    Click(1, Qt::AltModifier); // Alt alone changes nothing
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
    QTest::mouseClick(Get<TFileGrid>("StringGridFiles")->viewport(), Qt::MiddleButton, Qt::NoModifier,
                      RowPoint(2));
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
}

TEST_F(Window, ShiftBeforeAnyAnchorStartsAtTheFirstRow) {
    MakeFiles({"1.txt", "2.txt", "3.txt"});
    Start();
    ListFolder();
    ASSERT_EQ(Controller().Selection().AnchorRow(), -1);
    // The grid getting the focus by Tab, or a click below the rows, sets no anchor.
    Get<QLineEdit>("EdFiltre")->setFocus();
    QTest::keyClick(Get<QLineEdit>("EdFiltre"), Qt::Key_Tab);
    Get<TFileGrid>("StringGridFiles")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(Get<TFileGrid>("StringGridFiles")->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, Get<TFileGrid>("StringGridFiles")->viewport()->height() - 2));
    EXPECT_EQ(Controller().Selection().AnchorRow(), -1);
    Click(2, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2}));
}

TEST_F(Window, HeaderAndEmptySpaceChangeNothing) {
    MakeFiles({"1.txt", "2.txt"});
    Start();
    ListFolder();
    Click(1);
    QTest::mouseClick(Get<TFileGrid>("StringGridFiles")->horizontalHeader()->viewport(), Qt::LeftButton,
                      Qt::NoModifier, QPoint(20, 10));
    EXPECT_EQ(Selected(), std::vector<int>({1}));
    QTest::mouseClick(Get<TFileGrid>("StringGridFiles")->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, Get<TFileGrid>("StringGridFiles")->viewport()->height() - 2));
    EXPECT_EQ(Selected(), std::vector<int>({1}));
}

TEST_F(Window, CtrlASelectsEveryRow) {
    Start();
    ListFolder();
    QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>());
    MakeFiles({"1.txt", "2.txt", "3.txt", "4.txt"});
    ListFolder();
    QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4}));
    ListFolder(); // a rescan empties the selection
    EXPECT_EQ(Selected(), std::vector<int>());
}

TEST_F(Window, SelectedRowsAreDrawnInTwoBlues) {
    MakeFiles({"1.txt", "2.txt", "3.txt"});
    Start();
    ListFolder();
    Click(1);
    Click(2, Qt::ControlModifier); // row 2 is the grid's current cell
    const QImage image = Get<TFileGrid>("StringGridFiles")->viewport()->grab().toImage();
    auto colourAt = [&](int row) {
        const QRect r = Get<TFileGrid>("StringGridFiles")
                            ->visualRect(Get<TFileGrid>("StringGridFiles")->Model().index(row - 1, 0));
        return QColor(image.pixel(r.right() - 8, r.top() + 8)); // inside the frame of the current row
    };
    EXPECT_EQ(colourAt(1), FileCellDelegate::kSelected);
    EXPECT_EQ(colourAt(2), FileCellDelegate::kSelectedLight);
    EXPECT_EQ(colourAt(3), QColor(Qt::white));
}

TEST_F(Window, SecondLineShowsSizeAndDateWithoutAMidnightTime) {
    const QDateTime midnight(QDate(2004, 3, 12), QTime(0, 0, 0));
    const QDateTime afternoon(QDate(2004, 3, 12), QTime(14, 22, 6));
    const QString atMidnight = FileCellDelegate::DetailText(1536, midnight.toSecsSinceEpoch());
    const QString later = FileCellDelegate::DetailText(0, afternoon.toSecsSinceEpoch());
    const QString date = QLocale::system().toString(QDate(2004, 3, 12), QLocale::ShortFormat);
    EXPECT_TRUE(atMidnight.endsWith(QStringLiteral("    ") + date)) << atMidnight.toStdString();
    EXPECT_TRUE(atMidnight.startsWith(QStringLiteral("1"))) << atMidnight.toStdString();
    EXPECT_TRUE(later.startsWith(QStringLiteral("0 o    ") + date + QLatin1Char(' '))) << later.toStdString();
    EXPECT_TRUE(later.contains(QStringLiteral("22"))) << later.toStdString();
}

TEST_F(Window, DoubleClickOpensTheFileWithTheDesktop) {
    MakeFiles({"doc.txt"});
    Start();
    ListFolder();
    QTest::mouseDClick(Get<TFileGrid>("StringGridFiles")->viewport(), Qt::LeftButton, Qt::NoModifier,
                       RowPoint(1));
    ASSERT_EQ(desktop_.log.opened.size(), 1U);
    EXPECT_EQ(desktop_.log.opened[0].toLocalFile().toStdString(), folder_ / "doc.txt");
}

TEST_F(Window, LanguageSettingIsReadAtStartAndWrittenOnClose) {
    {
        Start();
        EXPECT_TRUE(Get<QAction>("MNU_Fancais")->isChecked());
        EXPECT_EQ(PlaceholderNames(), PlaceholderNamesFr);
        window_->close();
        EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("OPTIONS", "LANGUAGE", -1), 0);
    }
    struct Case {
        int stored;
        bool english;
        int written;
    };
    for (const Case c : {Case{257, true, 1}, Case{2, false, 2}, Case{1, true, 1}, Case{0, false, 0}}) {
        IniFile(SettingsPath()).WriteInteger("OPTIONS", "LANGUAGE", c.stored);
        Start();
        EXPECT_EQ(Get<QAction>("MNU_Anglais")->isChecked(), c.english) << c.stored;
        EXPECT_EQ(PlaceholderNames() == PlaceholderNamesEn, c.english) << c.stored;
        Get<QAction>("MNU_QUIT")->trigger(); // "Quitter" stores as the close button does
        EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("OPTIONS", "LANGUAGE", -1), c.written) << c.stored;
    }
    SetLanguageIndex(0);
}

TEST_F(Window, SwitchingLanguageChangesTheCheckAndThePlaceholders) {
    for (const char* file : {"English.lng", "Francais.lng"}) {
        std::filesystem::copy_file(std::string(QUORVEL_SOURCE_DIR "/resources/") + file, program_ / file);
    }
    Start();
    // Qt's own dialogs follow the language shown.
    const auto qtCancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    EXPECT_EQ(qtCancel(), QStringLiteral("Annuler"));
    QTreeWidgetItem* home = Get<TFolderTree>("ShellTreeView")->topLevelItem(0);
    EXPECT_EQ(home->text(0), QStringLiteral("Dossier personnel"));
    EXPECT_EQ(Get<TFolderTree>("ShellTreeView")->topLevelItem(1)->text(0), QStringLiteral("/"));
    Get<QAction>("MNU_Anglais")->trigger();
    EXPECT_EQ(home->text(0), QStringLiteral("Home"));
    EXPECT_EQ(messages::RunStatus(1, 2, 3), QStringLiteral("1 renamed, 2 unchanged, 3 failed"));
    EXPECT_TRUE(Get<QAction>("MNU_Anglais")->isChecked());
    EXPECT_FALSE(Get<QAction>("MNU_Fancais")->isChecked());
    EXPECT_EQ(LanguageIndex(), 1);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesEn);
    EXPECT_EQ(qtCancel(), QStringLiteral("Cancel"));
    Get<QAction>("MNU_Fancais")->trigger();
    EXPECT_EQ(LanguageIndex(), 0);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesFr);
    EXPECT_EQ(qtCancel(), QStringLiteral("Annuler"));
    EXPECT_EQ(messages::RunStatus(1, 2, 3), QStringLiteral("1 renommé(s), 2 inchangé(s), 3 échec(s)"));
}

TEST_F(Window, RegistersTheScriptTypeForTheRunningProgram) {
    Start();
    const std::string data = qEnvironmentVariable("XDG_DATA_HOME").toStdString();
    const std::string mime = ReadFileBytes(data + "/mime/packages/quorvel-script.xml");
    EXPECT_NE(mime.find("application/x-quorvel-script"), std::string::npos);
    EXPECT_NE(mime.find("*.script"), std::string::npos);
    const std::string entry = ReadFileBytes(data + "/applications/quorvel.desktop");
    EXPECT_NE(entry.find("Exec=\"" + (program_ / "quorvel") + "\" %f"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-quorvel-script;"), std::string::npos);
}

} // namespace
} // namespace quorvel::test
