#include "settings/save_form_control_pos.hpp"

#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QWidget>
#include <string>

namespace quorvel {

namespace {

// Controls have a place in the window; menus and other windows do not.
QWidget* AsControl(QObject* component) {
    auto* widget = qobject_cast<QWidget*>(component);
    if (widget == nullptr || widget->isWindow() || qobject_cast<QMenu*>(widget) != nullptr ||
        qobject_cast<QMenuBar*>(widget) != nullptr) {
        return nullptr;
    }
    return widget;
}

} // namespace

TSaveFormControlPos::TSaveFormControlPos(QWidget* owner, QString defaultIniFile, ComponentList components)
    : TSaveFormPos(owner, std::move(defaultIniFile)), components_(std::move(components)) {}

void TSaveFormControlPos::SaveControlPositions() {
    SaveFormPosition();
    if (OwnerWindow() == nullptr) {
        return;
    }
    const IniFile ini = Ini();
    const std::vector<QObject*> components = components_ ? components_() : [this] {
        const QList<QObject*> found = OwnerWindow()->findChildren<QObject*>();
        return std::vector<QObject*>(found.begin(), found.end());
    }();
    for (QObject* component : components) {
        QWidget* control = AsControl(component);
        if (control == nullptr || component->objectName().isEmpty()) {
            continue;
        }
        const std::string section = component->objectName().toStdString();
        ini.WriteInteger(section, "LEFT", control->x());
        ini.WriteInteger(section, "TOP", control->y());
        ini.WriteInteger(section, "WIDTH", control->width());
        ini.WriteInteger(section, "HEIGHT", control->height());
        if (auto* grid = qobject_cast<QTableView*>(control); grid != nullptr && grid->model() != nullptr) {
            for (int c = 0; c < grid->model()->columnCount(); ++c) {
                ini.WriteInteger(section, "COL" + std::to_string(c), grid->columnWidth(c));
            }
        }
    }
}

} // namespace quorvel
