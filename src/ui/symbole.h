// The window's 16 x 16 icons (ImageList1 by index, plus the pictures of OK and delete buttons).
#pragma once

#include <QIcon>

namespace quintaro::ui {

// Index 0 to 12 of the image list; items with the same index share the picture.
QIcon symbol(int index);
QIcon okSymbol();
QIcon loeschenSymbol();

}  // namespace quintaro::ui
