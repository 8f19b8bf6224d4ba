#pragma once
// Tells the user that a catalogued file is not at its place and asks what to
// do: look again, point at the file, or give up.

#include <string>

#include "dialogs/value_dialog.h"

class CLocateFileDlg : public CValueDialog {
 public:
  // How ShowModal ends.
  enum EEnd {
    END_CANCEL = 2,           // Cancel, Escape or the close box
    END_PLACE_CHOSEN = 1008,  // GetChosenPath holds the file the user pointed at
    END_SEARCH_AGAIN = 1041,  // the caller should look at the file's place again
  };

  // message: what the static shows; fileName: the name of the file sought,
  // the only name the file dialog lists.
  CLocateFileDlg(wxWindow* parent, const std::string& message, const std::string& fileName);

  const std::string& GetChosenPath() const { return m_strChosenPath; }

  // Shows the message and sounds the warning bell.
  bool TransferDataToWindow() override;

 private:
  void OnSearchAgain(wxCommandEvent& event);
  void OnSpecifyPlace(wxCommandEvent& event);

  std::string m_strMessage;
  std::string m_strFileName;
  std::string m_strChosenPath;
};
