#include "ui/icon_grid.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/listctrl.h>
#include <wx/renderer.h>
#include <wx/settings.h>

namespace {

constexpr int kPad = 4;  // around an item's icon and label, pixels

int IconSize(bool large) { return large ? 32 : 16; }

}  // namespace

wxBEGIN_EVENT_TABLE(CIconGrid, wxScrolledCanvas)
  EVT_PAINT(CIconGrid::OnPaint)
  EVT_SIZE(CIconGrid::OnSize)
  EVT_MOUSE_EVENTS(CIconGrid::OnMouse)
  EVT_KEY_DOWN(CIconGrid::OnKeyDown)
  EVT_SET_FOCUS(CIconGrid::OnFocus)
  EVT_KILL_FOCUS(CIconGrid::OnFocus)
wxEND_EVENT_TABLE()

CIconGrid::CIconGrid(wxListCtrl* owner)
    : wxScrolledCanvas(owner, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxWANTS_CHARS), m_pOwner(owner) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX));
  ShowScrollbars(wxSHOW_SB_NEVER, wxSHOW_SB_DEFAULT);
}

void CIconGrid::SetItems(std::vector<wxString> labels, std::vector<int> images, bool large) {
  m_vecLabels = std::move(labels);
  m_vecImages = std::move(images);
  m_vecImages.resize(m_vecLabels.size(), -1);
  m_vecSelected.assign(m_vecLabels.size(), 0);
  m_bLarge = large;
  m_nFocus = m_nAnchor = m_nPressed = -1;
  Scroll(0, 0);
  Relayout();
}

void CIconGrid::SetImages(const wxVector<wxBitmapBundle>& small, const wxVector<wxBitmapBundle>& large) {
  m_vecSmallImages = small;
  m_vecLargeImages = large;
  Refresh();
}

void CIconGrid::SetItem(long index, const wxString& label, int image) {
  if (index < 0 || index >= GetCount()) return;
  m_vecLabels[std::size_t(index)] = label;
  m_vecImages[std::size_t(index)] = image;
  RefreshItem(index);
}

void CIconGrid::Relayout() {
  // One line of label: under the icon when large, beside it when small.
  const int line = GetCharHeight();
  // Lengths of a 96 DPI screen, in the window's pixels (the same ones under GTK).
  const int icon = FromDIP(IconSize(m_bLarge));
  const int pad = FromDIP(kPad);
  const int width = m_bLarge ? FromDIP(kLargeLabelWidth) + 2 * pad : icon + FromDIP(kSmallLabelWidth) + 3 * pad;
  const int height = m_bLarge ? icon + line + 3 * pad : std::max(icon, line) + 2 * pad;
  m_layout = MakeIconGridLayout(width, height, GetClientSize().x);
  SetScrollRate(0, m_layout.m_nCellHeight);
  SetVirtualSize(m_layout.m_nColumns * m_layout.m_nCellWidth,
                 int(m_layout.RowCount(GetCount())) * m_layout.m_nCellHeight);
  Refresh();
}

std::vector<long> CIconGrid::GetSelected() const {
  std::vector<long> rows;
  for (std::size_t i = 0; i < m_vecSelected.size(); ++i)
    if (m_vecSelected[i]) rows.push_back(long(i));
  return rows;
}

bool CIconGrid::IsSelected(long index) const {
  return index >= 0 && index < GetCount() && m_vecSelected[std::size_t(index)];
}

void CIconGrid::Select(const std::vector<long>& rows, long focus) {
  std::fill(m_vecSelected.begin(), m_vecSelected.end(), 0);
  for (long row : rows)
    if (row >= 0 && row < GetCount()) m_vecSelected[std::size_t(row)] = 1;
  m_nFocus = focus >= 0 && focus < GetCount() ? focus : -1;
  m_nAnchor = m_nFocus;
  Refresh();
}

wxRect CIconGrid::GetItemRect(long index) const {
  if (index < 0 || index >= GetCount()) return wxRect();
  const CIconCell cell = m_layout.CellOf(index);
  return wxRect(CalcScrolledPosition(wxPoint(cell.m_nX, cell.m_nY)), wxSize(cell.m_nWidth, cell.m_nHeight));
}

long CIconGrid::HitTest(const wxPoint& point) const {
  const wxPoint at = CalcUnscrolledPosition(point);
  return m_layout.ItemAt(at.x, at.y, GetCount());
}

void CIconGrid::EnsureVisible(long index) {
  if (index < 0 || index >= GetCount()) return;
  const int row = m_layout.CellOf(index).m_nY / m_layout.m_nCellHeight;
  const int first = GetViewStart().y;
  const int shown = std::max(1, GetClientSize().y / m_layout.m_nCellHeight);
  if (row < first)
    Scroll(-1, row);
  else if (row >= first + shown)
    Scroll(-1, row - shown + 1);
}

void CIconGrid::RefreshItem(long index) { RefreshRect(GetItemRect(index)); }

void CIconGrid::SendListEvent(wxEventType type, long index) {
  wxListEvent event(type, m_pOwner->GetId());
  event.SetEventObject(m_pOwner);
  event.m_itemIndex = index;
  event.m_item.m_itemId = index;
  event.m_pointDrag = m_pOwner->ScreenToClient(ClientToScreen(m_ptPressed));
  m_pOwner->GetEventHandler()->ProcessEvent(event);
}

void CIconGrid::MoveFocus(long index, bool extend, bool toggleOnly) {
  if (index < 0 || index >= GetCount()) return;
  if (toggleOnly) {
    m_vecSelected[std::size_t(index)] = !m_vecSelected[std::size_t(index)];
    m_nAnchor = index;
  } else if (extend && m_nAnchor >= 0) {
    std::fill(m_vecSelected.begin(), m_vecSelected.end(), 0);
    for (long i = std::min(m_nAnchor, index); i <= std::max(m_nAnchor, index); ++i) m_vecSelected[std::size_t(i)] = 1;
  } else {
    std::fill(m_vecSelected.begin(), m_vecSelected.end(), 0);
    m_vecSelected[std::size_t(index)] = 1;
    m_nAnchor = index;
  }
  m_nFocus = index;
  EnsureVisible(index);
  Refresh();
  SendListEvent(wxEVT_LIST_ITEM_SELECTED, index);
}

void CIconGrid::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  DoPrepareDC(dc);
  dc.SetBackground(wxBrush(GetBackgroundColour()));
  dc.Clear();
  dc.SetFont(GetFont());
  const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT);
  const wxColour selectedText = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
  const int icon = FromDIP(IconSize(m_bLarge));
  const int pad = FromDIP(kPad);
  const wxVector<wxBitmapBundle>& images = m_bLarge ? m_vecLargeImages : m_vecSmallImages;
  // Only the rows in sight are drawn: a folder may hold a hundred thousand.
  const wxRect shown(CalcUnscrolledPosition(wxPoint(0, 0)), GetClientSize());
  const long first = long(shown.y / m_layout.m_nCellHeight) * m_layout.m_nColumns;
  const long last = std::min(GetCount(), long(shown.GetBottom() / m_layout.m_nCellHeight + 1) * m_layout.m_nColumns);
  for (long i = std::max(0L, first); i < last; ++i) {
    const CIconCell cell = m_layout.CellOf(i);
    const wxString& label = m_vecLabels[std::size_t(i)];
    const wxSize extent = dc.GetTextExtent(label);
    wxPoint iconAt, labelAt;
    if (m_bLarge) {
      iconAt = wxPoint(cell.m_nX + (cell.m_nWidth - icon) / 2, cell.m_nY + pad);
      labelAt = wxPoint(cell.m_nX + std::max(pad, (cell.m_nWidth - extent.x) / 2), iconAt.y + icon + pad);
    } else {
      iconAt = wxPoint(cell.m_nX + pad, cell.m_nY + (cell.m_nHeight - icon) / 2);
      labelAt = wxPoint(iconAt.x + icon + pad, cell.m_nY + (cell.m_nHeight - extent.y) / 2);
    }
    const wxRect labelRect(labelAt, wxSize(std::min(extent.x, cell.m_nX + cell.m_nWidth - labelAt.x), extent.y));
    const bool selected = m_vecSelected[std::size_t(i)] != 0;
    if (selected) {
      int flags = wxCONTROL_SELECTED;
      if (HasFocus()) flags |= wxCONTROL_FOCUSED;
      wxRendererNative::Get().DrawItemSelectionRect(this, dc, wxRect(labelRect).Inflate(1), flags);
    } else if (i == m_nFocus && HasFocus()) {
      wxRendererNative::Get().DrawFocusRect(this, dc, wxRect(labelRect).Inflate(1));
    }
    const int image = m_vecImages[std::size_t(i)];
    if (image >= 0 && std::size_t(image) < images.size())
      dc.DrawBitmap(images[std::size_t(image)].GetBitmap(wxSize(icon, icon)), iconAt, true);
    dc.SetTextForeground(selected ? selectedText : text);
    // The label was cut to its cell; the clip keeps any rest inside it.
    wxDCClipper clip(dc, wxRect(cell.m_nX, cell.m_nY, cell.m_nWidth, cell.m_nHeight));
    dc.DrawText(label, labelAt);
  }
}

void CIconGrid::OnSize(wxSizeEvent& event) {
  Relayout();
  event.Skip();
}

void CIconGrid::OnFocus(wxFocusEvent& event) {
  Refresh();
  event.Skip();
}

void CIconGrid::OnMouse(wxMouseEvent& event) {
  const long hit = HitTest(event.GetPosition());
  if (event.LeftDown() || event.RightDown()) {
    SetFocus();
    m_ptPressed = event.GetPosition();
    m_nPressed = event.LeftDown() ? hit : -1;
    if (hit < 0) {
      if (!event.ControlDown() && !event.ShiftDown()) Select({}, m_nFocus);
    } else if (event.LeftDown() && (event.ControlDown() || event.ShiftDown())) {
      MoveFocus(hit, event.ShiftDown(), event.ControlDown() && !event.ShiftDown());
    } else if (!IsSelected(hit)) {
      MoveFocus(hit, false, false);
    }
  } else if (event.LeftUp()) {
    // A plain click on one of several selected items keeps them for a
    // drag until the button comes up.
    if (m_nPressed >= 0 && m_nPressed == hit && !event.ControlDown() && !event.ShiftDown() && GetSelected().size() > 1)
      MoveFocus(hit, false, false);
    m_nPressed = -1;
  } else if (event.LeftDClick() && hit >= 0) {
    SendListEvent(wxEVT_LIST_ITEM_ACTIVATED, hit);
  } else if (event.Dragging() && event.LeftIsDown() && m_nPressed >= 0) {
    const wxPoint moved = event.GetPosition() - m_ptPressed;
    if (std::abs(moved.x) > wxSystemSettings::GetMetric(wxSYS_DRAG_X, this) ||
        std::abs(moved.y) > wxSystemSettings::GetMetric(wxSYS_DRAG_Y, this)) {
      const long pressed = m_nPressed;
      m_nPressed = -1;
      SendListEvent(wxEVT_LIST_BEGIN_DRAG, pressed);
    }
  }
  event.Skip();
}

void CIconGrid::OnKeyDown(wxKeyEvent& event) {
  // The list's own key handlers come first (Enter, Tab, ...), as with the
  // toolkit's list.
  wxKeyEvent forwarded(event);
  forwarded.SetEventObject(m_pOwner);
  if (m_pOwner->GetEventHandler()->ProcessEvent(forwarded)) return;
  const long count = GetCount();
  const int perPage = std::max(1, GetClientSize().y / m_layout.m_nCellHeight);
  long next = -1;
  switch (event.GetKeyCode()) {
    case WXK_LEFT: next = m_layout.Step(m_nFocus, -1, 0, count); break;
    case WXK_RIGHT: next = m_layout.Step(m_nFocus, 1, 0, count); break;
    case WXK_UP: next = m_layout.Step(m_nFocus, 0, -1, count); break;
    case WXK_DOWN: next = m_layout.Step(m_nFocus, 0, 1, count); break;
    case WXK_PAGEUP: next = m_layout.Step(m_nFocus, 0, -perPage, count); break;
    case WXK_PAGEDOWN: next = m_layout.Step(m_nFocus, 0, perPage, count); break;
    case WXK_HOME: next = count > 0 ? 0 : -1; break;
    case WXK_END: next = count - 1; break;
    case WXK_SPACE:
      if (event.ControlDown()) MoveFocus(m_nFocus, false, true);
      return;
    default: event.Skip(); return;
  }
  MoveFocus(next, event.ShiftDown(), false);
}
