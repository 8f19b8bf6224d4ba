#pragma once
// What the search pages search: the document's four search forwarders. Each
// walks the item at path (the whole set when path is empty or names nothing)
// and appends one record per match to out; nonzero when something matched.

#include <cstdint>
#include <optional>
#include <string>

#include "model/item_summary.h"
#include "model/search_fold.h"
#include "model/time_format.h"

class CSearchSource {
 public:
  virtual ~CSearchSource() = default;
  // A name pattern holding "*" or "?" matches whole names.
  virtual int FindByName(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                         CItemSummaryList& out, const CTextOptions& options) = 0;
  virtual int FindByNote(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                         CItemSummaryList& out, const CTextOptions& options) = 0;
  // Bounds in KB; 0 is no bound.
  virtual int FindBySize(const std::string& path, std::uint32_t lowerKB, std::uint32_t upperKB,
                         CItemSummaryList& out) = 0;
  virtual int FindByDate(const std::string& path, std::optional<CTime> lower, std::optional<CTime> upper,
                         CItemSummaryList& out) = 0;
};
