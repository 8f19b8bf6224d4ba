#include "model/member_copy.h"

#include "model/copy_name.h"
#include "model/work_progress.h"

EExtract CMemberCopy::Extract(CContentReader& reader, const std::string& archivePath, const CMemberPath& where,
                              const std::string& area, CWorkProgress* progress) {
  if (where.levels.empty() || where.levels.back().empty()) return EExtract::NotFound;
  if (m_copy.Create(area, SafeCopyName(where.levels.back().back())) != 0) return EExtract::WriteFailed;
  const EExtract result = ExtractMember(
      reader, archivePath, where.levels, where.nListedSize,
      [this](const char* data, std::size_t size) { return m_copy.Write(data, size); }, progress);
  if (result != EExtract::Done) return result;
  if (m_copy.Close() != 0) return EExtract::WriteFailed;
  // Cancelled as the last bytes came: the user asked for nothing to be left.
  return progress != nullptr && progress->Cancelled() ? EExtract::Cancelled : EExtract::Done;
}

std::string CMemberCopy::Keep() {
  m_copy.Keep();
  return m_copy.Path();
}
