#pragma once
// The fixture of the quarrix-cli tests: a temporary folder with a set file,
// and runs of the tool in a fixed time zone and locale, as root or as an
// ordinary user.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/set_file.h"
#include "model/text_format.h"

using CArgs = std::vector<std::string>;

struct CRun {
  int nStatus = -1;
  std::string strOut, strErr;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

inline std::uint64_t FileTime(std::int64_t seconds) { return UnixToFileTime(seconds, 0); }

inline CFileInfo* Add(CFolderFileInfo& folder, const std::string& name, std::uint32_t attributes,
                      std::uint64_t size = 0, std::int64_t modified = 0) {
  CFindData record;
  record.cFileName = name;
  record.dwFileAttributes = attributes;
  record.SetSize(size);
  record.ftLastWriteTime = modified == 0 ? 0 : FileTime(modified);
  return folder.AddChild(&record);
}

inline CFolderFileInfo* AddFolder(CFolderFileInfo& folder, const std::string& name, std::int64_t modified = 0) {
  return static_cast<CFolderFileInfo*>(Add(folder, name, 0x10, 0, modified));
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quarrix-cli-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_strDir = pattern;
    m_strSet = File("work.fcf");
  }
  void TearDown() override { std::filesystem::remove_all(m_strDir); }

  std::string File(const std::string& name) const { return m_strDir + "/" + name; }
  // Runs started from now on run as an ordinary user, whom permissions bind.
  bool m_bAsNobody = false;

  // Runs the tool in a fixed time zone and locale; the output goes to stdoutPath when given.
  CRun Run(CArgs args, const std::string& tz = "UTC", const std::string& stdoutPath = {}, rlim_t stack = 0) {
    return Wait(Start(std::move(args), tz, stdoutPath, stack), stdoutPath);
  }
  pid_t Start(CArgs args, const std::string& tz = "UTC", const std::string& stdoutPath = {}, rlim_t stack = 0) {
    std::vector<std::string> env = {"TZ=" + tz, "LC_ALL=C.UTF-8", "HOME=" + m_strDir};
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
      if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    args.insert(args.begin(), QUARRIX_CLI_PATH);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    for (auto& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const std::string out = stdoutPath.empty() ? File("stdout") : stdoutPath, err = File("stderr");
    std::ofstream(err, std::ios::trunc);  // what an earlier run said is gone before this one starts

    const pid_t pid = fork();
    if (pid == 0) {
      const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(126);
      const struct rlimit limit = {stack, stack};
      if (stack != 0) setrlimit(RLIMIT_STACK, &limit);
      if (m_bAsNobody && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(125);
      alarm(120);  // a run that hangs fails instead of stopping the suite
      execve(argv[0], argv.data(), envp.data());
      _exit(127);
    }
    return pid;
  }
  // True once the run Start began says on stderr that it waits for another program.
  bool SaysItWaits() {
    for (int i = 0; i < 600; ++i) {
      if (Has(ReadAll(File("stderr")), "終わるのを待っています")) return true;
      usleep(50000);
    }
    return false;
  }
  CRun Wait(pid_t pid, const std::string& stdoutPath = {}) {
    const std::string out = stdoutPath.empty() ? File("stdout") : stdoutPath, err = File("stderr");
    CRun run;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.nStatus = WEXITSTATUS(status);
    if (stdoutPath.empty()) run.strOut = ReadAll(out);
    run.strErr = ReadAll(err);
    return run;
  }

  // Two catalogs; the times are chosen so that UTC and JST days differ.
  void WriteSample() {
    CRootFileInfo set("ignored");
    set.SetNoteText("全体");
    auto cd = std::make_unique<CDriveFileInfo>("CD1", "/media/cd", CMediumFacts{"PC-01", "CD-ROM", 0, 681574400});
    CFolderFileInfo* docs = AddFolder(*cd, "Docs", 947030400);
    docs->SetNoteText("書類");
    CFindData report;
    report.cFileName = "Report.qx1";
    report.cAlternateFileName = "REPORT~1.QX1";
    report.dwFileAttributes = 0x21;
    report.SetSize(1024);
    report.ftCreationTime = FileTime(947376000);   // 2000/01/09 00:00 UTC
    report.ftLastWriteTime = FileTime(947534400);  // 2000/01/10 20:00 UTC
    docs->AddChild(&report)->SetNoteText("要確認");
    Add(*docs, "memo.qx2", 0x20, 1025, 947671200);  // 2000/01/12 10:00 UTC
    Add(*cd, "empty.qx1", 0x20, 0, 946641600);      // 1999/12/31 12:00 UTC
    AddFolder(*cd, "Docs2");
    set.AppendCatalog(std::move(cd), 946684800);  // 2000/01/01
    auto hd = std::make_unique<CDriveFileInfo>("HD", "/home/u",
                                               CMediumFacts{"PC-02", "固定ディスク", 1ULL << 33, 1ULL << 34});
    hd->SetNoteText("a\tb\nc\"d\\e");
    Add(*hd, "report.QX1", 0x20, 5ULL << 30, 951868800);
    set.AppendCatalog(std::move(hd), 949363200);  // 2000/02/01
    ASSERT_EQ(WriteSetFile(m_strSet, set), ESetFileError::None);
  }

  // 100 folders of 100 empty files.
  std::string MakeLargeTree() {
    const std::string tree = File("tree");
    for (int folder = 0; folder < 100; ++folder) {
      const std::string path = tree + "/f" + std::to_string(folder);
      std::filesystem::create_directories(path);
      for (int file = 0; file < 100; ++file) std::ofstream(path + "/" + std::to_string(file));
    }
    return tree;
  }

  // Sends SIGTERM to pid once it has a folder of tree open, so its scan is running.
  CRun StopWhileScanning(pid_t pid, const std::string& tree) {
    bool scanning = false;
    for (int i = 0; i < 20000 && !scanning; ++i) {
      std::error_code error;
      for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
        if (target.compare(0, tree.size(), tree) == 0) scanning = true;
      }
      if (!scanning) usleep(500);
    }
    EXPECT_TRUE(scanning);
    kill(pid, SIGTERM);
    return Wait(pid);
  }

  void ExpectOnlyTheSetAndTree() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_strDir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"stderr", "stdout", "tree", "work.fcf"}));
  }

  std::string m_strDir, m_strSet;
};
