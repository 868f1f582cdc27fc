// The list of new names under "Exemple :": read-only lines, both scroll bars, no
// wrapping. Only the lines in view are laid out, so a preview of 100,000 files
// shows at once. Selected lines can be copied with Ctrl+C.
#pragma once

#include <QListView>
#include <QStringListModel>

namespace quorvel {

class TExampleList : public QListView {
    Q_OBJECT
public:
    explicit TExampleList(QWidget* parent = nullptr);

    void clear();
    void SetLines(QStringList lines);
    int LineCount() const { return static_cast<int>(model_.rowCount()); }
    // The lines joined by line feeds.
    QString toPlainText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringListModel model_;
};

} // namespace quorvel
