// The window as assistive technology sees it, through Qt's accessibility
// interfaces: every control that takes the focus or can be used has a name, the
// window's controls say what they are for in the language shown, the placeholders
// of the script are links, and the rows of the grid say what they show.
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "support/text.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <filesystem>
#include <functional>

namespace quorvel::test {
namespace {

class Accessibility : public MainWindowTest {
protected:
    void InstallLanguages() {
        for (const char* file : {"English.lng", "Francais.lng"}) {
            std::filesystem::copy_file(std::string(QUORVEL_SOURCE_DIR "/resources/") + file, program_ / file);
        }
    }

    static QAccessibleInterface* Of(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

    // Every interface under `root`, depth first.
    static void Walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit) {
        for (int i = 0; i < root->childCount(); ++i) {
            if (QAccessibleInterface* child = root->child(i)) {
                visit(child);
                Walk(child, visit);
            }
        }
    }

    // Whether the user can act on what `iface` stands for: it takes the focus, or
    // it is of a kind one presses, types in, chooses from or follows.
    static bool Interactive(QAccessibleInterface* iface) {
        using R = QAccessible::Role;
        static const QList<R> kinds = {
            R::PushButton, R::CheckBox, R::RadioButton, R::ComboBox,   R::EditableText, R::SpinBox,
            R::Slider,     R::Link,     R::MenuItem,    R::ButtonMenu, R::List,         R::ListItem,
            R::Tree,       R::TreeItem, R::Table,       R::Cell,       R::PageTab};
        return iface->state().focusable || kinds.contains(iface->role());
    }

    // What names the unnamed ones: their object or their parent's, and their role.
    static QStringList Unnamed(QAccessibleInterface* window) {
        QStringList unnamed;
        Walk(window, [&](QAccessibleInterface* iface) {
            if (Interactive(iface) && iface->text(QAccessible::Name).trimmed().isEmpty()) {
                QObject* object = iface->object() != nullptr ? iface->object() : iface->parent()->object();
                unnamed.push_back(QStringLiteral("%1 (role %2)")
                                      .arg(object != nullptr ? object->objectName() : QStringLiteral("?"))
                                      .arg(static_cast<int>(iface->role())));
            }
        });
        return unnamed;
    }

    QString Name(const char* control) const { return Of(Get<QObject>(control))->text(QAccessible::Name); }
    QString Description(const char* control) const {
        return Of(Get<QObject>(control))->text(QAccessible::Description);
    }
};

TEST_F(Accessibility, NoControlThatCanBeUsedIsUnnamedInEitherLanguage) {
    InstallLanguages();
    MakeFiles({"a.txt", "b.txt"});
    MainWindow& w = Start();
    ListFolder();
    Controller().Script().Load({T("16|Ajouter [Chaine=ab] à la [nième] postion")});
    QAccessibleInterface* window = Of(&w);
    ASSERT_NE(window, nullptr);
    int seen = 0;
    Walk(window, [&](QAccessibleInterface* iface) { seen += Interactive(iface) ? 1 : 0; });
    EXPECT_GT(seen, 30); // the walk reaches the trees' items, the grid's rows and the links
    EXPECT_EQ(Unnamed(window), QStringList());

    const char* controls[] = {"ShellTreeView",   "EdFiltre",    "CheckSousDossiers", "CheckDossiers",
                              "StringGridFiles", "MemoExemple", "BtnVoir",           "TreeViewCommande",
                              "HTMLViewer",      "EdInteger",   "EdString",          "EdNumber",
                              "BtnOk",           "StatusBar",   "RunStatus",         "ListStatus"};
    for (const char* control : controls) {
        // The lines of the run and of the listing are named by what they say.
        if (std::string_view(control) != "RunStatus" && std::string_view(control) != "ListStatus") {
            EXPECT_FALSE(Name(control).isEmpty()) << control;
        }
        EXPECT_FALSE(Description(control).isEmpty()) << control;
    }
    EXPECT_EQ(Name("EdFiltre"), QStringLiteral("Filtre"));
    EXPECT_EQ(Name("BtnVoir"), QStringLiteral("Voir"));
    EXPECT_EQ(Name("CheckSousDossiers"), QStringLiteral("Sous-dossiers"));
    EXPECT_EQ(Name("StatusBar"), QStringLiteral("Ligne d'état"));
    EXPECT_TRUE(Description("HTMLViewer").contains(QStringLiteral("Tab")));

    // In English, and back.
    QStringList french;
    for (const char* control : controls) {
        french.push_back(Name(control) + QLatin1Char('|') + Description(control));
    }
    Get<QAction>("MNU_Anglais")->trigger();
    EXPECT_EQ(Unnamed(window), QStringList());
    EXPECT_EQ(Name("EdFiltre"), QStringLiteral("Filter"));
    EXPECT_EQ(Name("StringGridFiles"), QStringLiteral("Files"));
    EXPECT_EQ(Name("BtnVoir"), QStringLiteral("Preview"));
    Controller().selectAll();
    EXPECT_EQ(
        Of(Get<QObject>("StringGridFiles"))->tableInterface()->cellAt(0, 0)->text(QAccessible::Description),
        QStringLiteral("selected"));
    EXPECT_EQ(
        Description("EdInteger"),
        QStringLiteral("Enter writes the value into the script, Escape closes the box without writing"));
    for (std::size_t i = 0; i < std::size(controls); ++i) {
        const QString english = Name(controls[i]) + QLatin1Char('|') + Description(controls[i]);
        // A name may be the same word in both ("Script"); the description never is.
        EXPECT_NE(english, french[static_cast<qsizetype>(i)]) << controls[i];
    }
    Get<QAction>("MNU_Fancais")->trigger();
    for (std::size_t i = 0; i < std::size(controls); ++i) {
        EXPECT_EQ(Name(controls[i]) + QLatin1Char('|') + Description(controls[i]),
                  french[static_cast<qsizetype>(i)])
            << controls[i];
    }
}

TEST_F(Accessibility, APlaceholderIsALinkWhosePressOpensItsBox) {
    InstallLanguages();
    Start();
    Controller().Script().Load({T("7|Supprimer tous les espaces"),
                                T("1|Supprimer les [n=3] premiers caractères"),
                                T("16|Ajouter [Chaine] à la [nième] postion")});
    auto* view = Get<TScriptView>("HTMLViewer");
    QAccessibleInterface* script = Of(view);
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->role(), QAccessible::EditableText);
    EXPECT_TRUE(script->state().readOnly);
    ASSERT_NE(script->textInterface(), nullptr);
    EXPECT_EQ(script->textInterface()->text(0, 26), QStringLiteral("Supprimer tous les espaces"));

    QList<QAccessibleInterface*> links;
    for (int i = 0; i < script->childCount(); ++i) {
        if (script->child(i)->role() == QAccessible::Link) {
            links.push_back(script->child(i));
        }
    }
    ASSERT_EQ(links.size(), 3);
    QAccessibleInterface* three = links[0];
    EXPECT_EQ(three->text(QAccessible::Name), QStringLiteral("3 (n)"));
    EXPECT_EQ(
        three->text(QAccessible::Description),
        QStringLiteral("Paramètre de la ligne 2 : Entrée ou Espace ouvre sa case, Suppr retire la ligne"));
    EXPECT_EQ(links[1]->text(QAccessible::Name), QStringLiteral("Chaine (Chaine)"));
    EXPECT_TRUE(links[1]->text(QAccessible::Description).startsWith(QStringLiteral("Paramètre sans valeur")));
    EXPECT_EQ(links[2]->text(QAccessible::Name), QStringLiteral("nième (nième)"));
    EXPECT_EQ(script->indexOfChild(three), script->indexOfChild(links[0]));
    EXPECT_EQ(three->parent(), script);
    EXPECT_TRUE(script->rect().contains(three->rect()));
    EXPECT_FALSE(three->rect().isEmpty());

    // Its press opens its box as a click does; its focus action frames it.
    ASSERT_NE(three->actionInterface(), nullptr);
    EXPECT_TRUE(three->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    three->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    auto* box = Get<QLineEdit>("EdInteger");
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "3");
    EXPECT_EQ(Controller().ClickedLine(), 1);
    links[2]->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_EQ(view->FocusedPlaceholder(), std::pair(2, 1));
    EXPECT_TRUE(links[2]->state().focused);
    EXPECT_FALSE(three->state().focused);
    EXPECT_EQ(script->focusChild(), links[2]);

    // In English the descriptions follow; the links are made again with the script.
    Get<QAction>("MNU_Anglais")->trigger();
    EXPECT_EQ(links[0]->text(QAccessible::Description),
              QStringLiteral("Parameter of line 2: Enter or Space opens its box, Delete removes the line"));
    Controller().Script().Clear();
    for (int i = 0; i < script->childCount(); ++i) {
        EXPECT_NE(script->child(i)->role(), QAccessible::Link);
    }
    Get<QAction>("MNU_Fancais")->trigger();
}

TEST_F(Accessibility, AGridRowSaysItsNameSizeAndDate) {
    MakeFiles({"rapport.txt", "b.txt"});
    Start();
    ListFolder();
    auto* grid = Get<TFileGrid>("StringGridFiles");
    QAccessibleInterface* table = Of(grid);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 0);
    ASSERT_NE(cell, nullptr);
    const QString name = cell->text(QAccessible::Name);
    const std::optional<FileDetails> details = Controller().Files().DetailsOfRow(2);
    ASSERT_TRUE(details.has_value());
    EXPECT_EQ(name,
              QStringLiteral("rapport.txt, ") + FileCellDelegate::DetailText(details->size, details->date)
                                                    .replace(QStringLiteral("    "), QStringLiteral(", ")));
    EXPECT_TRUE(name.startsWith(QStringLiteral("rapport.txt, 11 o, "))) << name.toStdString();

    // Whether it is selected is in its description: the selection of the rules,
    // not the grid's own highlight.
    EXPECT_EQ(cell->text(QAccessible::Description), QString());
    Click(2);
    EXPECT_EQ(cell->text(QAccessible::Description), QStringLiteral("sélectionné"));
    EXPECT_EQ(table->tableInterface()->cellAt(0, 0)->text(QAccessible::Description), QString());
    Click(2, Qt::ControlModifier); // unselected, still the grid's current row
    EXPECT_EQ(cell->text(QAccessible::Description), QString());
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(table->tableInterface()->cellAt(0, 0)->text(QAccessible::Description),
              QStringLiteral("sélectionné"));
}

} // namespace
} // namespace quorvel::test
