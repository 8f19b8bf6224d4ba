#include "platform/folder_id.h"

#include <sys/stat.h>

bool ReadFolderId(int fd, CFolderId& out) {
  struct stat status;
  if (fstat(fd, &status) != 0) return false;
  out = {status.st_dev, status.st_ino};
  return true;
}
