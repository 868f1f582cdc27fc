#include "shell/menu_images.hpp"

#include <QApplication>
#include <QStyle>

namespace quorvel {

QIcon MenuImage(int index) {
    static const QStyle::StandardPixmap kImages[] = {
        QStyle::SP_DialogOpenButton, QStyle::SP_DialogSaveButton, QStyle::SP_DialogCloseButton,
        QStyle::SP_TrashIcon,        QStyle::SP_MediaPlay,        QStyle::SP_MessageBoxInformation,
        QStyle::SP_DialogHelpButton,
    };
    if (index < 0 || index >= static_cast<int>(std::size(kImages))) {
        return {};
    }
    return QApplication::style()->standardIcon(kImages[index]);
}

QIcon PreviewButtonImage() {
    return QApplication::style()->standardIcon(QStyle::SP_FileDialogContentsView);
}

QIcon OkButtonImage() {
    return QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton);
}

} // namespace quorvel
