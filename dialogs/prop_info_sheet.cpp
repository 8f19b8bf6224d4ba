#include "dialogs/prop_info_sheet.h"

#include <wx/sizer.h>

#include "dialogs/dialog_rules.h"
#include "dialogs/drive_property.h"
#include "dialogs/file_property.h"
#include "dialogs/folder_property.h"
#include "dialogs/root_property.h"
#include "model/item_summary.h"

CPropInfoSheet::CPropInfoSheet(const std::string& caption, const CPropInfoData* pInfo, wxWindow* parent)
    : CPropertySheet(parent, caption, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
  switch (PropPageForType(pInfo->m_nType)) {
    case PROP_PAGE_ROOT: m_pPage = new CRootProperty(this, pInfo); break;
    case PROP_PAGE_FILE: m_pPage = new CFileProperty(this, pInfo); break;
    case PROP_PAGE_DRIVE: m_pPage = new CDriveProperty(this, pInfo); break;
    case PROP_PAGE_FOLDER: m_pPage = new CFolderProperty(this, pInfo, pInfo->m_nType); break;
  }
  m_pPage->CreatePage(this, m_pPage->GetLayoutName(), CPropInfoPage::kCaption);
  FinishLayout();
  // The page's labels were filled on its first show; the sheet now fits them.
  m_pPage->SetMinSize(m_pPage->GetSizer()->GetMinSize());
  LayoutDialog();
  Bind(wxEVT_INIT_DIALOG, &CPropInfoSheet::OnInitDialog, this);
}

void CPropInfoSheet::OnInitDialog(wxInitDialogEvent& event) {
  event.Skip();
  // Enter in the note box makes a new line; the focus starts on OK so that
  // a glance at the sheet can be closed with Enter.
  if (wxWindow* ok = FindWindow(wxID_OK)) ok->SetFocus();
}
