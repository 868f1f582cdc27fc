#include "settings/save_form_pos.hpp"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace quorvel {

namespace {

constexpr int kMaxCoordinate = 1 << 24;

// The part of the screen a window may take: the primary screen's, less the panels
// and docks of the desktop. Empty when there is no screen.
QRect AvailableArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

// What the window manager adds around the window, once it is known (after the
// window was first shown); nothing before.
QSize FrameExtra(const QWidget& window) {
    const QSize extra = window.frameGeometry().size() - window.size();
    return QSize(std::max(extra.width(), 0), std::max(extra.height(), 0));
}

// A place along one axis that keeps an extent of `extent` from `start` inside
// [areaStart, areaStart + areaExtent); the area's start when it cannot fit.
int PlaceInside(qint64 start, int extent, int areaStart, int areaExtent) {
    const qint64 last = qint64{areaStart} + areaExtent - extent;
    return static_cast<int>(std::max<qint64>(areaStart, std::min(start, last)));
}

// Shrinks the window to the area if it is larger (as far as its minimum size lets it).
void ShrinkInto(QWidget& window, const QRect& area) {
    const QSize room = area.size() - FrameExtra(window);
    const QSize size = window.size().boundedTo(room.expandedTo(QSize(1, 1)));
    if (size != window.size()) {
        window.resize(size);
    }
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace

TSaveFormPos::TSaveFormPos(QWidget* owner, QString defaultIniFile)
    : QObject(owner), owner_(owner), defaultIniFile_(std::move(defaultIniFile)) {}

TSaveFormPos::~TSaveFormPos() {
    if (owner_ == nullptr) {
        return;
    }
    try {
        SaveFormPosition();
    } catch (const std::exception&) {
        // The window is going away; a failure to write was already reported when it
        // closed, and there is nobody left to tell.
    }
}

QString TSaveFormPos::ResolveIniFile() {
    if (iniFileName_.isEmpty()) {
        iniFolder_ = FolderOf(defaultIniFile_);
        iniFileName_ = QFileInfo(defaultIniFile_).fileName();
    } else if (iniFileName_.contains(QLatin1Char('/'))) {
        iniFolder_ = FolderOf(iniFileName_);
    } else if (iniFolder_.isEmpty()) {
        iniFolder_ = FolderOf(defaultIniFile_);
    }
    return iniFolder_ + QFileInfo(iniFileName_).fileName();
}

IniFile TSaveFormPos::Ini() {
    return IniFile(QFile::encodeName(ResolveIniFile()).toStdString());
}

void TSaveFormPos::LoadFormPos(bool centre) {
    const IniFile ini = Ini();
    if (owner_ == nullptr || !ini.Exists()) {
        return;
    }
    const int state = ini.ReadInteger(kSection, "WINDOWSTATE", 0);
    // The size first, so that the place below is checked with the restored size. A
    // size of zero or below is no size: it reads as missing.
    const int w = ini.ReadInteger(kSection, "WIDTH", -1);
    const int h = ini.ReadInteger(kSection, "HEIGHT", -1);
    owner_->resize(w > 0 ? w : owner_->width(), h > 0 ? h : owner_->height());
    // Never larger than the screen's available area, and never partly outside it.
    const QRect area = AvailableArea();
    if (area.isValid()) {
        ShrinkInto(*owner_, area);
    }
    const QSize frame = owner_->size() + FrameExtra(*owner_);
    auto place = [&](int stored, int current, int areaStart, int areaExtent, int extent) {
        if (!area.isValid()) {
            // No screen to keep it on: a place far outside any is still kept within
            // what window geometry holds, so that no later computation overflows.
            return stored != -1 ? std::clamp(stored, -kMaxCoordinate, kMaxCoordinate) : current;
        }
        if (stored != -1) {
            return PlaceInside(stored, extent, areaStart, areaExtent);
        }
        if (centre) {
            return PlaceInside(qint64{areaStart} + (areaExtent - extent) / 2, extent, areaStart, areaExtent);
        }
        return current;
    };
    const int left =
        place(ini.ReadInteger(kSection, "LEFT", -1), owner_->x(), area.x(), area.width(), frame.width());
    const int top =
        place(ini.ReadInteger(kSection, "TOP", -1), owner_->y(), area.y(), area.height(), frame.height());
    owner_->move(left, top);
    switch (state & 0xFF) {
    case 1:
        owner_->setWindowState(Qt::WindowMinimized);
        break;
    case 2:
        owner_->setWindowState(Qt::WindowMaximized);
        break;
    default:
        owner_->setWindowState(Qt::WindowNoState);
        break;
    }
}

void TSaveFormPos::SaveFormPosition() {
    const IniFile ini = Ini();
    if (owner_ == nullptr) {
        return;
    }
    const Qt::WindowStates states = owner_->windowState();
    // A maximised window keeps the bounds it had when it was last saved normal.
    if (!(states & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        ini.WriteInteger(kSection, "LEFT", owner_->x());
        ini.WriteInteger(kSection, "TOP", owner_->y());
        ini.WriteInteger(kSection, "WIDTH", owner_->width());
        ini.WriteInteger(kSection, "HEIGHT", owner_->height());
    }
    const int state = (states & Qt::WindowMinimized) ? 1 : (states & Qt::WindowMaximized) ? 2 : 0;
    ini.WriteInteger(kSection, "WINDOWSTATE", state);
}

void CentreOnPrimaryScreen(QWidget& window) {
    const QRect area = AvailableArea();
    if (!area.isValid()) {
        return;
    }
    ShrinkInto(window, area);
    const QSize frame = window.size() + FrameExtra(window);
    window.move(PlaceInside(qint64{area.x()} + (area.width() - frame.width()) / 2, frame.width(), area.x(),
                            area.width()),
                PlaceInside(qint64{area.y()} + (area.height() - frame.height()) / 2, frame.height(), area.y(),
                            area.height()));
}

} // namespace quorvel
