// A layout that docks its widgets to the sides of the parent, in the manner of
// classic desktop forms: top-docked widgets first (in the order they were added),
// then bottom, left and right ones, each taking its extent off the remaining
// rectangle; a client widget fills what is left. Widgets that are not docked keep
// their place, optionally at a fixed distance from the parent's bottom edge.
#pragma once

#include <QLayout>
#include <vector>

namespace quorvel {

enum class Dock { None, Top, Bottom, Left, Right, Client };

class DockLayout : public QLayout {
    Q_OBJECT
public:
    explicit DockLayout(QWidget* parent);
    ~DockLayout() override;

    // Docks `widget` (made a child of the parent). For Top and Bottom the extent is
    // the height, for Left and Right the width; it is ignored for Client and None.
    void Add(QWidget* widget, Dock dock, int extent = 0);
    // Keeps a widget that is not docked at its current distance from the bottom edge.
    void AnchorBottom(QWidget* widget, int parentHeight);

    Dock DockOf(const QWidget* widget) const;
    int Extent(const QWidget* widget) const;
    void SetExtent(const QWidget* widget, int extent);
    // The widget docked on the same side just before `widget`, if any.
    QWidget* DockedBefore(const QWidget* widget) const;

    // QLayout
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        Dock dock;
        int extent;
        int bottomDistance; // for anchored widgets that are not docked, else -1
    };
    const Entry* Find(const QWidget* widget) const;
    std::vector<Entry> entries_;
};

} // namespace quorvel
