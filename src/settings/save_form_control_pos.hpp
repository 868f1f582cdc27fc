// The position keeper of the main window: the window's place, and also the bounds
// of every control and the column widths of every grid, one section per control.
// Control bounds are written only, never read back.
#pragma once

#include "settings/save_form_pos.hpp"

#include <functional>
#include <vector>

namespace quorvel {

class TSaveFormControlPos : public TSaveFormPos {
    Q_OBJECT
public:
    // `components` lists the window's components in the order the window owns
    // them; without it, the window's descendants are taken, parents first.
    using ComponentList = std::function<std::vector<QObject*>()>;
    TSaveFormControlPos(QWidget* owner, QString defaultIniFile, ComponentList components = {});

    // SaveFormPosition, then for every control in owning order a section named
    // after it with "LEFT", "TOP", "WIDTH", "HEIGHT", and for a grid "COL0",
    // "COL1", ... with its column widths. Throws FileError at the first write
    // that fails; nothing after it is written.
    void SaveControlPositions();

private:
    ComponentList components_;
};

} // namespace quorvel
