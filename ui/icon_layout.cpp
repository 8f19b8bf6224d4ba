#include "ui/icon_layout.h"

#include <algorithm>

CIconGridLayout MakeIconGridLayout(int cellWidth, int cellHeight, int width) {
  CIconGridLayout layout;
  layout.m_nCellWidth = std::max(1, cellWidth);
  layout.m_nCellHeight = std::max(1, cellHeight);
  layout.m_nColumns = std::max(1, width / layout.m_nCellWidth);
  return layout;
}

CIconCell CIconGridLayout::CellOf(long index) const {
  CIconCell cell;
  cell.m_nX = int(index % m_nColumns) * m_nCellWidth;
  cell.m_nY = int(index / m_nColumns) * m_nCellHeight;
  cell.m_nWidth = m_nCellWidth;
  cell.m_nHeight = m_nCellHeight;
  return cell;
}

long CIconGridLayout::ItemAt(int x, int y, long count) const {
  if (x < 0 || y < 0) return -1;
  const long column = x / m_nCellWidth;
  if (column >= m_nColumns) return -1;
  const long index = long(y / m_nCellHeight) * m_nColumns + column;
  return index < count ? index : -1;
}

long CIconGridLayout::RowCount(long count) const { return count <= 0 ? 0 : (count - 1) / m_nColumns + 1; }

long CIconGridLayout::Step(long index, int dx, int dy, long count) const {
  if (count <= 0) return -1;
  if (index < 0) return 0;
  const long next = index + dx + long(dy) * m_nColumns;
  // Down from the last full row stops at the last item; up stops at the top.
  return std::clamp(next, 0L, count - 1);
}
