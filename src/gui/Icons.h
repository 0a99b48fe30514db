// Icons of the desktop: the application icon and toolbar icons from the desktop theme, each
// with a built-in fallback.
#pragma once

#include <QIcon>
#include <QStyle>

namespace ploxen {

/// The application icon (our own SVG, built into the program).
QIcon AppIcon();
/// Icon `name` of the freedesktop icon theme, else the style's `fallback`.
QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback);
/// A round marker of the message log for level 0..6 (odd levels: acknowledged, paler).
QIcon LevelIcon(int level);
/// Text colour of a log entry of `level`.
QColor LevelColour(int level);

}  // namespace ploxen
