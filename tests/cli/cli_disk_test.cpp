// quarrix-cli on real disks: loop-mounted ext4 images with chosen labels and
// UUIDs, each case run as root and again as an ordinary user, who may not
// read the devices.

#include <sys/mount.h>

#include "cli_fixture.h"

namespace {

// An ext4 image of 16 MB with a label and a UUID, mounted at a folder while
// it lives; nothing when the tools or mounting are not allowed here.
class CLoopDisk {
 public:
  CLoopDisk(const std::string& image, const std::string& label, const std::string& uuid) : m_strImage(image) {
    std::ofstream(image, std::ios::binary).close();
    std::filesystem::resize_file(image, 16u << 20);
    m_bMade =
        std::system(("mkfs.ext4 -q -F -L " + label + " -U " + uuid + " " + image + " >/dev/null 2>&1").c_str()) == 0;
  }
  ~CLoopDisk() { Unmount(); }
  bool Mount(const std::string& at) {
    std::filesystem::create_directories(at);
    m_strAt = at;
    m_bMounted = m_bMade && std::system(("mount -o loop " + m_strImage + " " + at + " 2>/dev/null").c_str()) == 0;
    if (m_bMounted) chmod(at.c_str(), 0755);
    return m_bMounted;
  }
  void Unmount() {
    if (m_bMounted) umount2(m_strAt.c_str(), MNT_DETACH);
    m_bMounted = false;
  }

 private:
  std::string m_strImage, m_strAt;
  bool m_bMade = false, m_bMounted = false;
};

class CliDiskTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    if (geteuid() != 0) GTEST_SKIP() << "needs root to mount disks and to run the tool as another user";
    // The ordinary user must reach the set and write it.
    chmod(m_strDir.c_str(), 0777);
  }
  void AllowUser() { chmod(m_strSet.c_str(), 0666); }
  static void Write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
  }
};

TEST_F(CliDiskTest, AnotherDiskWithTheSameLabelAndSizeIsRefusedForRootAndForAUser) {
  const std::string at = File("m");
  CLoopDisk disk1(File("1.img"), "DISK1", "11111111-2222-3333-4444-555555555555");
  if (!disk1.Mount(at)) GTEST_SKIP() << "mounting is not allowed here";
  Write(at + "/img1.jpg", "photo");
  Write(at + "/d/x.txt", "x");
  ASSERT_EQ(Run({"add", m_strSet, "DISK1", at, "--quiet"}).nStatus, 0);
  ASSERT_EQ(Run({"note", m_strSet, "--text", "メモ", "DISK1\\img1.jpg"}).nStatus, 0);
  AllowUser();
  // The catalog root made is the user's medium too: nothing to change.
  m_bAsNobody = true;
  CRun run = Run({"update", m_strSet, "DISK1", "--quiet"});
  EXPECT_EQ(run.nStatus, 1) << run.strErr;
  EXPECT_FALSE(Has(run.strErr, "メディア")) << run.strErr;
  EXPECT_EQ(Run({"identify", m_strSet, at}).strOut, "DISK1\tボリューム ID が一致\t変更なし\n");
  m_bAsNobody = false;
  disk1.Unmount();

  CLoopDisk disk2(File("2.img"), "DISK1", "66666666-2222-3333-4444-555555555555");
  ASSERT_TRUE(disk2.Mount(at));
  Write(at + "/img1.jpg", "other");
  const std::string before = ReadAll(m_strSet);
  for (const bool user : {false, true}) {
    m_bAsNobody = user;
    run = Run({"update", m_strSet, "DISK1", "--quiet"});
    EXPECT_EQ(run.nStatus, 1);
    EXPECT_TRUE(Has(run.strErr, "別のメディアがあります")) << run.strErr;
    EXPECT_TRUE(Has(run.strErr, "ID 11111111-2222-3333-4444-555555555555")) << run.strErr;
    EXPECT_EQ(Run({"identify", m_strSet, at}).nStatus, 1);
    run = Run({"verify", m_strSet, "DISK1"});
    EXPECT_EQ(run.nStatus, 4);
    EXPECT_TRUE(Has(run.strErr, "それでも検証するには --force を指定してください")) << run.strErr;
    EXPECT_EQ(ReadAll(m_strSet), before);
  }
}

TEST_F(CliDiskTest, WhatCannotBeReadOrIsAnotherFolderKeepsItsItemsAndNotes) {
  const std::string at = File("m");
  CLoopDisk disk(File("1.img"), "DISK1", "11111111-2222-3333-4444-555555555555");
  if (!disk.Mount(at)) GTEST_SKIP() << "mounting is not allowed here";
  Write(at + "/top.txt", "t");
  Write(at + "/d/sub/f.txt", "f");
  Write(at + "/e/g.txt", "g");
  ASSERT_EQ(Run({"add", m_strSet, "ALL", at, "--quiet"}).nStatus, 0);
  ASSERT_EQ(Run({"add", m_strSet, "PICK", at + "/d/sub", at + "/e", "--quiet"}).nStatus, 0);
  ASSERT_EQ(Run({"note", m_strSet, "--text", "メモ", "ALL\\top.txt", "PICK\\d\\sub\\f.txt"}).nStatus, 0);
  AllowUser();
  const std::string before = ReadAll(m_strSet);

  // A mistyped place on the right disk: a folder of it, not the one catalogued.
  CRun run = Run({"update", m_strSet, "ALL", at + "/e", "--quiet"});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "カタログの場所: " + at)) << run.strErr;

  // A root the user may not read, as a disk from a machine with other
  // user numbers: not read, never removed.
  chmod(at.c_str(), 0);
  m_bAsNobody = true;
  run = Run({"update", m_strSet, "ALL", "--quiet"});
  EXPECT_EQ(run.nStatus, 1) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "読めなかった場所 1 件:\n  ALL\n")) << run.strErr;
  EXPECT_TRUE(Has(run.strOut, "削除 0 /")) << run.strOut;
  EXPECT_EQ(Run({"verify", m_strSet, "ALL"}).nStatus, 5);
  m_bAsNobody = false;
  chmod(at.c_str(), 0755);

  // Chosen paths behind a folder that may not be searched.
  chmod((at + "/d").c_str(), 0);
  m_bAsNobody = true;
  run = Run({"update", m_strSet, "PICK", "--quiet"});
  EXPECT_EQ(run.nStatus, 1) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "PICK\\d\\sub")) << run.strErr;
  EXPECT_TRUE(Has(run.strOut, "削除 0 /")) << run.strOut;
  m_bAsNobody = false;
  chmod((at + "/d").c_str(), 0755);
  EXPECT_EQ(ReadAll(m_strSet), before);
}

TEST_F(CliDiskTest, AnUnmountedInnerMediumIsNotRead) {
  const std::string outer = File("outer");
  CLoopDisk disk(File("1.img"), "INNER", "11111111-2222-3333-4444-555555555555");
  if (!disk.Mount(outer + "/inner")) GTEST_SKIP() << "mounting is not allowed here";
  Write(outer + "/a.txt", "a");
  Write(outer + "/inner/b.txt", "b");
  ASSERT_EQ(Run({"add", m_strSet, "X", outer, "--cross-file-systems", "--quiet"}).nStatus, 0);
  ASSERT_EQ(Run({"note", m_strSet, "--text", "メモ", "X\\inner\\b.txt"}).nStatus, 0);
  disk.Unmount();
  AllowUser();
  const std::string before = ReadAll(m_strSet);
  for (const bool user : {false, true}) {
    m_bAsNobody = user;
    const CRun run = Run({"update", m_strSet, "X", "--quiet"});
    EXPECT_EQ(run.nStatus, 1) << run.strErr;
    EXPECT_TRUE(Has(run.strErr, "X\\inner")) << run.strErr;
    EXPECT_EQ(ReadAll(m_strSet), before);
  }
}

}  // namespace
