#pragma once

class QWidget;

namespace travonix {

// The window's own colours: blue window and fields with yellow text,
// dark-blue lists, cyan buttons, a yellow menu bar whose "&File" menu is
// cyan while the other menus keep the desktop's colours. The control with
// the keyboard focus is framed in white, and disabled controls keep text
// that can be read on their background. With `desktop` the window takes the
// desktop's colours instead.
void applyWindowColours(QWidget& window, bool desktop);

} // namespace travonix
