// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pixel sizes of a row's parts, shared by measuring, painting, hit testing and the editor.
namespace TreeMetrics {

constexpr int kMarginLeft = 2;
constexpr int kIndent = 18;      // per level
constexpr int kButtonWidth = 16; // cell of the expand button
constexpr int kButtonBox = 9;    // the drawn +/- box
constexpr int kImageSize = 16;
constexpr int kImageGap = 4;
constexpr int kTextMarginLeft = 2;
constexpr int kTextMarginRight = 4;
constexpr int kTextMarginV = 2;  // above and below the text
constexpr int kEditorMargin = 2; // the editor's document margin

} // namespace TreeMetrics
