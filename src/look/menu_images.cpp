#include "look/menu_images.hpp"

#include <QString>
#include <iterator>

namespace quorvel {

QIcon MenuImage(int index) {
    static const char* const kImages[] = {"open", "save", "quit", "erase", "run", "about", "help"};
    if (index < 0 || index >= static_cast<int>(std::size(kImages))) {
        return {};
    }
    return QIcon(QStringLiteral(":/images/menu-%1.png").arg(QLatin1String(kImages[index])));
}

QIcon PreviewButtonImage() {
    return QIcon(QStringLiteral(":/images/button-preview.png"));
}

QIcon OkButtonImage() {
    return QIcon(QStringLiteral(":/images/button-ok.png"));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        icon.addFile(QStringLiteral(":/images/quorvel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace quorvel
