#pragma once
// The five pictures of the run buttons and tabs, by index:
// 0 "start", 1 "Item 0" (the same picture), 2 "stop", 3 "home", 4 "startpressed".

#include <QIcon>
#include <QString>

namespace kerf {

enum ImageIndex : int {
    kImageStart = 0,
    kImageContinue = 1,
    kImageStop = 2,
    kImageHome = 3,
    kImageStartPressed = 4,
};

inline constexpr int kImageCount = 5;

// Resource path of a picture; empty for an index outside the list.
QString image_path(int index);
QIcon image_icon(int index);

}  // namespace kerf
