#pragma once
// Command ids of the menus, the toolbar and the views' context menus. The
// file commands (new, open, save, save as, recent files, exit) and the about
// box use wx's standard ids.

enum : int {
  ID_HELP_CONTENTS = 9,           // Help > contents
  ID_ADD_CATALOG = 32771,         // Ctrl+I
  ID_EDIT_NOTE = 32772,           // views
  ID_SEARCH = 32773,              // views
  ID_DELETE_CATALOG = 32774,      // views
  ID_SORT_BY_NAME = 32778,        // sort key 0
  ID_SORT_BY_TYPE = 32779,        // sort key 2
  ID_SORT_BY_SIZE = 32780,        // sort key 1
  ID_SORT_BY_DATE = 32781,        // sort key 3
  ID_SORT_BY_NOTE = 32782,        // sort key 4
  ID_PROPERTIES = 32784,          // views
  ID_SELECT_ALL = 32785,          // Ctrl+A
  ID_COPY_LOCATION = 32786,       // views
  ID_OPEN_FILE = 32787,           // list view
  ID_OUTPUT_CATALOG_SET = 32788,  // the HTML report
};

// Sort keys of the list view (CExplorerApDoc::m_nSortColumn).
enum : int { SORT_NAME = 0, SORT_SIZE = 1, SORT_TYPE = 2, SORT_DATE = 3, SORT_NOTE = 4 };
