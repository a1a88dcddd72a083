#include "platform/os/kernel/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/desktop/Clock.h"
#include "platform/desktop/WriteStop.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/SysInfo.h"

namespace qv::os {
namespace {

class FileObject : public KernelObject {
 public:
  FileObject(int fd, std::string host, bool canRead, bool canWrite, bool deleteOnClose)
      : fd_(fd), host_(std::move(host)), read_(canRead), write_(canWrite), deleteOnClose_(deleteOnClose) {}
  ~FileObject() override {
    ::close(fd_);
    if (deleteOnClose_) ::unlink(host_.c_str());
  }
  int fd() const { return fd_; }
  bool canRead() const { return read_; }
  bool canWrite() const { return write_; }

 private:
  int fd_;
  std::string host_;
  bool read_, write_, deleteOnClose_;
};

class FindObject : public KernelObject {
 public:
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

std::shared_ptr<FileObject> fileOf(HANDLE h) {
  auto f = handleAs<FileObject>(h);
  if (!f) SetLastError(ERROR_INVALID_HANDLE);
  return f;
}

std::optional<std::string> resolveOrFail(LPCSTR path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  DWORD err = 0;
  auto host = resolveHostPath(path, &err);
  if (!host) SetLastError(err);
  return host;
}

FILETIME toFileTime(const struct timespec& ts) {
  // 100-ns intervals since 1601-01-01.
  ULONGLONG t =
      (static_cast<ULONGLONG>(ts.tv_sec) + 11644473600ull) * 10000000ull + static_cast<ULONGLONG>(ts.tv_nsec) / 100;
  return FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
}

bool isReadOnly(const struct stat& sb) { return (sb.st_mode & S_IWUSR) == 0; }

DWORD attributesOf(const struct stat& sb, const std::string& name) {
  DWORD a = S_ISDIR(sb.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (isReadOnly(sb)) a |= FILE_ATTRIBUTE_READONLY;
  if (name.size() > 1 && name[0] == '.' && name != "..") a |= FILE_ATTRIBUTE_HIDDEN;
  return a;
}

std::string baseName(const std::string& host) {
  std::string h = host;
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  size_t s = h.rfind('/');
  return s == std::string::npos ? h : h.substr(s + 1);
}

std::string parentOf(const std::string& host) {
  std::string h = host;
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  size_t s = h.rfind('/');
  if (s == std::string::npos) return ".";
  return s == 0 ? "/" : h.substr(0, s);
}

// Sets the error for a host path that could not be stat'ed.
void failStat(const std::string& host) {
  if (errno == ENOENT)
    SetLastError(missingPathError(host));
  else
    setLastErrorFromErrno();
}

bool globMatch(const char* p, const char* n) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*n) {
    if (*p == '?' || (*p && *p != '*' && *p == *n)) {
      ++p;
      ++n;
    } else if (*p == '*') {
      star = p++;
      resume = n;
    } else if (star) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

bool copyContents(int in, int out) {
  char buf[65536];
  for (;;) {
    ssize_t r = ::read(in, buf, sizeof buf);
    if (r == 0) return true;
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < r;) {
      ssize_t w = ::write(out, buf + done, static_cast<size_t>(r - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += w;
    }
  }
}

std::string tempSibling(const std::string& host) {
  static std::atomic<unsigned> counter{0};
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".qvtmp-%d-%u", static_cast<int>(::getpid()), ++counter);
  return parentOf(host) + "/." + baseName(host) + suffix;
}

// Copies a host file beside the target and renames it into place, keeping
// its permission bits (a read-only file stays read-only, as it does when the
// platform copies from a disc) and its time of last change.
bool copyHostFile(const std::string& from, const std::string& to, const struct stat& sb) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    setLastErrorFromErrno();
    return false;
  }
  std::string tmp = tempSibling(to);
  int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (out < 0) {
    if (errno == ENOENT)
      SetLastError(ERROR_PATH_NOT_FOUND);
    else
      setLastErrorFromErrno();
    ::close(in);
    return false;
  }
  bool ok = copyContents(in, out);
  if (!ok) setLastErrorFromErrno();
  ::close(in);
  if (ok) {
    ::fchmod(out, sb.st_mode & 07777);
    struct timespec times[2] = {sb.st_atim, sb.st_mtim};
    ::futimens(out, times);
  }
  if (::close(out) != 0 && ok) {
    setLastErrorFromErrno();
    ok = false;
  }
  if (ok && ::rename(tmp.c_str(), to.c_str()) != 0) {
    setLastErrorFromErrno();
    ok = false;
  }
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

}  // namespace

bool fileExists(const std::string& path) {
  auto host = toHostPath(path);
  struct stat sb;
  return host && ::stat(host->c_str(), &sb) == 0 && !S_ISDIR(sb.st_mode);
}

bool directoryExists(const std::string& path) {
  auto host = toHostPath(path);
  struct stat sb;
  return host && ::stat(host->c_str(), &sb) == 0 && S_ISDIR(sb.st_mode);
}

bool readWholeFile(const std::string& path, std::string& bytes) {
  auto host = resolveOrFail(path.c_str());
  if (!host) return false;
  int fd = ::open(host->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    failStat(*host);
    return false;
  }
  struct stat sb;
  if (::fstat(fd, &sb) == 0 && S_ISDIR(sb.st_mode)) {
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  bytes.clear();
  char buf[65536];
  ssize_t r;
  while ((r = ::read(fd, buf, sizeof buf)) > 0) bytes.append(buf, static_cast<size_t>(r));
  bool ok = r == 0;
  if (!ok) setLastErrorFromErrno();
  ::close(fd);
  return ok;
}

bool writeWholeFile(const std::string& path, const std::string& bytes) {
  auto host = resolveOrFail(path.c_str());
  if (!host) return false;
  struct stat sb;
  if (::stat(host->c_str(), &sb) == 0 && (S_ISDIR(sb.st_mode) || isReadOnly(sb))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  std::string tmp = tempSibling(*host);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == ENOENT)
      SetLastError(ERROR_PATH_NOT_FOUND);
    else
      setLastErrorFromErrno();
    return false;
  }
  bool ok = true;
  for (size_t done = 0; ok && done < bytes.size();) {
    ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0)
      ok = false;
    else
      done += static_cast<size_t>(w);
  }
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(tmp.c_str(), host->c_str()) == 0;
  if (!ok) {
    setLastErrorFromErrno();
    ::unlink(tmp.c_str());
  }
  if (ok) qv::desktop::fileChanged();
  return ok;
}

bool matchFilePattern(const std::string& pattern, const std::string& name) {
  std::string p = ansiUpperCase(pattern), n = ansiUpperCase(name);
  if (p == "*" || p == "*.*") return true;
  if (globMatch(p.c_str(), n.c_str())) return true;
  // "NAME.*" also finds "NAME" without an extension.
  if (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 && n.find('.') == std::string::npos)
    return globMatch(p.substr(0, p.size() - 2).c_str(), n.c_str());
  return false;
}

}  // namespace qv::os

using namespace qv::os;

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD flags,
                   HANDLE) {
  auto host = resolveOrFail(fileName);
  if (!host) return INVALID_HANDLE_VALUE;
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const bool wantRead = access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA);
  const bool wantWrite = access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA);
  struct stat sb;
  const bool existed = ::stat(host->c_str(), &sb) == 0;
  if (existed) {
    if (S_ISDIR(sb.st_mode)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    if (disposition == CREATE_NEW) {
      SetLastError(ERROR_FILE_EXISTS);
      return INVALID_HANDLE_VALUE;
    }
    // Checked here, not left to the host: a privileged host user could
    // write a file that the platform keeps read-only.
    if (isReadOnly(sb) && (wantWrite || disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
  } else if (errno != ENOENT) {
    setLastErrorFromErrno();
    return INVALID_HANDLE_VALUE;
  } else if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING) {
    SetLastError(missingPathError(*host));
    return INVALID_HANDLE_VALUE;
  }
  if (disposition == TRUNCATE_EXISTING && !wantWrite) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  int oflags = O_CLOEXEC | (wantRead && wantWrite ? O_RDWR : wantWrite ? O_WRONLY : O_RDONLY);
  switch (disposition) {
    case CREATE_NEW:
      oflags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      oflags |= O_CREAT | O_TRUNC;
      break;
    case OPEN_ALWAYS:
      oflags |= O_CREAT;
      break;
    case TRUNCATE_EXISTING:
      oflags |= O_TRUNC;
      break;
    default:
      break;
  }
  if ((oflags & (O_CREAT | O_TRUNC)) && !wantWrite) oflags = (oflags & ~O_ACCMODE) | O_RDWR;
  mode_t mode = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  int fd = ::open(host->c_str(), oflags, mode);
  if (fd < 0) {
    if (errno == ENOENT)
      SetLastError(missingPathError(*host));
    else if (errno == EEXIST)
      SetLastError(ERROR_FILE_EXISTS);
    else
      setLastErrorFromErrno();
    return INVALID_HANDLE_VALUE;
  }
  HANDLE h =
      addHandle(std::make_shared<FileObject>(fd, *host, wantRead, wantWrite, (flags & FILE_FLAG_DELETE_ON_CLOSE) != 0));
  SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS
                                                                                       : ERROR_SUCCESS);
  return h;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped) {
  if (read) *read = 0;
  auto f = fileOf(file);
  if (!f) return FALSE;
  if (!f->canRead()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (toRead > 0 && !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  off_t at =
      overlapped ? static_cast<off_t>((static_cast<ULONGLONG>(overlapped->OffsetHigh) << 32) | overlapped->Offset) : -1;
  DWORD done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < toRead) {
    ssize_t r =
        at >= 0 ? ::pread(f->fd(), out + done, toRead - done, at + done) : ::read(f->fd(), out + done, toRead - done);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      setLastErrorFromErrno();
      if (read) *read = done;
      return FALSE;
    }
    if (r == 0) break;  // end of file: success with what there was
    done += static_cast<DWORD>(r);
  }
  if (read) *read = done;
  if (overlapped) overlapped->InternalHigh = done;
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped) {
  if (written) *written = 0;
  auto f = fileOf(file);
  if (!f) return FALSE;
  if (!f->canWrite()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (toWrite > 0 && !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  off_t at =
      overlapped ? static_cast<off_t>((static_cast<ULONGLONG>(overlapped->OffsetHigh) << 32) | overlapped->Offset) : -1;
  DWORD done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < toWrite) {
    ssize_t w =
        at >= 0 ? ::pwrite(f->fd(), in + done, toWrite - done, at + done) : ::write(f->fd(), in + done, toWrite - done);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) {
      setLastErrorFromErrno();
      if (written) *written = done;
      return FALSE;
    }
    done += static_cast<DWORD>(w);
  }
  if (written) *written = done;
  if (overlapped) overlapped->InternalHigh = done;
  qv::desktop::fileChanged();
  return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LPLONG distanceHigh, DWORD moveMethod) {
  auto f = fileOf(file);
  if (!f) return INVALID_SET_FILE_POINTER;
  LONGLONG move = distanceHigh
                      ? static_cast<LONGLONG>((static_cast<ULONGLONG>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                              static_cast<DWORD>(distance))
                      : static_cast<LONGLONG>(distance);
  int whence = moveMethod == FILE_BEGIN     ? SEEK_SET
               : moveMethod == FILE_CURRENT ? SEEK_CUR
               : moveMethod == FILE_END     ? SEEK_END
                                            : -1;
  if (whence < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  off_t base = whence == SEEK_SET ? 0 : ::lseek(f->fd(), 0, whence);
  if (base + move < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  off_t pos = ::lseek(f->fd(), static_cast<off_t>(base + move), SEEK_SET);
  if (pos < 0) {
    setLastErrorFromErrno();
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<ULONGLONG>(pos) >> 32);
  SetLastError(ERROR_SUCCESS);  // a low part of 0xFFFFFFFF is then a real position
  return static_cast<DWORD>(pos);
}

BOOL SetEndOfFile(HANDLE file) {
  auto f = fileOf(file);
  if (!f) return FALSE;
  if (!f->canWrite()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  off_t pos = ::lseek(f->fd(), 0, SEEK_CUR);
  if (pos < 0 || ::ftruncate(f->fd(), pos) != 0) {
    setLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  auto f = fileOf(file);
  if (!f) return INVALID_FILE_SIZE;
  struct stat sb;
  if (::fstat(f->fd(), &sb) != 0) {
    setLastErrorFromErrno();
    return INVALID_FILE_SIZE;
  }
  ULONGLONG size = static_cast<ULONGLONG>(sb.st_size);
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

BOOL FlushFileBuffers(HANDLE file) {
  auto f = fileOf(file);
  if (!f) return FALSE;
  if (!f->canWrite()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (::fsync(f->fd()) != 0) {
    setLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

BOOL CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists) {
  auto from = resolveOrFail(existing);
  if (!from) return FALSE;
  auto to = resolveOrFail(newName);
  if (!to) return FALSE;
  struct stat src, dst;
  if (::stat(from->c_str(), &src) != 0) {
    failStat(*from);
    return FALSE;
  }
  if (S_ISDIR(src.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (::stat(to->c_str(), &dst) == 0) {
    if (failIfExists) {
      SetLastError(ERROR_FILE_EXISTS);
      return FALSE;
    }
    if (S_ISDIR(dst.st_mode) || isReadOnly(dst)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    // Copying a file onto itself: the platform finds it in use.
    if (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
  }
  if (!copyHostFile(*from, *to, src)) return FALSE;
  qv::desktop::fileChanged();
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) {
  // The stand-in's drives are host folders, where a move across them is a
  // copy and a delete, as MoveFile does for files.
  if (!(flags & MOVEFILE_REPLACE_EXISTING)) return MoveFileA(existing, newName);
  auto from = resolveOrFail(existing);
  if (!from) return FALSE;
  auto to = resolveOrFail(newName);
  if (!to) return FALSE;
  struct stat src, dst;
  if (::lstat(from->c_str(), &src) != 0) {
    failStat(*from);
    return FALSE;
  }
  if (::lstat(to->c_str(), &dst) != 0) return MoveFileA(existing, newName);
  if (S_ISDIR(dst.st_mode) || S_ISDIR(src.st_mode) || isReadOnly(dst)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (flags & MOVEFILE_WRITE_THROUGH) {
    int fd = ::open(from->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      ::fsync(fd);
      ::close(fd);
    }
  }
  if (::rename(from->c_str(), to->c_str()) != 0) {
    if (errno == EXDEV && (flags & MOVEFILE_COPY_ALLOWED) && S_ISREG(src.st_mode)) {
      if (!copyHostFile(*from, *to, src)) return FALSE;
      ::unlink(from->c_str());
      qv::desktop::fileChanged();
      return TRUE;
    }
    if (errno == EXDEV)
      SetLastError(ERROR_NOT_SAME_DEVICE);
    else
      setLastErrorFromErrno();
    return FALSE;
  }
  if (flags & MOVEFILE_WRITE_THROUGH) {
    int dir = ::open(parentOf(*to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  }
  qv::desktop::fileChanged();
  return TRUE;
}

BOOL MoveFileA(LPCSTR existing, LPCSTR newName) {
  auto from = resolveOrFail(existing);
  if (!from) return FALSE;
  auto to = resolveOrFail(newName);
  if (!to) return FALSE;
  struct stat src, dst;
  if (::lstat(from->c_str(), &src) != 0) {
    failStat(*from);
    return FALSE;
  }
  // A rename that only changes the case is allowed: it names the same entry.
  bool sameEntry = ::lstat(to->c_str(), &dst) == 0 && dst.st_dev == src.st_dev && dst.st_ino == src.st_ino;
  if (::lstat(to->c_str(), &dst) == 0 && !sameEntry) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  std::string target = *to;
  if (sameEntry) {
    // The new spelling of the name, in the folder the entry is in.
    std::string given = newName;
    size_t cut = given.find_last_of("\\/");
    target = parentOf(*to) + "/" + ansiToUtf8(cut == std::string::npos ? given : given.substr(cut + 1));
  }
  if (::rename(from->c_str(), target.c_str()) == 0) {
    qv::desktop::fileChanged();
    return TRUE;
  }
  if (errno == EXDEV && S_ISREG(src.st_mode)) {
    if (!copyHostFile(*from, target, src)) return FALSE;
    ::unlink(from->c_str());
    qv::desktop::fileChanged();
    return TRUE;
  }
  if (errno == ENOENT)
    SetLastError(ERROR_PATH_NOT_FOUND);
  else
    setLastErrorFromErrno();
  return FALSE;
}

BOOL DeleteFileA(LPCSTR fileName) {
  auto host = resolveOrFail(fileName);
  if (!host) return FALSE;
  struct stat sb;
  if (::lstat(host->c_str(), &sb) != 0) {
    failStat(*host);
    return FALSE;
  }
  if (S_ISDIR(sb.st_mode) || (!S_ISLNK(sb.st_mode) && isReadOnly(sb))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (::unlink(host->c_str()) != 0) {
    setLastErrorFromErrno();
    return FALSE;
  }
  qv::desktop::fileChanged();
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
  auto host = resolveOrFail(pathName);
  if (!host) return FALSE;
  if (::mkdir(host->c_str(), 0777) != 0) {
    if (errno == ENOENT)
      SetLastError(ERROR_PATH_NOT_FOUND);
    else
      setLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  auto host = resolveOrFail(pathName);
  if (!host) return FALSE;
  struct stat sb;
  if (::lstat(host->c_str(), &sb) != 0) {
    failStat(*host);
    return FALSE;
  }
  if (!S_ISDIR(sb.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  if (::rmdir(host->c_str()) != 0) {
    if (errno == EEXIST)
      SetLastError(ERROR_DIR_NOT_EMPTY);
    else
      setLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  auto host = resolveOrFail(fileName);
  if (!host) return INVALID_FILE_ATTRIBUTES;
  struct stat sb;
  if (::stat(host->c_str(), &sb) != 0) {
    failStat(*host);
    return INVALID_FILE_ATTRIBUTES;
  }
  return attributesOf(sb, baseName(*host));
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
  auto host = resolveOrFail(fileName);
  if (!host) return FALSE;
  struct stat sb;
  if (::stat(host->c_str(), &sb) != 0) {
    failStat(*host);
    return FALSE;
  }
  mode_t mode = sb.st_mode & 07777;
  mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
  if (::chmod(host->c_str(), mode) != 0) {
    setLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA data) {
  if (!fileName || !data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string wanted = fileName;
  size_t cut = wanted.find_last_of("\\/");
  std::string folder, pattern;
  if (cut != std::string::npos) {
    folder = wanted.substr(0, cut + 1);
    pattern = wanted.substr(cut + 1);
  } else if (wanted.size() >= 2 && wanted[1] == ':') {
    folder = wanted.substr(0, 2);
    pattern = wanted.substr(2);
  } else {
    folder = ".";
    pattern = wanted;
  }
  if (pattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto dir = resolveOrFail(folder.c_str());
  if (!dir) return INVALID_HANDLE_VALUE;
  DIR* d = ::opendir(dir->c_str());
  if (!d) {
    SetLastError(errno == ENOTDIR ? ERROR_DIRECTORY : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d)) names.push_back(e->d_name);
  ::closedir(d);
  // Listing order must not depend on the host: "." and ".." first, then by
  // name ignoring case.
  const bool isRoot = *dir == "/" || fullWindowsPath(folder).value_or("").size() <= 3;
  auto rank = [](const std::string& n) { return n == "." ? 0 : n == ".." ? 1 : 2; };
  std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    int c = ansiCompareText(utf8ToAnsi(a), utf8ToAnsi(b));
    return c != 0 ? c < 0 : a < b;
  });
  auto find = std::make_shared<FindObject>();
  for (const std::string& name : names) {
    if (isRoot && (name == "." || name == "..")) continue;
    std::string shown = utf8ToAnsi(name);
    if (!matchFilePattern(pattern, shown)) continue;
    struct stat sb;
    if (::stat((*dir + (dir->back() == '/' ? "" : "/") + name).c_str(), &sb) != 0) continue;
    WIN32_FIND_DATAA fd{};
    fd.dwFileAttributes = attributesOf(sb, name);
    fd.ftCreationTime = toFileTime(sb.st_mtim);
    fd.ftLastAccessTime = toFileTime(sb.st_atim);
    fd.ftLastWriteTime = toFileTime(sb.st_mtim);
    ULONGLONG size = S_ISDIR(sb.st_mode) ? 0 : static_cast<ULONGLONG>(sb.st_size);
    fd.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    fd.nFileSizeLow = static_cast<DWORD>(size);
    std::strncpy(fd.cFileName, shown.c_str(), MAX_PATH - 1);
    find->entries.push_back(fd);
  }
  if (find->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  *data = find->entries[0];
  find->next = 1;
  SetLastError(ERROR_SUCCESS);
  return addHandle(find);
}

BOOL FindNextFileA(HANDLE h, LPWIN32_FIND_DATAA data) {
  auto find = handleAs<FindObject>(h);
  if (!find || !data) {
    SetLastError(find ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (find->next >= find->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *data = find->entries[find->next++];
  return TRUE;
}

BOOL FindClose(HANDLE h) {
  if (!handleAs<FindObject>(h) || !removeHandle(h)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName) {
  if (!pathName || !tempFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto dir = resolveOrFail(pathName);
  if (!dir) return 0;
  struct stat sb;
  if (::stat(dir->c_str(), &sb) != 0 || !S_ISDIR(sb.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return 0;
  }
  std::string base = pathName;
  if (!base.empty() && base.back() != '\\' && base.back() != '/' && base.back() != ':') base += '\\';
  std::string pre = prefix ? std::string(prefix).substr(0, std::min<size_t>(3, std::strlen(prefix))) : "";
  auto nameFor = [&](UINT n) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", n & 0xFFFF);
    return pre + hex + ".tmp";
  };
  auto deliver = [&](UINT n) -> bool {
    std::string full = base + nameFor(n);
    if (full.size() >= MAX_PATH) {
      SetLastError(ERROR_BUFFER_OVERFLOW);
      return false;
    }
    std::memcpy(tempFileName, full.c_str(), full.size() + 1);
    return true;
  };
  if (unique != 0) return deliver(unique) ? (unique & 0xFFFF) : 0;
  // The platform counts up from the tick count and skips names in use; 0 is
  // never a number.
  UINT n = GetTickCount() & 0xFFFF;
  for (UINT tries = 0; tries < 0xFFFF; ++tries, n = (n + 1) & 0xFFFF) {
    if (n == 0) n = 1;
    std::string host = (dir->back() == '/' ? *dir : *dir + "/") + ansiToUtf8(nameFor(n));
    int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      if (!deliver(n)) {
        ::unlink(host.c_str());
        return 0;
      }
      SetLastError(ERROR_SUCCESS);
      return n;
    }
    if (errno != EEXIST) {
      setLastErrorFromErrno();
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}
