#pragma once
// Widths of the list's columns (name, size, kind, date, note): the first
// ones of a set, and the one a double click on a header divider fits.

#include <functional>
#include <string>
#include <vector>

#include "ui/list_rows.h"

// A text's width in the list's font, in its pixels.
using CTextWidth = std::function<int(const std::string&)>;
// A length in pixels of a 96 DPI screen, in the list's pixels (FromDIP).
using CFromDip = std::function<int(int)>;

// Each column's table width, widened so that its title, a full date
// ("2026/12/07 23:59"), a large size and the common kinds show whole.
std::vector<int> FirstColumnWidths(const CTextWidth& widthOf, const CFromDip& dip);

// The width that shows column's title and the cells of rows (the first
// kMaxMeasuredRows of them) whole.
inline constexpr std::size_t kMaxMeasuredRows = 5000;
int FittingColumnWidth(const std::vector<CListRow>& rows, int column, const std::string& title,
                       const CTextWidth& widthOf, const CFromDip& dip);

// The column whose right divider lies within slack of x (from the header's
// left edge, scrolling included), given the widths; -1 for none.
int ColumnOfDivider(const std::vector<int>& widths, int x, int slack);
