#include "editor/script_view_access.hpp"

#include "editor/script_view.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWindow>
#include <vector>

namespace quorvel {

namespace {

// One placeholder link of a script view, known by its place in Tab order. It is
// made when asked for and forgotten when the view makes its links again.
class ScriptLinkAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ScriptLinkAccessible(TScriptView* view, int link) : view_(view), link_(link) {}

    const TScriptView* View() const { return view_.data(); }
    int Link() const { return link_; }

    bool isValid() const override { return view_ != nullptr && link_ < view_->LinkCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ != nullptr ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) {
            return {};
        }
        switch (t) {
        case QAccessible::Name:
            return view_->LinkName(link_);
        case QAccessible::Description:
            return view_->LinkDescription(link_);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        QRect whole;
        for (const QRect& part : view_->LinkRects(link_)) {
            whole |= part;
        }
        return QRect(view_->viewport()->mapToGlobal(whole.topLeft()), whole.size());
    }

    QAccessible::Role role() const override { return QAccessible::Link; }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.linked = true;
        const auto focused = view_->FocusedPlaceholder();
        state.focused =
            view_->hasFocus() && focused && view_->LinkIndex(focused->first, focused->second) == link_;
        QRect shown;
        for (const QRect& part : view_->LinkRects(link_)) {
            shown |= part;
        }
        state.offscreen = !view_->viewport()->rect().intersects(shown);
        state.invisible = !view_->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    // A press opens the placeholder's box, as a click does.
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override {
        if (!isValid()) {
            return;
        }
        if (name == pressAction()) {
            view_->PressLink(link_);
        } else if (name == setFocusAction()) {
            const auto [line, slot] = view_->LinkPlaceholder(link_);
            view_->FocusPlaceholder(line, slot);
        }
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        return name == pressAction() ? QStringList{QStringLiteral("Return"), QStringLiteral("Space")}
                                     : QStringList{};
    }

private:
    QPointer<TScriptView> view_;
    int link_;
};

// The view: a read-only text, its links first among its children.
class ScriptViewAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ScriptViewAccessible(TScriptView* view) : QAccessibleWidget(view, QAccessible::EditableText) {
        linksChanged_ = QObject::connect(view, &TScriptView::linksChanged, view, [this] { ForgetLinks(); });
    }
    ~ScriptViewAccessible() override {
        QObject::disconnect(linksChanged_);
        ForgetLinks();
    }
    ScriptViewAccessible(const ScriptViewAccessible&) = delete;
    ScriptViewAccessible& operator=(const ScriptViewAccessible&) = delete;

    TScriptView* View() const { return static_cast<TScriptView*>(widget()); }

    int childCount() const override { return View()->LinkCount() + QAccessibleWidget::childCount(); }

    QAccessibleInterface* child(int index) const override {
        const int links = View()->LinkCount();
        if (index < 0) {
            return nullptr;
        }
        if (index >= links) {
            return QAccessibleWidget::child(index - links);
        }
        if (ids_.size() < static_cast<std::size_t>(links)) {
            ids_.resize(static_cast<std::size_t>(links), 0);
        }
        QAccessible::Id& id = ids_[static_cast<std::size_t>(index)];
        if (id == 0) {
            id = QAccessible::registerAccessibleInterface(new ScriptLinkAccessible(View(), index));
        }
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (const auto* link = dynamic_cast<const ScriptLinkAccessible*>(child)) {
            return link->View() == View() && link->isValid() ? link->Link() : -1;
        }
        const int index = QAccessibleWidget::indexOfChild(child);
        return index < 0 ? -1 : index + View()->LinkCount();
    }

    QAccessibleInterface* focusChild() const override {
        const auto focused = View()->FocusedPlaceholder();
        if (View()->hasFocus() && focused) {
            if (const int link = View()->LinkIndex(focused->first, focused->second); link >= 0) {
                return child(link);
            }
        }
        return QAccessibleWidget::focusChild();
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    // --- The text ---------------------------------------------------------------

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        const QTextCursor cursor = View()->textCursor();
        const bool has = selectionIndex == 0 && cursor.hasSelection();
        *startOffset = has ? cursor.selectionStart() : 0;
        *endOffset = has ? cursor.selectionEnd() : 0;
    }
    int selectionCount() const override { return View()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) {
            QTextCursor cursor = View()->textCursor();
            cursor.clearSelection();
            View()->setTextCursor(cursor);
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex != 0) {
            return;
        }
        QTextCursor cursor(View()->document());
        cursor.setPosition(Clamped(startOffset));
        cursor.setPosition(Clamped(endOffset), QTextCursor::KeepAnchor);
        View()->setTextCursor(cursor);
    }
    int cursorPosition() const override { return View()->textCursor().position(); }
    void setCursorPosition(int position) override {
        QTextCursor cursor(View()->document());
        cursor.setPosition(Clamped(position));
        View()->setTextCursor(cursor);
    }
    QString text(int startOffset, int endOffset) const override {
        const QString whole = View()->toPlainText();
        const int from = std::clamp(startOffset, 0, static_cast<int>(whole.size()));
        const int to = std::clamp(endOffset < 0 ? static_cast<int>(whole.size()) : endOffset, from,
                                  static_cast<int>(whole.size()));
        return whole.mid(from, to - from);
    }
    int characterCount() const override { return View()->document()->characterCount() - 1; }
    QRect characterRect(int offset) const override {
        QTextCursor cursor(View()->document());
        cursor.setPosition(Clamped(offset));
        const QRect at = View()->cursorRect(cursor);
        int width = QFontMetrics(View()->document()->defaultFont()).averageCharWidth();
        if (offset < characterCount()) {
            cursor.movePosition(QTextCursor::NextCharacter);
            const QRect next = View()->cursorRect(cursor);
            if (next.top() == at.top() && next.left() > at.left()) {
                width = next.left() - at.left();
            }
        }
        return QRect(View()->viewport()->mapToGlobal(at.topLeft()), QSize(width, at.height()));
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = View()->viewport()->mapFromGlobal(point);
        return View()->cursorForPosition(local).position();
    }
    void scrollToSubstring(int startIndex, int) override {
        QTextCursor cursor(View()->document());
        cursor.setPosition(Clamped(startIndex));
        const QRect at = View()->cursorRect(cursor);
        if (!View()->viewport()->rect().contains(at)) {
            View()->verticalScrollBar()->setValue(View()->verticalScrollBar()->value() + at.top());
        }
    }
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
    // QAccessibleWidget and the text interface both name text(); the widget's is the one with one argument.
    using QAccessibleWidget::text;

private:
    int Clamped(int offset) const { return std::clamp(offset, 0, characterCount()); }

    void ForgetLinks() {
        for (const QAccessible::Id id : ids_) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
        ids_.clear();
    }

    mutable std::vector<QAccessible::Id> ids_; // the links made so far, by Tab order
    QMetaObject::Connection linksChanged_;
};

QAccessibleInterface* ScriptViewFactory(const QString& key, QObject* object) {
    if (key == QLatin1String(TScriptView::staticMetaObject.className())) {
        if (auto* view = qobject_cast<TScriptView*>(object)) {
            return new ScriptViewAccessible(view);
        }
    }
    return nullptr;
}

} // namespace

void InstallScriptViewAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&ScriptViewFactory);
        return true;
    }();
    (void)installed;
}

} // namespace quorvel
