#pragma once
// The rows of the list in the large- and small-icon styles, drawn by the
// program: the toolkit's list puts icons in columns, top to bottom, and
// cannot place them in rows. The grid lives inside the list control and
// speaks for it: its clicks, keys and drags reach the list's handlers as
// the list's own events, so the view sees one control in every style.

#include <vector>

#include <wx/bmpbndl.h>
#include <wx/scrolwin.h>

#include "ui/icon_layout.h"

class wxListCtrl;

class CIconGrid : public wxScrolledCanvas {
 public:
  // owner is the list control whose events the grid sends.
  explicit CIconGrid(wxListCtrl* owner);

  // The images the items' image indices name, in both sizes.
  void SetImages(const wxVector<wxBitmapBundle>& small, const wxVector<wxBitmapBundle>& large);

  // Shows labels with their images, large or small; none selected.
  void SetItems(std::vector<wxString> labels, std::vector<int> images, bool large);
  void SetItem(long index, const wxString& label, int image);
  long GetCount() const { return long(m_vecLabels.size()); }
  const wxString& GetLabel(long index) const { return m_vecLabels[std::size_t(index)]; }

  std::vector<long> GetSelected() const;
  long GetFocused() const { return m_nFocus; }
  // Selects exactly rows; focus < 0 leaves none focused.
  void Select(const std::vector<long>& rows, long focus);
  bool IsSelected(long index) const;
  void EnsureVisible(long index);

  // An item's rectangle and the item at a point, in window coordinates.
  wxRect GetItemRect(long index) const;
  long HitTest(const wxPoint& point) const;

  // Width of a label in each style, in pixels.
  static constexpr int kLargeLabelWidth = 96;
  static constexpr int kSmallLabelWidth = 160;

 private:
  void Relayout();
  void RefreshItem(long index);
  void SendListEvent(wxEventType type, long index);
  void MoveFocus(long index, bool extend, bool toggleOnly);

  void OnPaint(wxPaintEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnMouse(wxMouseEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnFocus(wxFocusEvent& event);

  wxListCtrl* m_pOwner;
  std::vector<wxString> m_vecLabels;
  std::vector<int> m_vecImages;
  wxVector<wxBitmapBundle> m_vecSmallImages, m_vecLargeImages;
  std::vector<char> m_vecSelected;
  bool m_bLarge = true;
  long m_nFocus = -1;
  long m_nAnchor = -1;
  long m_nPressed = -1;  // the item a left press hit, until release
  wxPoint m_ptPressed;
  CIconGridLayout m_layout;

  wxDECLARE_EVENT_TABLE();
};
