// A tiny HTTP server on 127.0.0.1 with an ephemeral port, serving canned
// answers by path from its own thread, for tests of anything that loads pages.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace qvtest {

class LoopbackServer {
 public:
  struct Answer {
    int status = 200;
    std::string headers;  // extra header lines, each ending in CR LF
    std::string body;
  };
  LoopbackServer();
  ~LoopbackServer();
  void serve(const std::string& path, Answer answer);
  std::string url(const std::string& path) const;
  // The request line and headers of the last request.
  std::string lastRequest() const;

 private:
  void run();
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::map<std::string, Answer> answers_;
  std::string last_;
  std::thread thread_;
};

// A loopback port that nothing listens on.
int closedLoopbackPort();

}  // namespace qvtest
