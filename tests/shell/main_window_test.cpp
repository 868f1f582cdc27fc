#include "browser/file_grid.hpp"
#include "browser/folder_tree.hpp"
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
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

using MainWindow = MainWindowTest;

TEST_F(MainWindow, HasEveryControlInItsOwningOrderWithItsParentAndPlace) {
    quorvel::MainWindow& w = Start();
    const QStringList controls = {
        "Splitter3", "Panel1",           "Splitter1", "ShellTreeView", "PanelVOIR",       "Label1",
        "BtnVoir",   "LabExemple",       "EdFiltre",  "MemoExemple",   "StringGridFiles", "Panel2",
        "Splitter2", "TreeViewCommande", "Panel4",    "HTMLViewer",    "PanelBAS",        "BtnOk",
        "EdString",  "EdInteger",        "EdNumber"};
    QStringList widgets;
    for (QObject* c : w.Components()) {
        if (c->isWidgetType() && qobject_cast<QWidget*>(c)->parentWidget() != nullptr &&
            !qobject_cast<QMenu*>(c)) {
            widgets.push_back(c->objectName());
        }
    }
    EXPECT_EQ(widgets.mid(0, controls.size()), controls);

    struct Placement {
        QWidget* control;
        QWidget* parent;
    };
    for (const Placement& p :
         {Placement{w.ShellTreeView, w.Panel1}, Placement{w.Splitter1, w.Panel1},
          Placement{w.StringGridFiles, w.Panel1}, Placement{w.PanelVOIR, w.Panel1},
          Placement{w.EdFiltre, w.PanelVOIR}, Placement{w.MemoExemple, w.PanelVOIR},
          Placement{w.BtnVoir, w.PanelVOIR}, Placement{w.TreeViewCommande, w.Panel2},
          Placement{w.Panel4, w.Panel2}, Placement{w.HTMLViewer, w.Panel4}, Placement{w.PanelBAS, w.Panel4},
          Placement{w.BtnOk, w.PanelBAS}, Placement{w.EdInteger, w.PanelBAS}}) {
        EXPECT_EQ(p.control->parentWidget(), p.parent) << p.control->objectName().toStdString();
    }
    EXPECT_EQ(w.Panel1->height(), 281);
    EXPECT_EQ(w.Splitter3->height(), 3);
    EXPECT_EQ(w.Splitter3->y(), 281);
    EXPECT_EQ(w.ShellTreeView->width(), 233);
    EXPECT_EQ(w.Splitter1->geometry(), QRect(233, 0, 4, 281));
    EXPECT_EQ(w.PanelVOIR->width(), 168);
    EXPECT_EQ(w.PanelVOIR->x(), w.Panel1->width() - 168);
    EXPECT_EQ(w.EdFiltre->geometry(), QRect(8, 24, 121, 24));
    EXPECT_EQ(w.MemoExemple->geometry(), QRect(9, 82, 153, 159));
    EXPECT_EQ(w.BtnVoir->geometry(), QRect(43, 250, 97, 25));
    EXPECT_EQ(w.TreeViewCommande->geometry().left(), 1);
    EXPECT_EQ(w.TreeViewCommande->width(), 233);
    EXPECT_EQ(w.Splitter2->x(), 234);
    EXPECT_EQ(w.PanelBAS->width(), 166);
    // The three parameter boxes share one place.
    EXPECT_EQ(w.EdString->y(), 16);
    EXPECT_EQ(w.EdNumber->y(), 16);
    EXPECT_EQ(w.EdInteger->y(), 16);
    EXPECT_TRUE(w.EdInteger->isHidden() && w.EdString->isHidden() && w.EdNumber->isHidden() &&
                w.BtnOk->isHidden());
    EXPECT_EQ(w.EdFiltre->text(), "*.*");
    EXPECT_EQ(w.windowTitle(), "Quorvel");
    EXPECT_EQ(w.Label1->text(), "Filtre :");
    EXPECT_EQ(w.LabExemple->text(), "Exemple :");
    EXPECT_EQ(w.Action_VoirExemple->text(), "Voir");
    EXPECT_EQ(w.BtnVoir->text(), "Voir");
}

TEST_F(MainWindow, MenusCarryTheirItems) {
    quorvel::MainWindow& w = Start();
    auto captions = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) {
            out.push_back(a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return out;
    };
    EXPECT_EQ(w.MNU_File->title(), "&Fichier");
    EXPECT_EQ(captions(w.MNU_File), QStringList({"Ouvrir", "-", "Enregistrer", "Enregistrer sous...", "-",
                                                 "Annuler le dernier renommage", "-", "&Quitter"}));
    EXPECT_EQ(w.MNU_Langage->title(), "Langage");
    EXPECT_EQ(captions(w.MNU_Langage), QStringList({"Français", "Anglais"}));
    EXPECT_EQ(w.MNU_AoutHelp->title(), "?");
    EXPECT_EQ(captions(w.MNU_AoutHelp), QStringList({"Aide", "A propos"}));
    EXPECT_EQ(captions(w.PopupMenu), QStringList({"Effacer", "Tout effacer", "-", "Executer"}));
    EXPECT_TRUE(w.MNU_Fancais->isChecked());
    EXPECT_FALSE(w.MNU_Anglais->isChecked());
}

TEST_F(MainWindow, CommandTreeHoldsTheCatalogue) {
    quorvel::MainWindow& w = Start();
    QTreeWidget* tree = w.TreeViewCommande;
    ASSERT_EQ(tree->topLevelItemCount(), 5);
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
    for (QTreeWidgetItem* node : w.TreeViewCommande->Nodes()) {
        const int needed = QFontMetrics(tree->font()).horizontalAdvance(node->text(0));
        EXPECT_GE(tree->columnWidth(0), needed) << node->text(0).toStdString();
    }
    EXPECT_EQ(VisibleName(QStringLiteral("a\nb\x7f")), QStringLiteral("a\u240Ab\u2421"));
}

TEST_F(MainWindow, ListsTheFolderSortedWithTheGridLayout) {
    MakeFiles({"b.txt", "A.txt", "_x.txt", "c.jpg"});
    std::filesystem::create_directory(folder_ / "sub");
    quorvel::MainWindow& w = Start();
    ListFolder();
    ASSERT_EQ(w.FileList->Files().Count(), 4U);
    EXPECT_EQ(EncodeName(w.FileList->Files().Items(0).Name()), "A.txt");
    EXPECT_EQ(EncodeName(w.FileList->Files().Items(1).Name()), "b.txt");
    EXPECT_EQ(EncodeName(w.FileList->Files().Items(2).Name()), "c.jpg");
    EXPECT_EQ(EncodeName(w.FileList->Files().Items(3).Name()), "_x.txt");
    EXPECT_EQ(w.StringGridFiles->RowCount(), 5);
    EXPECT_EQ(w.StringGridFiles->columnWidth(0), 345);
    EXPECT_EQ(w.StringGridFiles->horizontalHeader()->height(), 20);
    const int h = QFontMetrics(w.StringGridFiles->font()).height();
    EXPECT_EQ(w.StringGridFiles->rowHeight(0), 2 * h + 5);

    w.EdFiltre->setText("*.jpg");
    ListFolder();
    EXPECT_EQ(w.FileList->Files().Count(), 1U);
    // An empty filter lists everything and shows "*.*" afterwards.
    w.EdFiltre->setText("");
    ListFolder();
    EXPECT_EQ(w.FileList->Files().Count(), 4U);
    EXPECT_EQ(w.EdFiltre->text(), "*.*");
}

TEST_F(MainWindow, EnterInTheFilterBoxRescansTheSelectedFolder) {
    MakeFiles({"a.txt", "b.jpg"});
    quorvel::MainWindow& w = Start();
    ASSERT_TRUE(w.ShellTreeView->SelectPath(QByteArray::fromStdString(folder_.path())));
    EXPECT_EQ(w.FileList->Files().Count(), 2U);
    w.EdFiltre->setText("*.txt");
    EXPECT_EQ(w.FileList->Files().Count(), 2U); // typing alone rescans nothing
    QTest::keyClick(w.EdFiltre, Qt::Key_Return);
    EXPECT_EQ(w.FileList->Files().Count(), 1U);
    // A missing folder lists nothing, without a message.
    w.FillFileList("/nonexistent/folder");
    EXPECT_EQ(w.FileList->Files().Count(), 0U);
    EXPECT_EQ(w.StringGridFiles->RowCount(), 1);
    EXPECT_TRUE(desktop_.log.messages.isEmpty() && desktop_.log.errors.isEmpty());
}

TEST_F(MainWindow, SelectionFollowsTheMouseRules) {
    MakeFiles({"1.txt", "2.txt", "3.txt", "4.txt", "5.txt", "6.txt"});
    quorvel::MainWindow& w = Start();
    ListFolder();

    Click(1);
    Click(2, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2}));
    Click(3); // a plain click leaves only that row
    EXPECT_EQ(Selected(), std::vector<int>({3}));
    EXPECT_EQ(w.Selection->AnchorRow(), 3);

    Click(3, Qt::ControlModifier); // Ctrl toggles
    EXPECT_EQ(Selected(), std::vector<int>());
    Click(3, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>({3}));

    Click(2); // anchor 2
    Click(5, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::vector<int>({2, 3, 4, 5}));
    EXPECT_EQ(w.Selection->AnchorRow(), 2);
    Click(1, Qt::ShiftModifier); // toggles row 1 only
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5}));
    Click(2, Qt::ShiftModifier); // the anchor row: an empty range
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5}));

    Click(6, Qt::NoModifier, Qt::RightButton); // adds, becomes the current row
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(w.StringGridFiles->CurrentRow(), 6);
    EXPECT_EQ(w.Selection->AnchorRow(), 6);
    Click(4, Qt::NoModifier, Qt::RightButton); // a selected row stays selected
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
    Click(4, Qt::ControlModifier, Qt::RightButton);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));

    Click(1, Qt::AltModifier); // Alt alone changes nothing
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
    QTest::mouseClick(w.StringGridFiles->viewport(), Qt::MiddleButton, Qt::NoModifier, RowPoint(2));
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
}

TEST_F(MainWindow, ShiftBeforeAnyAnchorStartsAtTheFirstRow) {
    MakeFiles({"1.txt", "2.txt", "3.txt"});
    quorvel::MainWindow& w = Start();
    ListFolder();
    ASSERT_EQ(w.Selection->AnchorRow(), -1);
    // The grid getting the focus by Tab, or a click below the rows, sets no anchor.
    w.EdFiltre->setFocus();
    QTest::keyClick(w.EdFiltre, Qt::Key_Tab);
    w.StringGridFiles->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(w.StringGridFiles->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, w.StringGridFiles->viewport()->height() - 2));
    EXPECT_EQ(w.Selection->AnchorRow(), -1);
    Click(2, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2}));
}

TEST_F(MainWindow, HeaderAndEmptySpaceChangeNothing) {
    MakeFiles({"1.txt", "2.txt"});
    quorvel::MainWindow& w = Start();
    ListFolder();
    Click(1);
    QTest::mouseClick(w.StringGridFiles->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, 10));
    EXPECT_EQ(Selected(), std::vector<int>({1}));
    QTest::mouseClick(w.StringGridFiles->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, w.StringGridFiles->viewport()->height() - 2));
    EXPECT_EQ(Selected(), std::vector<int>({1}));
}

TEST_F(MainWindow, CtrlASelectsEveryRow) {
    quorvel::MainWindow& w = Start();
    ListFolder();
    QTest::keyClick(w.StringGridFiles, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>());
    MakeFiles({"1.txt", "2.txt", "3.txt", "4.txt"});
    ListFolder();
    QTest::keyClick(w.StringGridFiles, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4}));
    ListFolder(); // a rescan empties the selection
    EXPECT_EQ(Selected(), std::vector<int>());
}

TEST_F(MainWindow, SelectedRowsAreDrawnInTwoBlues) {
    MakeFiles({"1.txt", "2.txt", "3.txt"});
    quorvel::MainWindow& w = Start();
    ListFolder();
    Click(1);
    Click(2, Qt::ControlModifier); // row 2 is the grid's current cell
    const QImage image = w.StringGridFiles->viewport()->grab().toImage();
    auto colourAt = [&](int row) {
        const QRect r = w.StringGridFiles->visualRect(w.StringGridFiles->Model().index(row - 1, 0));
        return QColor(image.pixel(r.right() - 3, r.top() + 3));
    };
    EXPECT_EQ(colourAt(1), FileCellDelegate::kSelected);
    EXPECT_EQ(colourAt(2), FileCellDelegate::kSelectedLight);
    EXPECT_EQ(colourAt(3), QColor(Qt::white));
}

TEST_F(MainWindow, SecondLineShowsSizeAndDateWithoutAMidnightTime) {
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

TEST_F(MainWindow, DoubleClickOpensTheFileAndHelpOpensThePage) {
    MakeFiles({"doc.txt"});
    quorvel::MainWindow& w = Start();
    ListFolder();
    QTest::mouseDClick(w.StringGridFiles->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(1));
    ASSERT_EQ(desktop_.log.opened.size(), 1U);
    EXPECT_EQ(desktop_.log.opened[0].toLocalFile().toStdString(), folder_ / "doc.txt");
    w.MNU_Help->trigger();
    ASSERT_EQ(desktop_.log.opened.size(), 2U);
    EXPECT_TRUE(desktop_.log.opened[1].toLocalFile().endsWith("Help/Help.htm"));
    EXPECT_TRUE(desktop_.log.pagesShown.isEmpty());
    desktop_.log.urlsOpen = false; // no browser: the program shows the page itself
    w.MNU_Help->trigger();
    ASSERT_EQ(desktop_.log.pagesShown.size(), 1);
    EXPECT_TRUE(desktop_.log.pagesShown[0].endsWith("Help/Help.htm"));
}

TEST_F(MainWindow, LanguageSettingIsReadAtStartAndWrittenOnClose) {
    {
        Start();
        EXPECT_TRUE(window_->MNU_Fancais->isChecked());
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
        quorvel::MainWindow& w = Start();
        EXPECT_EQ(w.MNU_Anglais->isChecked(), c.english) << c.stored;
        EXPECT_EQ(PlaceholderNames() == PlaceholderNamesEn, c.english) << c.stored;
        w.MNU_QUIT->trigger(); // "Quitter" stores as the close button does
        EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("OPTIONS", "LANGUAGE", -1), c.written) << c.stored;
    }
    SetLanguageIndex(0);
}

TEST_F(MainWindow, SwitchingLanguageChangesTheCheckAndThePlaceholders) {
    for (const char* file : {"English.lng", "Francais.lng"}) {
        std::filesystem::copy_file(std::string(QUORVEL_SOURCE_DIR "/resources/") + file, program_ / file);
    }
    quorvel::MainWindow& w = Start();
    // Qt's own dialogs follow the language shown.
    const auto qtCancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    EXPECT_EQ(qtCancel(), QStringLiteral("Annuler"));
    QTreeWidgetItem* home = w.ShellTreeView->topLevelItem(0);
    EXPECT_EQ(home->text(0), QStringLiteral("Dossier personnel"));
    EXPECT_EQ(w.ShellTreeView->topLevelItem(1)->text(0), QStringLiteral("/"));
    w.MNU_Anglais->trigger();
    EXPECT_EQ(home->text(0), QStringLiteral("Home"));
    EXPECT_EQ(messages::RunStatus(1, 2, 3), QStringLiteral("1 renamed, 2 unchanged, 3 failed"));
    EXPECT_TRUE(w.MNU_Anglais->isChecked());
    EXPECT_FALSE(w.MNU_Fancais->isChecked());
    EXPECT_EQ(LanguageIndex(), 1);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesEn);
    EXPECT_EQ(qtCancel(), QStringLiteral("Cancel"));
    w.MNU_Fancais->trigger();
    EXPECT_EQ(LanguageIndex(), 0);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesFr);
    EXPECT_EQ(qtCancel(), QStringLiteral("Annuler"));
    EXPECT_EQ(messages::RunStatus(1, 2, 3), QStringLiteral("1 renommé(s), 2 inchangé(s), 3 échec(s)"));
}

TEST_F(MainWindow, RegistersTheScriptTypeForTheRunningProgram) {
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
