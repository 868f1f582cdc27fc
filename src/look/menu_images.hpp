// Images of the menus, actions and buttons, and the program's icon, compiled into
// the program from resources/images.
#pragma once

#include <QIcon>

namespace quorvel {

// Image `index` of the menu images: 0 "Ouvrir", 1 the two save commands,
// 2 "Quitter", 3 the two erase commands, 4 "Executer", 5 "A propos", 6 "Aide".
QIcon MenuImage(int index);
QIcon PreviewButtonImage();
QIcon OkButtonImage();
// The program's icon, in the sizes the desktop asks for.
QIcon ProgramIcon();

} // namespace quorvel
