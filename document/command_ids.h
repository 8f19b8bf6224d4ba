#pragma once
// Command ids of the menus, the toolbar and the views' context menus. The
// file commands (new, open, save, save as, recent files, exit) and the about
// box use wx's standard ids.
// wx menus take only ids below 0x7fff.

enum : int {
  ID_HELP_CONTENTS = 9,           // Help > contents
  ID_ADD_CATALOG = 16387,         // Ctrl+I
  ID_EDIT_NOTE = 16388,           // views
  ID_SEARCH = 16389,              // views
  ID_DELETE_CATALOG = 16390,      // views
  ID_SORT_BY_NAME = 16394,        // sort key 0
  ID_SORT_BY_TYPE = 16395,        // sort key 2
  ID_SORT_BY_SIZE = 16396,        // sort key 1
  ID_SORT_BY_DATE = 16397,        // sort key 3
  ID_SORT_BY_NOTE = 16398,        // sort key 4
  ID_PROPERTIES = 16400,          // views
  ID_SELECT_ALL = 16401,          // Ctrl+A
  ID_COPY_LOCATION = 16402,       // views
  ID_OPEN_FILE = 16403,           // list view
  ID_OUTPUT_CATALOG_SET = 16404,  // the HTML report
  ID_UPDATE_CATALOG = 16405,      // views
  ID_EXCLUDE_PATTERNS = 16406,    // the patterns new catalogs leave out
  ID_VERIFY_CATALOG = 16407,      // views
  ID_EXPORT_LIST = 16408,         // the plain file list
  ID_FIND_DUPLICATES = 16420,     // copies across media and sets: the groups
  ID_FIND_FEW_COPIES = 16421,     // copies across media and sets: files on few media
};

// Sort keys of the list view (CExplorerApDoc::m_nSortColumn).
enum : int { SORT_NAME = 0, SORT_SIZE = 1, SORT_TYPE = 2, SORT_DATE = 3, SORT_NOTE = 4 };
