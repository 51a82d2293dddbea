// The drive list from the mounts, the choice of drive, and the search filter's checks.
#include "app/drives.h"

#include <gtest/gtest.h>

#include "app/search_filter.h"

namespace barvane {
namespace {

using Drives = std::vector<std::string>;

class MountsFs final : public FileSystemWrapper {
 public:
  explicit MountsFs(std::vector<MountEntry> mounts)
      : FileSystemWrapper(FileSystem::Default()), mounts_(std::move(mounts)) {}
  bool ListMounts(std::vector<MountEntry>* out) override {
    *out = mounts_;
    return true;
  }

 private:
  std::vector<MountEntry> mounts_;
};

TEST(Drives, OnlyRealFileSystemsAreListedOnceEachAndAPathLiesOnItsLongestMountPoint) {
  MountsFs fs({{"/home", "ext4"},
               {"/proc", "proc"},
               {"/sys", "sysfs"},
               {"/sys/fs/cgroup", "cgroup2"},
               {"/dev/pts", "devpts"},
               {"/run", "tmpfs"},
               {"/run/user/1000", "tmpfs"},
               {"/", "overlay"},
               {"/home", "ext4"},
               {"/Data", "ext4"},
               {"/run/media/usb", "vfat"},
               {"/boot/efi", "vfat"},
               {"/boot", "ext4"},
               {"/tmp", "tmpfs"}});
  EXPECT_EQ(ListDrives(fs),
            (Drives{"/", "/boot", "/boot/efi", "/Data", "/home", "/run/media/usb", "/tmp"}));

  // A path lies on its longest mount point prefix, by component.
  const Drives drives{"/", "/home", "/home/user/usb"};
  const std::pair<const char*, const char*> paths[] = {
      {"/home", "/home"}, {"/home/", "/home"}, {"/home/user/usb/x", "/home/user/usb"},
      {"/homework", "/"}, {"/home/user/usbstick", "/home"}, {"home/x", ""}};
  for (const auto& [path, drive] : paths) EXPECT_EQ(DriveOfPath(drives, path), drive) << path;
  EXPECT_EQ(DriveOfPath({"/home"}, "/etc"), "");
  // Drive letters and shares are roots on Windows only ("//srv/share" is a plain path on Unix).
  const Drives windows{"C:/", "D:/", "//srv/share"};
  struct Case {
    const char *path, *onWindows, *onUnix;
  };
  for (const Case& c : {Case{"C:/data", "C:/", ""}, Case{"C:/", "C:/", ""}, Case{"D:/x/y", "D:/", ""},
                        Case{"//srv/share/p", "//srv/share", "//srv/share"}, Case{"//srv/shared", "", ""},
                        Case{"E:/x", "", ""}, Case{"C:data", "", ""}, Case{"d:/x", "D:/", ""}}) {
#ifdef _WIN32
    EXPECT_EQ(DriveOfPath(windows, c.path), c.onWindows) << c.path;
#else
    EXPECT_EQ(DriveOfPath(windows, c.path), c.onUnix) << c.path;
#endif
  }

  EXPECT_EQ(ChooseDrive(drives, "/home", "/"), "/home");
  EXPECT_EQ(ChooseDrive(drives, "/gone", "/home/x"), "/home/user/usb");
  EXPECT_EQ(ChooseDrive(drives, "", "/home/x"), "/home");
  EXPECT_EQ(ChooseDrive({"/home", "/srv"}, "", "/etc"), "/srv");
  EXPECT_EQ(ChooseDrive({}, "/home", "/home"), "");
}

TEST(SearchFilter, PathChecksChangesAndTheDriveRescanned) {
  const Drives drives{"/", "/home"};
  EXPECT_TRUE(FilterPathAcceptable(drives, "/home/data"));
  EXPECT_FALSE(FilterPathAcceptable(drives, "data/x"));
  EXPECT_FALSE(FilterPathAcceptable(drives, ""));
  EXPECT_FALSE(FilterPathAcceptable({"/home"}, "/q/x"));

  const SearchFilter on = SearchFilter::Make(true, "/home/Data");
  EXPECT_FALSE(FilterChanged(on, SearchFilter::Make(true, "/HOME/data")));
  EXPECT_TRUE(FilterChanged(on, SearchFilter::Make(true, "/home/Data2")));
  EXPECT_TRUE(FilterChanged(on, SearchFilter::Make(false, "/home/Data")));
  EXPECT_FALSE(FilterChanged(SearchFilter::Make(false, "/a"), SearchFilter::Make(false, "/b")));

  EXPECT_EQ(DriveForRescan(drives, on, "/"), "/home");
  EXPECT_EQ(DriveForRescan(drives, SearchFilter::Make(false, "/home/x"), "/"), "/home");
  EXPECT_EQ(DriveForRescan(drives, SearchFilter::Make(false, "data"), "/home/me"), "/home");
  EXPECT_EQ(DriveForRescan({"/home", "/srv"}, SearchFilter::Make(false, ""), "/etc"), "/srv");
}

}  // namespace
}  // namespace barvane
