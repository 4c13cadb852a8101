#pragma once
// The window's icon: the same images as the Windows icon, in every size a
// desktop may ask for.
#include <QIcon>

namespace quillbox::qt {

// Knows its sizes at once but decodes the images only when one is first
// drawn or asked for: many platforms never ask, and decoding all of them
// took a noticeable share of start-up.
QIcon WindowIcon();

}  // namespace quillbox::qt
