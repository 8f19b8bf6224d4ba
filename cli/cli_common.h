#pragma once
// Shared by the quarrix-cli commands: loading and saving the set with the
// tool's exit statuses and messages.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/medium_match.h"
#include "model/root_file_info.h"
#include "model/set_file_error.h"
#include "platform/atomic_file.h"

enum {
  EXIT_OK = 0,
  EXIT_NOTHING = 1,  // nothing found or nothing changed
  EXIT_USAGE = 2,
  EXIT_MALFORMED = 3,  // not a set file
  EXIT_IO = 4,         // cannot be read or written
  EXIT_DAMAGED = 5,    // verify: files corrupt or unreadable
};

// Loads path into set (named after the file); a missing file gives a new
// empty set when createIfMissing. Reports failures on stderr; returns an exit status.
int LoadSetForCli(const std::string& path, std::unique_ptr<CRootFileInfo>& set, bool createIfMissing = false);
// For the commands that load, change and save a set: LoadSetForCli under a
// lock that lock holds until the command ends, so a second program changing
// the same set waits and then reads what the first saved. Ctrl+C or SIGTERM
// end the wait, and the command with 130 or 143.
int LoadSetForChange(const std::string& path, std::unique_ptr<CRootFileInfo>& set, CReplaceLock& lock,
                     bool createIfMissing = false);
// How SaveSetForCli saves: under the lock LoadSetForChange took, under one
// taken for the save, or only where no file is.
enum class ECliSave { LockHeld, Replace, CreateOnly };
// Saves atomically; reports failures on stderr; returns an exit status.
// Ctrl+C or SIGTERM before the file is replaced stop the save (130 or 143).
// A set whose records did not all read is saved only as CheckSaveKeepsRecords allows.
int SaveSetForCli(const std::string& path, const CRootFileInfo& set, ECliSave how);
// The save options of this run (cli_args.h), for every save it makes.
struct CSaveArgs;
void SetSaveArgs(const CSaveArgs& save);
// EXIT_OK when saving set to path loses no record: its block read whole,
// or --drop-damaged-records was given. Else says what a save would lose
// and how to go on, and gives EXIT_IO. A command with long work before
// its save asks first, so that the work is not done for nothing.
int CheckSaveKeepsRecords(const CRootFileInfo& set, const std::string& path);

// EXIT_OK, or a usage error when output, a file the command writes, is the
// set file setPath it reads under any name: writing would replace the set.
// "-" and "" stand for standard output.
int RefuseOutputOverSet(const std::string& setPath, const std::string& output);

// Command-line text is taken as UTF-8; stray bytes become U+FFFD.
std::string ArgText(const std::string& arg);

// The user's text for a set file error on path; empty for ESetFileError::None.
std::string SetFileErrorText(ESetFileError error, const std::string& path);
// The same for a failed write of path: a refusal that was not the file's own
// was its folder's, and the text names the folder.
std::string WriteErrorText(ESetFileError error, const std::string& path);

// Writes "quarrix-cli: text" and a line feed on stderr.
void ReportError(const std::string& text);
// Reports a mistake in the command line followed by the usage; returns EXIT_USAGE.
int UsageError(const std::string& text);
void PrintUsage(std::FILE* out);
// The usage lines of one command and the exit statuses; false for an unknown command.
bool PrintCommandUsage(std::FILE* out, const std::string& command);

// text fit for one field of a line of output: control characters (tabs and
// line feeds included) and invalid UTF-8 become U+FFFD.
std::string LineText(std::string_view text);
// Reports every path that names no item in set; true when there was one.
bool ReportMissingPaths(const CRootFileInfo& set, const std::vector<std::string>& paths);
// Names on stderr the places a scan could not read, when there were any.
struct CUnreadableSummary;
void ReportUnreadable(const CUnreadableSummary& unreadable);
// The name a set's lines start with when a command reads several: its file's name.
std::string SetFileLabel(const std::string& path);
// The set files among the leading operands: the first always, then each
// that ends in ".fcf" and is a file (a logical path is neither); they leave
// operands.
std::vector<std::string> TakeSetOperands(std::vector<std::string>& operands);

// For the commands that make a catalog: a label that cannot be one (empty,
// or holding the separator) is reported, with EXIT_USAGE; else EXIT_OK.
int CheckNewLabel(const std::string& label);
// Reports a label that already names an item of set; true then.
bool ReportLabelTaken(const CRootFileInfo& set, const std::string& label);
// Prints the line of a new catalog: LABEL<TAB>MEDIA TYPE<TAB>ITEMS<TAB>BYTES.
void PrintNewCatalog(const CDriveFileInfo& catalog);
// How a command takes a medium that is not plainly the catalog's.
struct CMediumAcceptance {
  std::string strAction;        // the command's noun ("更新")
  bool bForce = false;          // --force given: any medium goes, with a notice
  bool bPathsGiven = false;     // --paths given: another folder of the medium is meant
  bool bPathsAccepted = false;  // the command takes --paths
};
// Whether the place may be scanned for catalog: its medium by the one rule
// (or not known otherwise, with a notice), or what how allows; else says
// why on stderr, naming both media. judged, when given, gets the verdict.
bool MediumAccepted(const CDriveFileInfo& catalog, const std::string& place, const CMediumAcceptance& how,
                    CMediumVerdict* judged = nullptr);
// Names on stderr every file whose content could not be read for its fingerprint.
void ReportUnhashed(const std::vector<std::string>& paths);
// The archives an add or update could not open, on standard error.
void ReportUnlisted(const std::vector<std::string>& paths);
// --archive-depth's value: 1 to kMaxArchiveDepth.
bool ParseArchiveDepth(const std::string& value, int& depth);
// Writes text to stdout as it is.
void WriteOut(std::string_view text);
// Writes UTF-8 text to stream (stdout or stderr): a Windows console gets it
// as text whatever its code page; pipes and files get the UTF-8 bytes.
void WriteText(std::FILE* stream, std::string_view text);
// The same on stderr.
void WriteErr(std::string_view text);

int CmdAdd(const std::vector<std::string>& args);
int CmdUpdate(const std::vector<std::string>& args);
int CmdNew(const std::vector<std::string>& args);
int CmdCopy(const std::vector<std::string>& args);
int CmdDump(const std::vector<std::string>& args);
int CmdLs(const std::vector<std::string>& args);
int CmdFind(const std::vector<std::string>& args);
int CmdInfo(const std::vector<std::string>& args);
int CmdNote(const std::vector<std::string>& args);
int CmdRm(const std::vector<std::string>& args);
int CmdReport(const std::vector<std::string>& args);
int CmdIdentify(const std::vector<std::string>& args);
int CmdExport(const std::vector<std::string>& args);
int CmdImport(const std::vector<std::string>& args);
int CmdVerify(const std::vector<std::string>& args);
int CmdHashes(const std::vector<std::string>& args);
int CmdCopies(const std::vector<std::string>& args);
int CmdDupes(const std::vector<std::string>& args);
