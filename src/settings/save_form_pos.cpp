#include "settings/save_form_pos.hpp"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace quorvel {

namespace {

// A stored place far outside any screen is kept within what window geometry can
// hold, so that no later computation on it overflows.
constexpr int kMaxCoordinate = 1 << 24;

int ClampCoordinate(int value) {
    return std::clamp(value, -kMaxCoordinate, kMaxCoordinate);
}

QSize PrimaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize();
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
    // The size first, so that the bounds check below uses the restored size; never
    // larger than the screen.
    const QSize screen = PrimaryScreenSize();
    const int widest = screen.isValid() ? screen.width() : kMaxCoordinate;
    const int highest = screen.isValid() ? screen.height() : kMaxCoordinate;
    if (const int w = ini.ReadInteger(kSection, "WIDTH", -1); w != -1) {
        owner_->resize(std::clamp(w, 0, widest), owner_->height());
    }
    if (const int h = ini.ReadInteger(kSection, "HEIGHT", -1); h != -1) {
        owner_->resize(owner_->width(), std::clamp(h, 0, highest));
    }
    auto place = [&](int stored, int current, int screenExtent, int windowExtent) {
        if (stored != -1) {
            return screen.isValid() ? std::min(ClampCoordinate(stored), screenExtent - windowExtent)
                                    : ClampCoordinate(stored);
        }
        if (centre && screen.isValid()) {
            return (screenExtent - windowExtent) / 2;
        }
        return current;
    };
    const int left =
        place(ini.ReadInteger(kSection, "LEFT", -1), owner_->x(), screen.width(), owner_->width());
    const int top =
        place(ini.ReadInteger(kSection, "TOP", -1), owner_->y(), screen.height(), owner_->height());
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
    const QSize screen = PrimaryScreenSize();
    if (screen.isValid()) {
        window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
    }
}

} // namespace quorvel
