#pragma once
// Where the note dialog looks up the notes it starts from. The document
// forwards both calls to its set; tests hand the set itself in an adapter.

#include <string>
#include <vector>

class CNoteSource {
 public:
  virtual ~CNoteSource() = default;
  // out = the note of the item at path; unchanged when there is no such item.
  virtual void GetNote(const std::string& path, std::string& out) = 0;
  // out = the note every item of paths shares; unchanged when the list is
  // empty, an item is missing or two notes differ.
  virtual void GetCommonNote(const std::vector<std::string>& paths, std::string& out) = 0;
};
