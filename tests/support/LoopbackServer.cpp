#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qvtest {

namespace {
int bindLoopback(int* port) {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
  *port = ntohs(addr.sin_port);
  return s;
}
}  // namespace

LoopbackServer::LoopbackServer() {
  listen_ = bindLoopback(&port_);
  ::listen(listen_, 8);
  thread_ = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer() {
  stop_ = true;
  thread_.join();
  ::close(listen_);
}

void LoopbackServer::serve(const std::string& path, Answer answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[path] = std::move(answer);
}

std::string LoopbackServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string LoopbackServer::lastRequest() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_;
}

void LoopbackServer::run() {
  while (!stop_) {
    pollfd p{listen_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    int c = ::accept(listen_, nullptr, nullptr);
    if (c < 0) continue;
    std::string request;
    char buf[4096];
    // Read the head (and a small body) with a bounded wait.
    while (request.find("\r\n\r\n") == std::string::npos) {
      pollfd q{c, POLLIN, 0};
      if (::poll(&q, 1, 2000) <= 0) break;
      ssize_t n = ::recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<size_t>(n));
    }
    std::string path = "/";
    size_t sp = request.find(' ');
    if (sp != std::string::npos) path = request.substr(sp + 1, request.find(' ', sp + 1) - sp - 1);
    Answer a;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      last_ = request;
      auto it = answers_.find(path);
      if (it != answers_.end())
        a = it->second;
      else
        a = Answer{404, "Content-Type: text/html\r\n", "<html><body>no such page</body></html>"};
    }
    std::string reply = "HTTP/1.1 " + std::to_string(a.status) + (a.status < 400 ? " OK" : " Error") + "\r\n" +
                        a.headers + "Content-Length: " + std::to_string(a.body.size()) +
                        "\r\nConnection: close\r\n\r\n" + a.body;
    size_t sent = 0;
    while (sent < reply.size()) {
      ssize_t n = ::send(c, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    ::close(c);
  }
}

int closedLoopbackPort() {
  int port = 0;
  int s = bindLoopback(&port);
  ::close(s);
  return port;
}

}  // namespace qvtest
