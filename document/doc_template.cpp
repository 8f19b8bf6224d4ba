#include "document/doc_template.h"

#include <wx/docview.h>

#include "document/explorer_ap_doc.h"
#include "resources/string_table.h"

std::string DocTemplateField(EDocTemplateField field) {
  const std::string texts = kDocTemplateString;
  std::size_t start = 0;
  for (int n = 0; n < int(field); ++n) {
    start = texts.find('\n', start);
    if (start == std::string::npos) return {};
    ++start;
  }
  const std::size_t end = texts.find('\n', start);
  return texts.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

wxString SetFileExtension() { return wxString::FromUTF8(DocTemplateField(DOC_EXTENSION)); }

wxString SetFileDialogFilter() {
  return wxString::FromUTF8(DocTemplateField(DOC_FILTER_NAME)) + "|*" + SetFileExtension() +
         wxString::FromUTF8("|すべてのファイル (*.*)|*");
}

wxDocTemplate* CreateSetTemplate(wxDocManager* manager, wxClassInfo* viewClass) {
  const wxString extension = SetFileExtension();
  return new wxDocTemplate(manager, wxString::FromUTF8(DocTemplateField(DOC_FILTER_NAME)), "*" + extension,
                           wxEmptyString, extension.Mid(1), wxString::FromUTF8(DocTemplateField(DOC_TYPE_ID)),
                           wxString::FromUTF8(DocTemplateField(DOC_SHORT_NAME)), CLASSINFO(CExplorerApDoc), viewClass,
                           wxTEMPLATE_VISIBLE);
}
