#pragma once
// Where the icon styles of the list put their items: in rows, left to
// right, wrapping to the next row when the window is full, as a desktop
// file manager does. Every item has a cell of the same size, so a long
// label is cut to its cell and never runs into the next item.

struct CIconCell {
  int m_nX = 0;
  int m_nY = 0;
  int m_nWidth = 0;
  int m_nHeight = 0;
};

struct CIconGridLayout {
  int m_nCellWidth = 1;
  int m_nCellHeight = 1;
  int m_nColumns = 1;  // at least one, however narrow the window

  // The cell of item index (0 first), in the unscrolled grid.
  CIconCell CellOf(long index) const;
  // The item at x, y (unscrolled), or -1 outside every cell of count items.
  long ItemAt(int x, int y, long count) const;
  // The rows count items take.
  long RowCount(long count) const;
  // The item a move from index by columns and rows reaches, kept inside
  // count items (index -1: the first).
  long Step(long index, int dx, int dy, long count) const;
};

// Cells of cellWidth by cellHeight pixels in a window width pixels wide.
CIconGridLayout MakeIconGridLayout(int cellWidth, int cellHeight, int width);
