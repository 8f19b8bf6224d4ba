#pragma once
// What can go wrong reading or writing a set file.

enum class ESetFileError {
  None,
  // The file is not a set file ("予期しないﾌｧｲﾙ形式です。").
  EndOfFile,    // ends inside a value, string or object
  BadIndex,     // a tag names an index not assigned yet, or the index ran out
  BadClass,     // unknown class, class name of 64 bytes or more, wrong kind of object
  BadObject,    // a reference to an earlier object or to no object where an item must stand
  NameTooLong,  // a name longer than its field (259 bytes, 13 for the short name)
  BadString,    // a length prefix that announces nothing readable
  // The file itself.
  EmptyFile,
  NotFound,
  AccessDenied,
  DiskFull,
  ReadFailure,
  WriteFailure,
  NotRegularFile,  // a folder, FIFO or device where a set would be written
  BrokenLink,      // a link to nothing where a set would be written
  AlreadyExists,   // a save that was only to make a new file met one
  ChangedOnDisk,   // another program replaced the file the save was to replace
  Cancelled,
};

inline bool IsMalformed(ESetFileError e) {
  return e == ESetFileError::EndOfFile || e == ESetFileError::BadIndex || e == ESetFileError::BadClass ||
         e == ESetFileError::BadObject || e == ESetFileError::NameTooLong || e == ESetFileError::BadString;
}

// The error for an errno value, or CAtomicFile::NOT_REGULAR or BROKEN_LINK, met writing a file.
ESetFileError WriteErrorFromErrno(int error);

// A short English name of the error, for logs and tests.
const char* SetFileErrorName(ESetFileError e);
