#pragma once
// Flat copies of items handed to views, searches and reports: they hold no
// pointers into the tree and belong to whoever asked for them.

#include <memory>
#include <string>
#include <vector>

#include "model/time_format.h"

class CFileInfo;

struct CItemSummary {
  std::string m_strName;
  bool m_bContainer = false;
  CFileInfo* m_pItem = nullptr;  // never set by the tree; kept for callers that attach one
  bool m_bCatalog = false;
  std::string m_strNote;
  std::string m_strTypeName;
  std::string m_strPath;
  std::string m_strSize;  // KB/MB form
  CTime m_timeModified = 0;
  bool m_bArchive = false;  // an archive whose members were listed
  // The archive the item was found in (its name), for members.
  std::string m_strArchive;
};

using CItemSummaryList = std::vector<std::unique_ptr<CItemSummary>>;

// The information record of an item or of a multiple selection.
struct CPropInfoData {
  enum { TYPE_SET = 0, TYPE_FILE = 1, TYPE_FOLDER = 2, TYPE_CATALOG = 3, TYPE_SEVERAL = 4 };
  int m_nType = 0;
  std::string m_strName;
  std::string m_strKind;
  std::string m_strNote;
  std::string m_strCreated;
  std::string m_strModified;
  std::string m_strPath;
  std::string m_strAttributes;
  std::string m_strSize;
  std::string m_strMachine;
  std::string m_strFreeSpace;
  std::string m_strTotalSpace;
  std::string m_strMedia;
  std::string m_strBasePath;
  std::string m_strCatalogCount;
  std::string m_strFingerprint;  // a file's XXH128 in hex, when its catalog took one
  // For a listed archive, its members and how far the listing got; for a
  // member, that it is one.
  std::string m_strArchive;
  // A catalog's record of its medium and of how it was made, several lines.
  std::string m_strRecord;
};
