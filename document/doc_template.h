#pragma once
// The document type of catalog sets, built from the template texts of the
// string table.

#include <string>

#include <wx/string.h>

class wxClassInfo;
class wxDocManager;
class wxDocTemplate;

enum EDocTemplateField {
  DOC_WINDOW_TITLE = 0,  // "クオリクス"
  DOC_DEFAULT_NAME,      // empty: new documents take the framework's name
  DOC_SHORT_NAME,        // "Tallyh"
  DOC_FILTER_NAME,       // "クオリクス ファイル (*.fcf)"
  DOC_EXTENSION,         // ".fcf"
  DOC_TYPE_ID,           // "Tallyhold.Document"
  DOC_TYPE_NAME,         // "Tally Hold Document"
};

// One "\n"-separated field of the template texts (UTF-8); empty past the end.
std::string DocTemplateField(EDocTemplateField field);

// ".fcf"
wxString SetFileExtension();
// The file dialogs' filter: set files, then all files.
wxString SetFileDialogFilter();

// Registers the single catalog-set template with manager, which owns it.
// viewClass is the view the template makes with each document; null makes
// none.
wxDocTemplate* CreateSetTemplate(wxDocManager* manager, wxClassInfo* viewClass);
