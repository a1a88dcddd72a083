#include "platform/os/kernel/Sync.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "platform/desktop/Profile.h"
#include "platform/os/kernel/LastError.h"

namespace qv::os {
namespace {

constexpr std::int32_t kSemaphoreMagic = 0x514D4553;  // "SEMQ"

class SemaphoreObject : public KernelObject {
 public:
  // Takes one count when there is one.
  virtual bool tryTake() = 0;
  // Adds `n`; false with the last error set when it would pass the maximum.
  virtual bool release(LONG n, LONG* previous) = 0;

  DWORD wait(DWORD timeoutMs) override {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (tryTake()) return WAIT_OBJECT_0;
      if (timeoutMs == 0 || (timeoutMs != INFINITE && clock::now() >= deadline)) return WAIT_TIMEOUT;
      pause(timeoutMs == INFINITE
                ? 20
                : std::min<long long>(
                      20, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count()));
    }
  }

 protected:
  virtual void pause(long long ms) { std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1LL, ms))); }
};

class LocalSemaphore : public SemaphoreObject {
 public:
  LocalSemaphore(LONG initial, LONG maximum) : count_(initial), max_(maximum) {}
  bool tryTake() override {
    std::lock_guard<std::mutex> lock(m_);
    if (count_ <= 0) return false;
    --count_;
    return true;
  }
  bool release(LONG n, LONG* previous) override {
    {
      std::lock_guard<std::mutex> lock(m_);
      if (n > max_ - count_) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return false;
      }
      if (previous) *previous = count_;
      count_ += n;
    }
    cv_.notify_all();
    return true;
  }

 protected:
  void pause(long long ms) override {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait_for(lock, std::chrono::milliseconds(std::max(1LL, ms)), [&] { return count_ > 0; });
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  LONG count_, max_;
};

// Every change to a named object happens under this lock: the process's
// threads through the mutex, other processes through flock on one file.
class NamespaceLock {
 public:
  explicit NamespaceLock(const std::string& folder) : guard_(mutex()) {
    fd_ = ::open((folder + "/.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ >= 0)
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~NamespaceLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }

 private:
  static std::mutex& mutex() {
    static std::mutex m;
    return m;
  }
  std::lock_guard<std::mutex> guard_;
  int fd_;
};

struct SharedState {
  std::int32_t magic;
  std::int32_t count;
  std::int32_t maximum;
};

bool readState(int fd, SharedState& s) { return ::pread(fd, &s, sizeof s, 0) == static_cast<ssize_t>(sizeof s); }
bool writeState(int fd, const SharedState& s) {
  return ::pwrite(fd, &s, sizeof s, 0) == static_cast<ssize_t>(sizeof s);
}

class NamedSemaphore : public SemaphoreObject {
 public:
  NamedSemaphore(std::string folder, std::string file, int fd)
      : folder_(std::move(folder)), file_(std::move(file)), fd_(fd) {}
  ~NamedSemaphore() override {
    NamespaceLock lock(folder_);
    ::close(fd_);
    // The last holder removes the object's file.
    int probe = ::open(file_.c_str(), O_RDWR | O_CLOEXEC);
    if (probe >= 0) {
      if (::flock(probe, LOCK_EX | LOCK_NB) == 0) ::unlink(file_.c_str());
      ::close(probe);
    }
  }
  bool tryTake() override {
    NamespaceLock lock(folder_);
    SharedState s{};
    if (!read(s) || s.count <= 0) return false;
    --s.count;
    return write(s);
  }
  bool release(LONG n, LONG* previous) override {
    NamespaceLock lock(folder_);
    SharedState s{};
    if (!read(s)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    if (n > s.maximum - s.count) {
      SetLastError(ERROR_TOO_MANY_POSTS);
      return false;
    }
    if (previous) *previous = s.count;
    s.count += n;
    return write(s);
  }

  bool read(SharedState& s) { return readState(fd_, s); }
  bool write(const SharedState& s) { return writeState(fd_, s); }

 private:
  std::string folder_, file_;
  int fd_;
};

std::string namespaceFolder() {
  std::string f = qv::desktop::cDriveRoot() + "/.kernel-objects";
  std::error_code ec;
  std::filesystem::create_directories(f, ec);
  return f;
}

// The object's file name: the name's bytes, with anything beyond letters,
// digits, "_" and "-" escaped (names are case-sensitive, as host files are).
std::string fileNameFor(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (std::isalnum(c) || c == '_' || c == '-') {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  if (out.size() > 200) {
    // Too long for a host file name: a hash keeps it unique enough.
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : name) h = (h ^ c) * 1099511628211ull;
    char hex[24];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    out = out.substr(0, 180) + "~" + hex;
  }
  return out + ".sem";
}

// The name without the namespace prefixes of a single-session desktop;
// false with the error set for a name the platform rejects.
bool objectName(LPCSTR name, std::string& out) {
  out = name;
  for (const char* prefix : {"Global\\", "Local\\"})
    if (out.rfind(prefix, 0) == 0) {
      out = out.substr(std::strlen(prefix));
      break;
    }
  if (out.find('\\') != std::string::npos) {
    SetLastError(ERROR_BAD_PATHNAME);
    return false;
  }
  if (std::strlen(name) > MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  return true;
}

HANDLE openNamed(const std::string& name, bool create, LONG initial, LONG maximum) {
  std::string folder = namespaceFolder();
  NamespaceLock lock(folder);
  if (!lock.ok()) {
    setLastErrorFromErrno();
    return nullptr;
  }
  std::string file = folder + "/" + fileNameFor(name);
  int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
  if (fd < 0) {
    SetLastError(create ? setLastErrorFromErrno() : ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  // Nobody holds the object: it has ended (or never was), whatever the file says.
  const bool fresh = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (fresh && !create) {
    ::unlink(file.c_str());
    ::close(fd);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  if (fresh && (::ftruncate(fd, 0) != 0 || !writeState(fd, SharedState{kSemaphoreMagic, initial, maximum}))) {
    setLastErrorFromErrno();
    ::close(fd);
    return nullptr;
  }
  ::flock(fd, LOCK_SH);
  SharedState s{};
  if (!fresh && (!readState(fd, s) || s.magic != kSemaphoreMagic)) {
    ::close(fd);
    SetLastError(ERROR_INVALID_HANDLE);  // the name belongs to another kind of object
    return nullptr;
  }
  // Made only now: its destructor takes the namespace lock held here.
  auto sem = std::make_shared<NamedSemaphore>(folder, file, fd);
  HANDLE h = addHandle(sem);
  SetLastError(fresh ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS);
  return h;
}

}  // namespace
}  // namespace qv::os

using namespace qv::os;

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name) {
  if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!name || !*name) {
    HANDLE h = addHandle(std::make_shared<LocalSemaphore>(initialCount, maximumCount));
    SetLastError(ERROR_SUCCESS);
    return h;
  }
  std::string n;
  if (!objectName(name, n)) return nullptr;
  return openNamed(n, true, initialCount, maximumCount);
}

HANDLE OpenSemaphoreA(DWORD, BOOL, LPCSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string n;
  if (!objectName(name, n)) return nullptr;
  return openNamed(n, false, 0, 0);
}

BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount) {
  auto s = handleAs<SemaphoreObject>(semaphore);
  if (!s) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (releaseCount <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return s->release(releaseCount, previousCount) ? TRUE : FALSE;
}
