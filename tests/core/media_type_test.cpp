// Media types from fake mount tables and device trees.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/scan.h"
#include "platform/media_type.h"

namespace fs = std::filesystem;

namespace {

// A mount table and a sysfs tree in a temporary folder.
class MediaTypeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "quarrix-media-XXXXXX").string();
    ASSERT_NE(nullptr, mkdtemp(pattern.data()));
    m_root = pattern;
    m_roots.strMountInfo = (m_root / "mountinfo").string();
    m_roots.strSysRoot = (m_root / "sys").string();
    fs::create_directories(m_root / "sys" / "dev" / "block");
    fs::create_directories(m_root / "sys" / "class" / "block");
  }
  void TearDown() override { fs::remove_all(m_root); }

  void Mount(const std::string& device, const std::string& mountPoint, const std::string& fsType,
             const std::string& source = "none") {
    const int id = ++m_nMountId;
    std::ofstream out(m_roots.strMountInfo, std::ios::app);
    out << id << " 1 " << device << " / " << mountPoint << " rw,relatime shared:" << id << " - " << fsType << " "
        << source << " rw\n";
  }

  static void WriteText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
  }

  // A disk (and optionally one partition of it) known as device numbers;
  // scsiType empty leaves device/type out, as for disks that are not SCSI.
  void AddDisk(const std::string& disk, const std::string& diskDevice, const std::string& scsiType, bool removable,
               const std::string& partition = "", const std::string& partDevice = "") {
    const fs::path diskDir = m_root / "sys" / "devices" / "pci0" / "block" / disk;
    WriteText(diskDir / "removable", removable ? "1" : "0");
    WriteText(diskDir / "dev", diskDevice);
    if (!scsiType.empty()) WriteText(diskDir / "device" / "type", scsiType);
    fs::create_symlink(diskDir, m_root / "sys" / "dev" / "block" / diskDevice);
    fs::create_symlink(diskDir, m_root / "sys" / "class" / "block" / disk);
    if (partition.empty()) return;
    WriteText(diskDir / partition / "partition", "1");
    fs::create_symlink(diskDir / partition, m_root / "sys" / "dev" / "block" / partDevice);
    fs::create_symlink(diskDir / partition, m_root / "sys" / "class" / "block" / partition);
  }

  std::string Media(const std::string& path) const { return MediaTypeOf(path, m_roots); }

  fs::path m_root;
  CMediaRoots m_roots;
  int m_nMountId = 20;
};

TEST_F(MediaTypeTest, DeviceQueryComesFirst) {
  AddDisk("st0", "9:0", "1", false);
  AddDisk("sr0", "11:0", "5", true);
  AddDisk("sdc", "8:32", "7", true, "sdc1", "8:33");
  AddDisk("fd0", "2:0", "", true);
  Mount("9:0", "/mnt/tape", "ext2");
  Mount("11:0", "/media/cd", "ext2");  // the device says CD-ROM whatever is on it
  Mount("8:33", "/media/mo", "vfat");
  Mount("2:0", "/media/floppy", "vfat");
  EXPECT_EQ(kMediaTape, Media("/mnt/tape/backup"));
  EXPECT_EQ(kMediaCdRom, Media("/media/cd"));
  EXPECT_EQ(kMediaMagnetoOptical, Media("/media/mo/x/y"));
  EXPECT_EQ(kMediaFloppy, Media("/media/floppy"));
}

TEST_F(MediaTypeTest, FileSystemAndDiskDecideTheRest) {
  AddDisk("sda", "8:0", "0", false, "sda1", "8:1");
  AddDisk("sdb", "8:16", "0", true, "sdb1", "8:17");
  AddDisk("loop0", "7:0", "", false);
  AddDisk("nvme0n1", "259:0", "", false, "nvme0n1p2", "259:2");
  Mount("8:1", "/", "ext4", "/dev/sda1");
  Mount("8:17", "/media/stick", "vfat", "/dev/sdb1");
  Mount("7:0", "/mnt/iso", "iso9660", "/dev/loop0");
  Mount("0:50", "/mnt/dvd", "udf", "/dev/sr9");
  Mount("0:30", "/run", "tmpfs", "tmpfs");
  Mount("0:31", "/mnt/ram", "ramfs", "ramfs");
  // btrfs reports a device number of its own; its source names the partition.
  Mount("0:45", "/home", "btrfs", "/dev/nvme0n1p2");
  Mount("0:46", "/var/lib/docker", "overlay", "overlay");
  EXPECT_EQ(kMediaFixed, Media("/etc"));
  EXPECT_EQ(kMediaRemovable, Media("/media/stick/photos"));
  EXPECT_EQ(kMediaCdRom, Media("/mnt/iso"));
  EXPECT_EQ(kMediaCdRom, Media("/mnt/dvd"));
  EXPECT_EQ(kMediaRamDisk, Media("/run/user"));
  EXPECT_EQ(kMediaRamDisk, Media("/mnt/ram"));
  EXPECT_EQ(kMediaFixed, Media("/home/user"));
  EXPECT_EQ(kMediaUnknown, Media("/var/lib/docker/x"));
}

TEST_F(MediaTypeTest, NetworkFileSystems) {
  const char* types[] = {"nfs",        "nfs4", "cifs", "smb3",      "smbfs", "9p",
                         "fuse.sshfs", "afs",  "ceph", "glusterfs", "davfs"};
  for (const char* type : types) Mount("0:60", std::string("/net/") + type, type, "server:/share");
  for (const char* type : types) EXPECT_EQ(kMediaNetwork, Media(std::string("/net/") + type + "/a")) << type;
  // Scans there read with more threads, as waiting on the server dominates.
  EXPECT_GE(DefaultScanThreads("/net/nfs/a", m_roots), kNetworkScanThreads);
}

TEST_F(MediaTypeTest, LongestWholeMountPointWins) {
  AddDisk("sda", "8:0", "0", false, "sda1", "8:1");
  Mount("8:1", "/", "ext4");
  Mount("0:70", "/mnt/cd", "iso9660");
  Mount("0:71", "/mnt/my\\040disk", "nfs");
  EXPECT_EQ(kMediaFixed, Media("/mnt/cdx/file"));  // /mnt/cd is not a prefix of /mnt/cdx
  EXPECT_EQ(kMediaCdRom, Media("/mnt/cd/file"));
  EXPECT_EQ(kMediaNetwork, Media("/mnt/my disk/file"));
  // A later mount at the same place covers the earlier one.
  Mount("0:72", "/mnt/cd", "tmpfs");
  EXPECT_EQ(kMediaRamDisk, Media("/mnt/cd/file"));
}

TEST_F(MediaTypeTest, UnknownWhenNothingAnswers) {
  EXPECT_EQ(kMediaUnknown, Media("/anything"));  // no mount table at all
  Mount("0:80", "/", "overlay", "overlay");
  Mount("8:99", "/data", "ext4", "/dev/quarrix-no-such-disk");  // no sysfs entry
  EXPECT_EQ(kMediaUnknown, Media("/"));
  EXPECT_EQ(kMediaUnknown, Media("/data/x"));
  EXPECT_EQ(kMediaUnknown, Media("relative/path"));
  EXPECT_EQ(kMediaUnknown, Media(""));
}

}  // namespace

TEST_F(MediaTypeTest, VolumeLabelAndRemovableMountsComeFromTheTables) {
  // The source device is matched through the by-label links, whose names
  // escape spaces.
  m_roots.strByLabel = (m_root / "by-label").string();
  fs::create_directories(m_root / "by-label");
  fs::create_directories(m_root / "dev");
  std::ofstream(m_root / "dev" / "sdb1").put('x');
  std::ofstream(m_root / "dev" / "sda2").put('x');
  fs::create_symlink("../dev/sdb1", m_root / "by-label" / "BACKUP\\x202026");
  fs::create_symlink("../dev/sda2", m_root / "by-label" / "root");
  AddDisk("sdb", "8:16", "0", true, "sdb1", "8:17");
  Mount("8:2", "/", "ext4", (m_root / "dev" / "sda2").string());
  Mount("8:17", "/mnt/usb\\040stick", "vfat", (m_root / "dev" / "sdb1").string());
  Mount("0:40", "/media/user/CD", "iso9660", "/dev/sr0");
  Mount("0:41", "/data", "ext4", "/dev/nolabel");

  EXPECT_EQ("BACKUP 2026", VolumeLabelOf("/mnt/usb stick", m_roots));
  EXPECT_EQ("root", VolumeLabelOf("/", m_roots));
  EXPECT_EQ("", VolumeLabelOf("/mnt/usb stick/sub", m_roots));  // not the root of the mount
  EXPECT_EQ("", VolumeLabelOf("/data", m_roots));

  EXPECT_EQ((std::vector<std::string>{"/mnt/usb stick", "/media/user/CD"}), RemovableMountPoints(m_roots));
  Mount("0:42", "/data", "tmpfs", "none");  // over the other: one mount point
  EXPECT_EQ((std::vector<std::string>{"/", "/mnt/usb stick", "/media/user/CD", "/data"}), MountPoints(m_roots));
}
