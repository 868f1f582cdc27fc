#include "settings/language.hpp"

#include "bridge/qt_text.hpp"
#include "engine/codec.hpp"
#include "engine/primitives.hpp"
#include "settings/environment.hpp"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTranslator>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace quorvel {

namespace {

// A language file is a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxLanguageFileSize = 16 * 1024 * 1024;

constexpr TextView kTab = U"\t";

// Blanks (code points 0 to 32) removed at the start only.
TextView TrimLeft(TextView s) {
    while (!s.empty() && IsTrimmed(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

// Equal when only the case of the letters a-z differs.
bool SameWord(TextView a, TextView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAZ(a[i]) != FoldAZ(b[i])) {
            return false;
        }
    }
    return true;
}

// How an entry is applied, decided by its class word alone.
enum class EntryKind { Text, Columns, Items, Nodes };

EntryKind KindOf(TextView classWord) {
    if (SameWord(classWord, U"TLISTVIEW") || SameWord(classWord, U"TLISTVIEWDROPFILE")) {
        return EntryKind::Columns;
    }
    if (SameWord(classWord, U"TCOMBOBOX") || SameWord(classWord, U"TRADIOGROUP")) {
        return EntryKind::Items;
    }
    if (SameWord(classWord, U"TTREEVIEW")) {
        return EntryKind::Nodes;
    }
    // "TMENUITEM", "TACTION" and every other word set a caption and a hint; what
    // the caption is depends on the kind of the component.
    return EntryKind::Text;
}

QObject* FindComponent(const LanguageTarget& target, TextView name) {
    const QString wanted = ToQString(name);
    for (QObject* component : target.components) {
        if (component->objectName() == wanted) {
            return component;
        }
    }
    return nullptr;
}

// The caption of a component: a menu item's or action's text, a menu's title, a
// window's title, or the text of a label, button or edit box. The hint is the
// tooltip. Components without a caption take the hint only.
void SetTextAndHint(QObject* component, const QString& text, const QString& hint) {
    if (auto* action = qobject_cast<QAction*>(component)) {
        action->setText(text);
        action->setToolTip(hint);
        return;
    }
    if (auto* menu = qobject_cast<QMenu*>(component)) {
        menu->setTitle(text);
        menu->menuAction()->setToolTip(hint);
        return;
    }
    auto* widget = qobject_cast<QWidget*>(component);
    if (widget == nullptr) {
        return;
    }
    widget->setToolTip(hint);
    if (widget->isWindow()) {
        widget->setWindowTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
        // A label placed by hand takes the size of its new text.
        const QLayout* layout = label->parentWidget() != nullptr ? label->parentWidget()->layout() : nullptr;
        if (layout == nullptr || layout->indexOf(label) < 0) {
            label->adjustSize();
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        memo->setPlainText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    }
}

// Column titles of a list or tree view.
int ColumnCount(QObject* component) {
    auto* view = qobject_cast<QAbstractItemView*>(component);
    return view != nullptr && view->model() != nullptr ? view->model()->columnCount() : 0;
}

void SetColumnTitle(QObject* component, int column, const QString& title) {
    qobject_cast<QAbstractItemView*>(component)->model()->setHeaderData(column, Qt::Horizontal, title);
}

// Replaces the items of a combo box or list, keeping the selected index.
void SetItems(QObject* component, const QStringList& items) {
    if (auto* combo = qobject_cast<QComboBox*>(component)) {
        const int selected = combo->currentIndex();
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(selected < combo->count() ? selected : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(component)) {
        const int selected = list->currentRow();
        list->clear();
        list->addItems(items);
        list->setCurrentRow(selected < list->count() ? selected : -1);
    }
}

// Every node of a tree, a node before its children.
std::vector<QTreeWidgetItem*> TreeNodes(QObject* component) {
    std::vector<QTreeWidgetItem*> nodes;
    if (auto* tree = qobject_cast<QTreeWidget*>(component)) {
        for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
            nodes.push_back(*it);
        }
    }
    return nodes;
}

} // namespace

QString FindLanguageFile(const ProgramEnvironment& environment, const QString& name) {
    for (const QString& file : {name + QStringLiteral(".lng"), QStringLiteral("Français.Lng")}) {
        for (const QString& folder : environment.dataFolders) {
            if (QFileInfo(folder + file).isFile()) {
                return folder + file;
            }
        }
    }
    return {};
}

std::vector<Text> LanguageFileLines(const QByteArray& bytes) {
    const Text text =
        DecodeTextFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    std::vector<Text> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(U"\r\n", start);
        if (end == Text::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text[end] == U'\r' && end + 1 < text.size() && text[end + 1] == U'\n' ? 2 : 1);
    }
    return lines;
}

void ApplyLanguageLines(const LanguageTarget& target, const std::vector<Text>& lines) {
    if (target.window == nullptr) {
        return;
    }
    const Text windowName = FromQString(target.window->objectName());
    // The last line is never a header, unless it is the only one.
    const std::size_t searched = lines.size() <= 1 ? lines.size() : lines.size() - 1;
    for (std::size_t i = 0; i < searched; ++i) {
        const TextView key = TrimLeft(NthField(lines[i], U"=", 1));
        const TextView name = Trim(NthField(NthField(lines[i], U"=", 2), kTab, 1));
        if (key == U"TForm" && SameWord(name, windowName)) {
            ApplyFormBlock(target, lines, i);
            return;
        }
    }
}

void ApplyFormBlock(const LanguageTarget& target, const std::vector<Text>& lines, std::size_t header) {
    const std::size_t count = lines.size();
    if (target.window == nullptr || header >= count) {
        return;
    }
    target.window->setWindowTitle(ToQString(NthField(lines[header], kTab, 2)));
    std::size_t i = header + 2; // the line after the header is not read
    while (i < count) {
        const TextView classWord = TrimLeft(NthField(lines[i], kTab, 1));
        const TextView entry = Trim(lines[i]);
        QObject* component = FindComponent(target, NthField(entry, kTab, 2));
        if (component != nullptr) {
            switch (KindOf(classWord)) {
            case EntryKind::Text:
                SetTextAndHint(component, ToQString(NthField(entry, kTab, 3)),
                               ToQString(NthField(entry, kTab, 4)));
                break;
            case EntryKind::Columns: {
                const int columns = ColumnCount(component);
                i += 2;
                for (int k = 0; i < count && Trim(lines[i]) != U"}" && k < columns; ++i, ++k) {
                    SetColumnTitle(component, k, ToQString(Trim(lines[i])));
                }
                break;
            }
            case EntryKind::Items: {
                QStringList items;
                i += 2;
                for (; i < count && Trim(lines[i]) != U"}"; ++i) {
                    items.push_back(ToQString(Trim(lines[i])));
                }
                SetItems(component, items);
                break;
            }
            case EntryKind::Nodes: {
                const std::vector<QTreeWidgetItem*> nodes = TreeNodes(component);
                i += 2;
                for (std::size_t k = 0; i < count && Trim(lines[i]) != U"}" && k < nodes.size(); ++i, ++k) {
                    nodes[k]->setText(0, ToQString(Trim(lines[i])));
                }
                break;
            }
            }
        }
        // The block ends at an unindented "}"; the file's last line is never an entry.
        ++i;
        if (i + 1 >= count || lines[i] == U"}") {
            return;
        }
    }
}

std::vector<std::pair<QString, QString>> MessageEntries(const std::vector<Text>& lines) {
    std::vector<std::pair<QString, QString>> entries;
    bool inside = false;
    for (const Text& line : lines) {
        if (!inside) {
            inside = TrimLeft(NthField(line, U"=", 1)) == U"TForm" &&
                     Trim(NthField(NthField(line, U"=", 2), kTab, 1)) == U"Messages";
            continue;
        }
        if (Trim(line) == U"}") {
            break;
        }
        if (Trim(NthField(line, kTab, 1)) == U"TMessage") {
            entries.emplace_back(ToQString(Trim(NthField(line, kTab, 2))),
                                 ToQString(NthField(line, kTab, 3)));
        }
    }
    return entries;
}

std::vector<Text> ApplyLanguage(const ProgramEnvironment& environment, const LanguageTarget& target,
                                const QString& name) {
    const QString path = FindLanguageFile(environment, name);
    if (path.isEmpty()) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.read(kMaxLanguageFileSize + 1);
    if (bytes.size() > kMaxLanguageFileSize) {
        return {};
    }
    std::vector<Text> lines = LanguageFileLines(bytes);
    ApplyLanguageLines(target, lines);
    return lines;
}

void SwitchQtTranslations(QTranslator& translator, bool french) {
    QCoreApplication::removeTranslator(&translator);
    if (french && translator.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&translator);
    }
}

} // namespace quorvel
