#pragma once
// The size each option's and the button's caption is drawn at, the same rule
// in both windows. The layout was designed around a 9-point font and a
// control may not grow, so a caption too large for its control gets a
// smaller size of the same font. Plain C++: each window measures in its own
// way and steps in its own unit (half points, pixels).

namespace quillbox::ui {

// `designed` when the caption fits at that size, or when that is already at
// or below `smallest`; else the first of `designed` less one, two, ...
// `step` at which `fits(size)` holds (the largest that fits), going down no
// further than the first at or below `smallest`, which is taken untried.
template <typename Size, typename Fits>
Size FittingSize(Size designed, Size step, Size smallest, const Fits& fits) {
  Size size = designed;
  for (int k = 1; size > smallest && !fits(size); ++k) size = designed - step * k;
  return size;
}

}  // namespace quillbox::ui
