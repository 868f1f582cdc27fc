// The window's colours as it draws them: the classic cream and sky blue under a
// light palette, and under a dark palette every text standing out from what is
// behind it; the window takes a new palette while it runs.
#include "editor/command_tree.hpp"
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "engine/codec.hpp"
#include "look/colours.hpp"
#include "look/t_panel.hpp"
#include "shell/about_box.hpp"
#include "support/dark_palette.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

namespace quorvel::test {
namespace {

const QColor kCream(0xFF, 0xFB, 0xF0);
const QColor kSkyBlue(0xA6, 0xCA, 0xF0);
constexpr double kReadable = 4.5;

class WindowLook : public MainWindowTest {
protected:
    // Three files listed, the first two selected (the second under the grid's
    // highlight), and a script whose new names take the name of the third, with a
    // value left empty.
    void Prepare() {
        MakeFiles({"a.txt", "b.txt", "held.txt"});
        Start();
        ListFolder();
        Click(1);
        Click(2, Qt::ControlModifier);
        Controller().Script().Load({DecodeName("11|Remplacer tout par [Chaine=hheld.txt]"),
                                    DecodeName("1|Supprimer les [n=1] premiers caractères"),
                                    DecodeName("15|Ajouter [Chaine=] à la fin")});
        Controller().preview(PreviewMode::Silent);
        ASSERT_EQ(Get<TExampleList>("MemoExemple")->LineCount(), 2);
    }

    QImage Shot() const { return window_->grab().toImage(); }

    // The rectangle holding every pixel that differs between two pictures, as text.
    static QString ChangedArea(const QImage& a, const QImage& b) {
        if (a.size() != b.size()) {
            return QStringLiteral("pictures of different sizes");
        }
        QRect changed;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    changed |= QRect(x, y, 1, 1);
                }
            }
        }
        return QStringLiteral("%1,%2 %3x%4")
            .arg(changed.x())
            .arg(changed.y())
            .arg(changed.width())
            .arg(changed.height());
    }

    // The colour of `widget`'s point `at` in a picture of the whole window.
    QColor At(const QImage& shot, const QWidget* widget, QPoint at) const {
        return shot.pixelColor(widget->mapTo(window_.get(), at));
    }

    // The strongest contrast with `back` of a pixel of `widget`'s rectangle `area`:
    // the core of the letters drawn there.
    double MostContrast(const QImage& shot, const QWidget* widget, QRect area, const QColor& back) const {
        const QRect inWindow = QRect(widget->mapTo(window_.get(), area.topLeft()), area.size()) & shot.rect();
        double most = 1;
        for (int y = inWindow.top(); y <= inWindow.bottom(); ++y) {
            for (int x = inWindow.left(); x <= inWindow.right(); ++x) {
                most = std::max(most, ContrastRatio(shot.pixelColor(x, y), back));
            }
        }
        return most;
    }

    QRect RowRect(int row) const {
        auto* grid = Get<TFileGrid>("StringGridFiles");
        return grid->visualRect(grid->Model().index(row - 1, 0));
    }

    // The rectangle of the document positions [start, end) of the script view.
    QRect ScriptRect(int start, int end) const {
        auto* view = Get<TScriptView>("HTMLViewer");
        QTextCursor cursor(view->document());
        cursor.setPosition(start);
        const QRect from = view->cursorRect(cursor);
        cursor.setPosition(end);
        const QRect to = view->cursorRect(cursor);
        return QRect(from.topLeft(), QPoint(to.left(), from.bottom()));
    }

    // The link of the script view showing `shown`, or of the value left empty (in italics).
    QRect LinkRect(const QString& shown, bool italic = false) const {
        auto* view = Get<TScriptView>("HTMLViewer");
        for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (f.charFormat().isAnchor() && (italic ? f.charFormat().fontItalic() : f.text() == shown)) {
                    return ScriptRect(f.position(), f.position() + f.length());
                }
            }
        }
        ADD_FAILURE() << "no link " << shown.toStdString();
        return {};
    }
};

TEST_F(WindowLook, ALightPaletteShowsTheClassicColours) {
    Prepare();
    const QImage shot = Shot();
    auto* voir = Get<T_Panel>("PanelVOIR");
    auto* bas = Get<T_Panel>("PanelBAS");
    // "Exemple :"'s panel fades from cream to sky blue over its bevel; the panel of
    // the parameter boxes the other way.
    EXPECT_EQ(At(shot, voir, {1, 0}), kCream);
    EXPECT_EQ(At(shot, voir, {1, voir->height() - 2}), kSkyBlue);
    EXPECT_EQ(At(shot, bas, {1, 0}), kSkyBlue);
    const QColor bottom = At(shot, bas, {1, bas->height() - 1}); // one step before cream
    EXPECT_LE(std::abs(bottom.red() - kCream.red()), 1);
    EXPECT_LE(std::abs(bottom.green() - kCream.green()), 1);
    // The script view and the command tree are sky blue.
    QWidget* page = Get<TScriptView>("HTMLViewer")->viewport();
    EXPECT_EQ(At(shot, page, {page->width() - 2, page->height() - 2}), kSkyBlue);
    QWidget* commands = Get<QTreeWidget>("TreeViewCommande")->viewport();
    EXPECT_EQ(At(shot, commands, {commands->width() - 2, commands->height() - 2}), kSkyBlue);
    // Rows: white, and the two blues of the selected ones.
    QWidget* rows = Get<TFileGrid>("StringGridFiles")->viewport();
    EXPECT_EQ(At(shot, rows, RowRect(1).topRight() + QPoint(-8, 8)), QColor(115, 201, 240));
    EXPECT_EQ(At(shot, rows, RowRect(2).topRight() + QPoint(-8, 8)), QColor(135, 221, 245));
    EXPECT_EQ(At(shot, rows, RowRect(3).topRight() + QPoint(-8, 8)), QColor(Qt::white));
    // The links are blue, the marks red.
    const QRect link = LinkRect(QStringLiteral("hheld.txt"));
    EXPECT_GT(MostContrast(shot, page, link, kSkyBlue), 1.0);
    bool blue = false;
    for (int x = link.left(); x <= link.right() && !blue; ++x) {
        for (int y = link.top(); y <= link.bottom() && !blue; ++y) {
            blue = At(shot, page, {x, y}) == QColor(0, 0, 0xFF);
        }
    }
    EXPECT_TRUE(blue) << "a link is drawn in blue";
    const QModelIndex marked = Get<TExampleList>("MemoExemple")->model()->index(0, 0);
    EXPECT_EQ(marked.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
}

TEST_F(WindowLook, EveryTextStandsOutUnderADarkPalette) {
    const DarkFusion dark;
    Prepare();
    const QImage shot = Shot();
    const auto readable = [](const char* what, const QColor& text, const QColor& back) {
        EXPECT_GE(ContrastRatio(text, back), kReadable)
            << what << ": " << text.name().toStdString() << " on " << back.name().toStdString();
    };
    const auto text = [](const QWidget* w, QPalette::ColorRole role) {
        return w->palette().color(QPalette::Active, role);
    };

    // The panels fade between dark colours; their labels and buttons are light.
    auto* voir = Get<T_Panel>("PanelVOIR");
    auto* bas = Get<T_Panel>("PanelBAS");
    EXPECT_NE(voir->Color(), kCream);
    EXPECT_NE(At(shot, voir, {1, 0}), kCream);
    for (const QColor& back : {voir->Color(), voir->ColorTo()}) {
        readable("Filtre :", text(Get<QLabel>("Label1"), QPalette::WindowText), back);
        readable("Exemple :", text(Get<QLabel>("LabExemple"), QPalette::WindowText), back);
        for (const char* box : {"CheckSousDossiers", "CheckDossiers"}) {
            readable(box, text(Get<QWidget>(box), QPalette::WindowText), back);
        }
        readable("Voir", text(Get<QToolButton>("BtnVoir"), QPalette::ButtonText), back);
    }
    for (const QColor& back : {bas->Color(), bas->ColorTo()}) {
        readable("OK", text(Get<QToolButton>("BtnOk"), QPalette::ButtonText), back);
    }
    for (const char* name : {"Label1", "LabExemple", "CheckSousDossiers", "CheckDossiers"}) {
        const QWidget* label = Get<QWidget>(name);
        const QColor back = At(shot, voir, {3, label->geometry().center().y()});
        // The caption of a check box, beside its box.
        const int caption = qobject_cast<const QAbstractButton*>(label) != nullptr ? 24 : 0;
        EXPECT_GE(MostContrast(shot, label, label->rect().adjusted(caption, 0, 0, 0), back), kReadable)
            << name;
    }

    // Trees, list and script view: their text on their base, and their highlight.
    for (const char* name : {"TreeViewCommande", "HTMLViewer", "MemoExemple", "ShellTreeView", "EdFiltre"}) {
        const auto* view = Get<QWidget>(name);
        readable(name, text(view, QPalette::Text), text(view, QPalette::Base));
        readable(name, text(view, QPalette::HighlightedText), text(view, QPalette::Highlight));
    }
    auto* commands = Get<QTreeWidget>("TreeViewCommande");
    EXPECT_GE(MostContrast(shot, commands->viewport(), commands->visualItemRect(commands->topLevelItem(0)),
                           text(commands, QPalette::Base)),
              kReadable);

    // The script view as drawn: its text, a link, a value left empty.
    auto* script = Get<TScriptView>("HTMLViewer");
    const QColor page = text(script, QPalette::Base);
    EXPECT_EQ(At(shot, script->viewport(), {script->viewport()->width() - 2, 2}), page);
    EXPECT_GE(MostContrast(shot, script->viewport(), ScriptRect(0, 9), page), kReadable) << "Remplacer";
    EXPECT_GE(MostContrast(shot, script->viewport(), LinkRect(QStringLiteral("hheld.txt")), page), kReadable);
    EXPECT_GE(MostContrast(shot, script->viewport(), LinkRect({}, true), page), kReadable) << "empty value";

    // The grid as drawn: a plain row and the selected ones.
    QWidget* rows = Get<TFileGrid>("StringGridFiles")->viewport();
    for (int row : {1, 2, 3}) {
        const QRect r = RowRect(row);
        const QColor back = At(shot, rows, r.topRight() + QPoint(-3, 3));
        EXPECT_GE(MostContrast(shot, rows, r.adjusted(2 + 32 + 4, 0, -4, 0), back), kReadable)
            << "row " << row;
    }
    EXPECT_NE(At(shot, rows, RowRect(3).topRight() + QPoint(-8, 8)), QColor(Qt::white));

    // The names in conflict as drawn, in their mark's colour.
    auto* list = Get<TExampleList>("MemoExemple");
    const QModelIndex marked = list->model()->index(0, 0);
    const QColor mark = marked.data(Qt::ForegroundRole).value<QColor>();
    readable("mark", mark, text(list, QPalette::Base));
    EXPECT_GE(MostContrast(shot, list->viewport(), list->visualRect(marked), text(list, QPalette::Base)),
              kReadable);

    // The tooltip of a marked name: its text, the part a line changed, the mark of a cut.
    const QPoint at = list->visualRect(marked).center();
    QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list->viewport(), &help);
    const QString tip = QToolTip::text();
    QWidget* tipLabel = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->inherits("QTipLabel") && top->isVisible()) {
            tipLabel = top;
        }
    }
    ASSERT_NE(tipLabel, nullptr);
    const QColor tipBase = tipLabel->palette().color(QPalette::Inactive, QPalette::ToolTipBase);
    const auto colourOf = [&](const char* property) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("[^-]%1:(#[0-9a-f]{6})").arg(QLatin1String(property)))
                .match(tip);
        EXPECT_TRUE(m.hasMatch()) << property << " in " << tip.toStdString();
        return QColor(m.captured(1));
    };
    const QColor tipText = colourOf("color");
    readable("tooltip", tipText, tipBase);
    readable("tooltip, changed part", tipText, colourOf("background-color"));
    const QRegularExpressionMatch cut =
        QRegularExpression(QStringLiteral("color:(#[0-9a-f]{6})\">\\|")).match(tip);
    ASSERT_TRUE(cut.hasMatch()) << tip.toStdString();
    readable("tooltip, cut", QColor(cut.captured(1)), tipBase);
    QToolTip::hideText();

    // The About box: its texts and links on its fade.
    TAboutBox about(QString::fromStdString(program_ / "quorvel"), QStringLiteral("1.2.1.0"));
    for (const QColor& back : {about.Panel1->Color(), about.Panel1->ColorTo()}) {
        for (const QLabel* label : {about.LabNotice, about.LabPlace, about.LabURL, about.LabMail}) {
            readable(qPrintable(label->text()), text(label, QPalette::WindowText), back);
        }
        readable("About OK", text(about.BtnOk, QPalette::ButtonText), back);
    }
}

TEST_F(WindowLook, FollowsAPaletteChangeWhileItRuns) {
    Prepare();
    auto* voir = Get<T_Panel>("PanelVOIR");
    QWidget* rows = Get<TFileGrid>("StringGridFiles")->viewport();
    auto* script = Get<TScriptView>("HTMLViewer");
    const QRect plainRow = RowRect(3);
    QImage before = Shot();
    const QColor treePage = Get<TFolderTree>("ShellTreeView")->palette().color(QPalette::Base);
    {
        const DarkFusion dark;
        QCoreApplication::processEvents();
        const QImage shot = Shot();
        EXPECT_NE(At(shot, voir, {1, 0}), kCream);
        EXPECT_NE(At(shot, rows, plainRow.topRight() + QPoint(-3, 3)), QColor(Qt::white));
        const QColor page = script->palette().color(QPalette::Base);
        EXPECT_NE(page, kSkyBlue);
        EXPECT_GE(MostContrast(shot, script->viewport(), LinkRect(QStringLiteral("hheld.txt")), page),
                  kReadable);
    }
    // Back to the classic look, pixel for pixel. Putting a style back posts layout
    // and polish events that a loaded machine may deliver over several turns. The
    // folder tree is left out: it follows the temporary folder, where other
    // programs make and remove folders all the time.
    QWidget* tree = Get<TFolderTree>("ShellTreeView")->viewport();
    const QRect live(tree->mapTo(window_.get(), QPoint(0, 0)), tree->size());
    const auto withoutTree = [&](QImage shot) {
        QPainter(&shot).fillRect(live, Qt::black);
        return shot;
    };
    before = withoutTree(before);
    QImage after;
    QDeadlineTimer patience(5000);
    do {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        after = withoutTree(Shot());
    } while (after != before && !patience.hasExpired());
    EXPECT_EQ(tree->palette().color(QPalette::Base), treePage);
    EXPECT_EQ(At(after, voir, {1, 0}), kCream);
    EXPECT_EQ(At(after, rows, plainRow.topRight() + QPoint(-3, 3)), QColor(Qt::white));
    EXPECT_EQ(script->palette().color(QPalette::Base), kSkyBlue);
    EXPECT_TRUE(after == before) << "pixels changed within " << qPrintable(ChangedArea(before, after));
}

// Some light styles grey the texts of a window that is not the active one; on the
// fixed sky blue and cream they stay as dark as in the active window.
TEST_F(WindowLook, AnInactiveWindowKeepsItsTextsReadable) {
    Prepare();
    const QPalette before = QApplication::palette();
    QPalette greying = before;
    greying.setColor(QPalette::Inactive, QPalette::Text, QColor(0x92, 0x95, 0x95));
    greying.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0x92, 0x95, 0x95));
    greying.setColor(QPalette::Inactive, QPalette::ButtonText, QColor(0x92, 0x95, 0x95));
    QApplication::setPalette(greying);
    QCoreApplication::processEvents();
    struct Text {
        const char* control;
        QPalette::ColorRole role;
        QColor back;
    };
    for (const Text& t :
         {Text{"TreeViewCommande", QPalette::Text, kSkyBlue}, Text{"HTMLViewer", QPalette::Text, kSkyBlue},
          Text{"Label1", QPalette::WindowText, kCream}, Text{"LabExemple", QPalette::WindowText, kCream}}) {
        const QColor inactive = Get<QWidget>(t.control)->palette().color(QPalette::Inactive, t.role);
        EXPECT_GE(ContrastRatio(inactive, t.back), kReadable) << t.control;
    }
    QApplication::setPalette(before);
    QCoreApplication::processEvents();
}

} // namespace
} // namespace quorvel::test
