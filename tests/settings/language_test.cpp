#include "bridge/qt_text.hpp"
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/script_view.hpp"
#include "engine/catalogue.hpp"
#include "settings/ini_file.hpp"
#include "settings/language.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <map>

namespace quorvel::test {
namespace {

const std::string kResources = QUORVEL_SOURCE_DIR "/resources/";

// Every text a language file can change: the window title, the captions and hints
// of the components, and the command tree's nodes ("node <k>").
using Texts = std::map<QString, QString>;

Texts TextsOf(const MainWindow& w) {
    Texts texts{{"(title)", w.windowTitle()}};
    for (QObject* c : w.Components()) {
        const QString name = c->objectName();
        if (auto* action = qobject_cast<QAction*>(c)) {
            texts[name] = action->text();
            texts[name + "#hint"] = action->toolTip();
        } else if (auto* menu = qobject_cast<QMenu*>(c)) {
            texts[name] = menu->title();
            texts[name + "#hint"] = menu->menuAction()->toolTip();
        } else if (auto* widget = qobject_cast<QWidget*>(c)) {
            if (auto* label = qobject_cast<QLabel*>(c)) {
                texts[name] = label->text();
            } else if (auto* button = qobject_cast<QAbstractButton*>(c)) {
                texts[name] = button->text();
            } else if (auto* edit = qobject_cast<QLineEdit*>(c)) {
                texts[name] = edit->text();
            }
            texts[name + "#hint"] = widget->toolTip();
        }
    }
    int k = 0;
    for (QTreeWidgetItemIterator it(Find<TCommandTree>(w, "TreeViewCommande")); *it != nullptr; ++it, ++k) {
        texts[QStringLiteral("node %1").arg(k)] = (*it)->text(0);
    }
    return texts;
}

// The keys whose values differ, for failure messages.
std::string Differences(const Texts& actual, const Texts& expected) {
    std::string out;
    for (const auto& [key, value] : expected) {
        const auto it = actual.find(key);
        const QString got = it == actual.end() ? QStringLiteral("(missing)") : it->second;
        if (got != value) {
            out += "\n  " + key.toStdString() + ": '" + got.toStdString() + "', expected '" +
                   value.toStdString() + "'";
        }
    }
    return out;
}

class LanguageFiles : public MainWindowTest {
protected:
    void TearDown() override { SetLanguageIndex(0); }

    void Install(const std::string& resource, const std::string& as) {
        program_.Write(as, ReadFileBytes(kResources + resource));
    }
    void Remove(const std::string& name) { std::filesystem::remove(program_ / name); }

    // The texts of a window started without any language file.
    Texts BuiltIn() {
        const Texts texts = TextsOf(Start());
        window_.reset();
        return texts;
    }
};

struct Case {
    const char* what;
    std::string file;
    std::vector<std::pair<QString, QString>> changes;
};

// A window block whose tree block has `count` item lines "n0", "n1", ...
std::string TreeBlock(int count, const std::string& rest) {
    std::string block = "TForm=FrmMain\tQ\n{\nTTreeView\tTreeViewCommande\n{\n";
    for (int k = 0; k < count; ++k) {
        block += "n" + std::to_string(k) + "\n";
    }
    return block + rest;
}

std::string TreeBlockLongerThanTheTree() {
    // Item lines beyond the nodes: the first is passed over, the next read as an entry, and
    // the list's "}" ends the window block.
    return TreeBlock(kCommandNodeCount,
                     "de trop\nTLabel\tLabel1\tlu comme une entrée\n}\nTLabel\tLabExemple\tjamais\n}\n");
}

std::vector<std::pair<QString, QString>> NodesRenamed(int count, QString label) {
    std::vector<std::pair<QString, QString>> changes{{"(title)", "Q"}, {"Label1", label}};
    for (int k = 0; k < count; ++k) {
        changes.emplace_back(QStringLiteral("node %1").arg(k), QStringLiteral("n%1").arg(k));
    }
    return changes;
}

TEST_F(LanguageFiles, ReadsFilesExactlyAsWritten) {
    const Texts builtIn = BuiltIn();
    const std::vector<Case> cases = {
        {"a lower-case window name matches",
         "TForm=frmmain\tTitre\n{\nTLabel\tLabel1\tFiltre A\n}\n",
         {{"(title)", "Titre"}, {"Label1", "Filtre A"}}},
        {"a lower-case key is no header", "tform=FrmMain\tTitre\n{\nTLabel\tLabel1\tX\n}\n", {}},
        {"a blank before '=' makes no header", "TForm =FrmMain\tTitre\n{\nTLabel\tLabel1\tX\n}\n", {}},
        {"blanks around the key's start and the name are dropped",
         "  TForm= FrmMain \tT\n{\nTLabel\tLabel1\tX\n}\n",
         {{"(title)", "T"}, {"Label1", "X"}}},
        {"a header without a TAB empties the caption",
         "TForm=FrmMain\n{\nTLabel\tLabel1\tX\n}\n",
         {{"(title)", ""}, {"Label1", "X"}}},
        {"names are exact, class words ignore case",
         "TForm=FrmMain\tQ\n{\nTLabel\tlabel1\tX\ntlabel\tLabel1\tY\n}\n",
         {{"(title)", "Q"}, {"Label1", "Y"}}},
        {"an entry ending after the name empties caption and hint",
         "TForm=FrmMain\tQ\n{\nTMenuItem\tMNU_File\n}\n",
         {{"(title)", "Q"}, {"MNU_File", ""}, {"MNU_File#hint", ""}}},
        {"captions and hints, a trailing hint losing its blanks",
         "TForm=FrmMain\tQ\n{\nTMenuItem\tMNU_Help\tAide en ligne\tOuvre la page  \n"
         "TAction\tAction_Effacer\tRetirer\tRetire la ligne\nTAction\tAction_VoirExemple\tAperçu\n}\n",
         {{"(title)", "Q"},
          {"MNU_Help", "Aide en ligne"},
          {"MNU_Help#hint", "Ouvre la page"},
          {"Action_Effacer", "Retirer"},
          {"Action_Effacer#hint", "Retire la ligne"},
          {"Action_VoirExemple", "Aperçu"},
          {"Action_VoirExemple#hint", "Aperçu"},
          {"BtnVoir", "Aperçu"},
          {"BtnVoir#hint", "Aperçu"}}},
        {"edit boxes, buttons, and the menu-item word on a label",
         "TForm=FrmMain\tQ\n{\nTEdit\tEdString\tSaisir\nTSpeedButton\tBtnOk\t&Valider\tValide\n"
         "TMenuItem\tLabExemple\tEx.\n}\n",
         {{"(title)", "Q"},
          {"EdString", "Saisir"},
          {"BtnOk", "&Valider"},
          {"BtnOk#hint", "Valide"},
          {"LabExemple", "Ex."}}},
        {"spaces before an entry are blanks; a TAB makes an empty class word",
         "TForm=FrmMain\tQ\n{\n   "
         "TLabel\tLabel1\tA\n\tTLabel\tLabExemple\tB\n\tTTreeView\tTreeViewCommande\n{\n"
         "Effacer\n}\nTLabel\tEdString\tjamais\n}\n",
         {{"(title)", "Q"}, {"Label1", "A"}, {"LabExemple", "B"}}},
        {"a tree block with fewer lines renames the first nodes only",
         "TForm=FrmMain\tQ\n{\nTTreeView\tTreeViewCommande\n{\nEffacer\n  les premiers  "
         "\n}\nTLabel\tLabel1\tensuite\n}\n",
         {{"(title)", "Q"}, {"node 0", "Effacer"}, {"node 1", "les premiers"}, {"Label1", "ensuite"}}},
        {"a tree block with more lines than nodes ends the window block", TreeBlockLongerThanTheTree(),
         NodesRenamed(kCommandNodeCount, "lu comme une entrée")},
        {"the 29 nodes of a file older than the fifth group rename those nodes only",
         TreeBlock(29, "}\nTLabel\tLabel1\tensuite\n}\n"), NodesRenamed(29, "ensuite")},
        {"the 36 nodes of a file older than the sixth group rename those nodes only",
         TreeBlock(36, "}\nTLabel\tLabel1\tensuite\n}\n"), NodesRenamed(36, "ensuite")},
        {"the 39 nodes of a file older than the seventh group rename those nodes only",
         TreeBlock(39, "}\nTLabel\tLabel1\tensuite\n}\n"), NodesRenamed(39, "ensuite")},
        {"a list block naming no component is read line by line",
         "TForm=FrmMain\tQ\n{\nTTreeView\tNoTree\n{\nTLabel\tLabel1\tA\n}\nTLabel\tLabExemple\tB\n}\n",
         {{"(title)", "Q"}, {"Label1", "A"}}},
        {"without its closing brace every entry but the last line applies",
         "TForm=FrmMain\tQ\n{\nTLabel\tLabel1\tA\nTLabel\tLabExemple\tB\n",
         {{"(title)", "Q"}, {"Label1", "A"}}},
        {"a file of one line sets the caption only", "TForm=FrmMain\tSeul", {{"(title)", "Seul"}}},
        {"a file ending after the line after the header", "TForm=FrmMain\tT\r\n{\r\n", {{"(title)", "T"}}},
        {"a header on the last line of a longer file is not read", "rien\nTForm=FrmMain\tT", {}},
        {"an empty file", "", {}},
        {"blocks of other windows are passed over",
         "TForm=AboutBox\tA propos\n{\nTLabel\tLabel1\tX\n}\nTForm=FrmMain\tQ\n{\nTLabel\tLabel1\tY\n}\n",
         {{"(title)", "Q"}, {"Label1", "Y"}}},
        {"Windows-1252 text",
         "TForm=FrmMain\tQ\r\n{\r\nTLabel\tLabel1\tR\xE9sultat\r\n}\r\n",
         {{"(title)", "Q"}, {"Label1", "Résultat"}}},
        {"UTF-8 text with lone CR line breaks",
         "TForm=FrmMain\tQ\r{\rTLabel\tLabel1\tRésultat\r}\r",
         {{"(title)", "Q"}, {"Label1", "Résultat"}}},
        {"bytes that make no lines", std::string("\0\xFF\xFE\t\t=\x01TForm\0=FrmMain\n\n\n}", 24), {}},
    };
    for (const Case& c : cases) {
        program_.Write("Essai.lng", c.file);
        MainWindow& w = Start();
        ApplyLanguage(w.Environment(), {&w, w.Components()}, QStringLiteral("Essai"));
        Texts expected = builtIn;
        for (const auto& [key, value] : c.changes) {
            expected[key] = value;
        }
        const Texts actual = TextsOf(w);
        EXPECT_TRUE(actual == expected) << c.what << Differences(actual, expected);
    }
}

TEST(LanguageBlocks, ListsKeepTheirSelectionAndColumnsTakeTheirTitles) {
    QWidget window;
    window.setObjectName("Fenetre");
    auto* combo = new QComboBox(&window);
    combo->setObjectName("Combo");
    auto* radios = new QListWidget(&window);
    radios->setObjectName("Radios");
    auto* list = new QTreeWidget(&window);
    list->setObjectName("Liste");
    list->setColumnCount(2);
    const LanguageTarget target{&window, {combo, radios, list}};
    auto apply = [&](const std::string& text) {
        combo->clear();
        combo->addItems({"a", "b", "c"});
        combo->setCurrentIndex(1);
        radios->clear();
        radios->addItems({"a", "b", "c"});
        radios->setCurrentRow(2);
        ApplyLanguageLines(target, LanguageFileLines(QByteArray::fromStdString(text)));
    };

    apply(
        "TForm=Fenetre\tF\n{\nTComboBox\tCombo\n{\n w \nx\ny\nz\n}\nTRadioGroup\tRadios\n{\nx\ny\nz\n}\n}\n");
    EXPECT_EQ(window.windowTitle(), "F");
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(0), "w");
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(radios->count(), 3);
    EXPECT_EQ(radios->currentRow(), 2);

    // A block without items empties the list; the remembered index then selects nothing.
    apply("TForm=Fenetre\tF\n{\nTComboBox\tCombo\n{\n}\nTRadioGroup\tRadios\n{\n}\n}\n");
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(radios->count(), 0);

    // Column titles; the third line finds no column and is passed over, the next ones are
    // read as entries.
    apply("TForm=Fenetre\tF\n{\nTListView\tListe\n{\nNom\nTaille\nde trop\nTComboBox\tCombo\n{\nq\n}\n}\n");
    EXPECT_EQ(list->headerItem()->text(0), "Nom");
    EXPECT_EQ(list->headerItem()->text(1), "Taille");
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), "q");
}

TEST(LanguageLookup, NamedFileFirstThenTheFrenchFallbackInEveryDataFolder) {
    TempDir root;
    std::filesystem::create_directories(root / "bin");
    std::filesystem::create_directories(root / "share/quorvel");
    const ProgramEnvironment env =
        ProgramEnvironment::ForProgramAt(QString::fromStdString(root / "bin/quorvel"), {});
    auto found = [&](const char* name) {
        return FindLanguageFile(env, QString::fromUtf8(name)).toStdString();
    };
    EXPECT_EQ(found("English"), "");
    root.Write("share/quorvel/Français.Lng", "");
    EXPECT_EQ(found("English"), root / "share/quorvel/Français.Lng");
    root.Write("share/quorvel/English.lng", "");
    EXPECT_EQ(found("English"), root / "share/quorvel/English.lng");
    root.Write("bin/English.lng", "");
    EXPECT_EQ(found("English"), root / "bin/English.lng");
    // Names are matched as the file system matches them.
    EXPECT_EQ(found("english"), root / "share/quorvel/Français.Lng");
    // A folder is not a language file.
    std::filesystem::create_directories(root / "bin/Francais.lng");
    EXPECT_EQ(found("Francais"), root / "share/quorvel/Français.Lng");
}

TEST_F(LanguageFiles, TheFrenchFileHoldsTheBuiltInTextsAndEnglishTranslatesThemAll) {
    const Texts builtIn = BuiltIn();
    Install("Francais.lng", "Francais.lng");
    Install("English.lng", "English.lng");
    MainWindow& w = Start();
    EXPECT_TRUE(TextsOf(w) == builtIn) << Differences(TextsOf(w), builtIn);

    Find<QAction>(w, "MNU_Anglais")->trigger();
    const Texts english = TextsOf(w);
    EXPECT_EQ(Find<QMenu>(w, "MNU_File")->title(), "&File");
    EXPECT_EQ(Find<QToolButton>(w, "BtnVoir")->text(), "Preview");
    EXPECT_EQ(Find<QAction>(w, "Action_Executer")->text(), "Rename");
    // Every caption changes but those written alike in both languages.
    const QStringList alike = {"(title)", "MNU_AoutHelp", "BtnOk", "EdFiltre"};
    for (const auto& [key, value] : builtIn) {
        if (key.endsWith("#hint") || value.isEmpty() || alike.contains(key) ||
            key.startsWith(QStringLiteral("Splitter"))) {
            continue;
        }
        EXPECT_NE(english.at(key), value) << key.toStdString() << " is not translated";
    }
    // The English commands carry the English placeholders in the French order.
    const auto placeholders = [](const QString& caption) {
        QStringList found;
        for (const QRegularExpressionMatch& m : QRegularExpression(R"(\[[^\]]*\])").globalMatch(caption)) {
            found.push_back(m.captured());
        }
        return found;
    };
    for (int k = 0; k < kCommandNodeCount; ++k) {
        QStringList expected;
        for (const QString& fr :
             placeholders(ToQString(CommandNodes()[static_cast<std::size_t>(k)].caption))) {
            for (int i = 0; i < kPlaceholderCount; ++i) {
                if (fr == ToQString(PlaceholderNamesFr[static_cast<std::size_t>(i)])) {
                    expected.push_back(ToQString(PlaceholderNamesEn[static_cast<std::size_t>(i)]));
                }
            }
        }
        EXPECT_EQ(placeholders(english.at(QStringLiteral("node %1").arg(k))), expected) << k;
    }

    Find<QAction>(w, "MNU_Fancais")->trigger();
    EXPECT_TRUE(TextsOf(w) == builtIn) << Differences(TextsOf(w), builtIn);
}

TEST_F(LanguageFiles, EveryCommandNodeSwitchesToEnglishAndBack) {
    Install("Francais.lng", "Francais.lng");
    Install("English.lng", "English.lng");
    MainWindow& w = Start();
    Find<QAction>(w, "MNU_Anglais")->trigger();
    const std::vector<Text> lines =
        LanguageFileLines(QByteArray::fromStdString(ReadFileBytes(program_ / "English.lng")));
    const auto tree = std::find(lines.begin(), lines.end(), Text(U"TTreeView\tTreeViewCommande"));
    ASSERT_NE(tree, lines.end());
    int k = 0;
    for (QTreeWidgetItemIterator it(Find<TCommandTree>(w, "TreeViewCommande")); *it != nullptr; ++it, ++k) {
        EXPECT_EQ((*it)->text(0), ToQString(*(tree + 2 + k))) << k;
    }
    EXPECT_EQ(k, kCommandNodeCount);
    EXPECT_EQ(Find<TCommandTree>(w, "TreeViewCommande")->topLevelItem(0)->text(0), "Delete");
    EXPECT_EQ(Find<TCommandTree>(w, "TreeViewCommande")->topLevelItem(3)->child(4)->text(0),
              "[n] characters from position [nième] to position [mième]");

    Find<QAction>(w, "MNU_Fancais")->trigger();
    k = 0;
    for (QTreeWidgetItemIterator it(Find<TCommandTree>(w, "TreeViewCommande")); *it != nullptr; ++it, ++k) {
        EXPECT_EQ((*it)->text(0), ToQString(CommandNodes()[static_cast<std::size_t>(k)].caption)) << k;
    }
}

TEST_F(LanguageFiles, EnglishFallsBackToTheFrenchFileButKeepsEnglishPlaceholders) {
    Install("Francais.lng", "Français.Lng");
    Install("English.lng", "Essai.lng");
    MainWindow& w = Start();
    ApplyLanguage(w.Environment(), {&w, w.Components()}, QStringLiteral("Essai"));
    ASSERT_EQ(Find<QMenu>(w, "MNU_File")->title(), "&File");
    Find<QAction>(w, "MNU_Anglais")->trigger();
    EXPECT_EQ(Find<QMenu>(w, "MNU_File")->title(), "&Fichier");
    EXPECT_EQ(LanguageIndex(), 1);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesEn);
    EXPECT_TRUE(Find<QAction>(w, "MNU_Anglais")->isChecked());
}

TEST_F(LanguageFiles, SwitchingWithTheFilesMissingChangesOnlyTheCheckAndThePlaceholders) {
    Install("English.lng", "English.lng");
    MainWindow& w = Start();
    Find<QAction>(w, "MNU_Anglais")->trigger();
    ASSERT_EQ(Find<QLabel>(w, "Label1")->text(), "Filter:");
    Remove("English.lng");
    const Texts english = TextsOf(w);
    Find<QAction>(w, "MNU_Fancais")->trigger();
    EXPECT_TRUE(TextsOf(w) == english) << Differences(TextsOf(w), english);
    EXPECT_TRUE(Find<QAction>(w, "MNU_Fancais")->isChecked());
    EXPECT_FALSE(Find<QAction>(w, "MNU_Anglais")->isChecked());
    EXPECT_EQ(LanguageIndex(), 0);
    EXPECT_EQ(PlaceholderNames(), PlaceholderNamesFr);
}

TEST_F(LanguageFiles, TheStoredLanguageIsAppliedAtStart) {
    Install("English.lng", "English.lng");
    IniFile(SettingsPath()).WriteInteger("OPTIONS", "LANGUAGE", 1);
    MainWindow& w = Start();
    EXPECT_EQ(Find<QMenu>(w, "MNU_Langage")->title(), "Language");
    EXPECT_EQ(Find<QLabel>(w, "LabExemple")->text(), "New names:");
    EXPECT_EQ(Find<QLabel>(w, "LabExemple")->size(),
              Find<QLabel>(w, "LabExemple")->sizeHint()); // the label grows with its text
    EXPECT_TRUE(Find<QAction>(w, "MNU_Anglais")->isChecked());
}

} // namespace
} // namespace quorvel::test
