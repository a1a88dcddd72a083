#include "platform/browser/Url.h"

#include <cctype>
#include <vector>

#include "platform/os/kernel/Paths.h"

namespace qv::browser {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool isDriveStart(const std::string& s, size_t at) {
  return s.size() >= at + 2 && std::isalpha(static_cast<unsigned char>(s[at])) && (s[at + 1] == ':' || s[at + 1] == '|') &&
         (s.size() == at + 2 || s[at + 2] == '/' || s[at + 2] == '\\');
}

struct Parts {
  std::string scheme;
  bool hasAuthority = false;
  std::string authority;
  std::string path;
  bool hasQuery = false;
  std::string query;
  bool hasFragment = false;
  std::string fragment;
};

Parts split(const std::string& url) {
  Parts p;
  std::string rest = url;
  std::string scheme = urlScheme(url);
  if (!scheme.empty()) {
    p.scheme = scheme;
    rest = url.substr(scheme.size() + 1);
  }
  size_t hash = rest.find('#');
  if (hash != std::string::npos) {
    p.hasFragment = true;
    p.fragment = rest.substr(hash + 1);
    rest.resize(hash);
  }
  size_t q = rest.find('?');
  if (q != std::string::npos) {
    p.hasQuery = true;
    p.query = rest.substr(q + 1);
    rest.resize(q);
  }
  if (rest.rfind("//", 0) == 0) {
    p.hasAuthority = true;
    size_t end = rest.find('/', 2);
    if (end == std::string::npos) end = rest.size();
    p.authority = rest.substr(2, end - 2);
    rest = rest.substr(end);
  }
  p.path = rest;
  return p;
}

std::string join(const Parts& p) {
  std::string out;
  if (!p.scheme.empty()) out += p.scheme + ":";
  if (p.hasAuthority) out += "//" + p.authority;
  out += p.path;
  if (p.hasQuery) out += "?" + p.query;
  if (p.hasFragment) out += "#" + p.fragment;
  return out;
}

// Removes "." and ".." segments; ".." never climbs above the root.
std::string removeDots(const std::string& path) {
  std::vector<std::string> out;
  bool absolute = !path.empty() && path[0] == '/';
  size_t i = absolute ? 1 : 0;
  bool trailing = false;
  while (i <= path.size()) {
    size_t end = path.find('/', i);
    if (end == std::string::npos) end = path.size();
    std::string seg = path.substr(i, end - i);
    bool last = end == path.size();
    if (seg == ".") {
      trailing = last;
    } else if (seg == "..") {
      if (!out.empty()) out.pop_back();
      trailing = last;
    } else {
      out.push_back(seg);
      trailing = false;
    }
    i = end + 1;
  }
  std::string r = absolute ? "/" : "";
  for (size_t k = 0; k < out.size(); ++k) {
    if (k) r += '/';
    r += out[k];
  }
  if (trailing && (r.empty() || r.back() != '/')) r += '/';
  return r;
}

std::string escapeFilePath(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char c : path) {
    if (c == '\\') {
      out += '/';
    } else if (c == ' ' || c == '%' || c == '#' || c == '?') {
      out += '%';
      out += hex[(static_cast<unsigned char>(c) >> 4) & 15];
      out += hex[static_cast<unsigned char>(c) & 15];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string percentDecode(const std::string& text, bool plusAsSpace) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += (plusAsSpace && c == '+') ? ' ' : c;
  }
  return out;
}

std::string urlScheme(const std::string& url) {
  size_t i = 0;
  while (i < url.size() && (std::isalnum(static_cast<unsigned char>(url[i])) || url[i] == '+' || url[i] == '-' ||
                            url[i] == '.'))
    ++i;
  if (i < 2 || i >= url.size() || url[i] != ':' || !std::isalpha(static_cast<unsigned char>(url[0]))) return "";
  return lower(url.substr(0, i));
}

std::optional<std::string> fileUrlToPath(const std::string& url) {
  if (urlScheme(url) != "file") return std::nullopt;
  std::string rest = url.substr(5);
  size_t cut = rest.find_first_of("?#");
  if (cut != std::string::npos) rest.resize(cut);
  rest = percentDecode(rest);
  for (char& c : rest)
    if (c == '\\') c = '/';
  size_t slashes = 0;
  while (slashes < rest.size() && rest[slashes] == '/') ++slashes;
  std::string body = rest.substr(slashes);
  std::string path;
  if (isDriveStart(body, 0)) {
    path = body;
    path[1] = ':';
    if (path.size() == 2) path += '/';
  } else if (slashes == 2 && !body.empty()) {
    path = "//" + body;  // file://server/share
  } else {
    // No drive: a host absolute path.
    return qv::os::toWindowsPath("/" + body);
  }
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string pathToFileUrl(const std::string& path) {
  std::string full = path;
  if (!path.empty() && path[0] == '/' && !(path.size() > 1 && path[1] == '/')) {
    full = qv::os::toWindowsPath(path);
  } else if (auto f = qv::os::fullWindowsPath(path)) {
    full = *f;
  }
  if (full.size() > 2 && (full[0] == '\\' || full[0] == '/') && (full[1] == '\\' || full[1] == '/'))
    return "file:" + escapeFilePath(full);  // UNC: file://server/share/...
  return "file:///" + escapeFilePath(full);
}

std::string normalizeUrl(const std::string& urlOrPath) {
  std::string scheme = urlScheme(urlOrPath);
  if (scheme.empty()) {
    if (urlOrPath.empty()) return "about:blank";
    return pathToFileUrl(urlOrPath);
  }
  if (scheme == "file") {
    auto path = fileUrlToPath(urlOrPath);
    Parts p = split(urlOrPath);
    std::string url = pathToFileUrl(*path);
    if (p.hasQuery) url += "?" + p.query;
    if (p.hasFragment) url += "#" + p.fragment;
    return url;
  }
  if (scheme == "http" || scheme == "https") {
    Parts p = split(urlOrPath);
    p.scheme = scheme;
    for (char& c : p.path)
      if (c == '\\') c = '/';
    // Host names are case-insensitive; user names and passwords are not.
    size_t at = p.authority.rfind('@');
    size_t hostStart = at == std::string::npos ? 0 : at + 1;
    p.authority = p.authority.substr(0, hostStart) + lower(p.authority.substr(hostStart));
    p.hasAuthority = true;
    p.path = p.path.empty() ? "/" : removeDots(p.path);
    return join(p);
  }
  return urlOrPath;
}

std::string resolveUrl(const std::string& base, const std::string& reference) {
  std::string ref = reference;
  // Trim blanks and control characters around the reference, as pages
  // often have them in attributes.
  while (!ref.empty() && static_cast<unsigned char>(ref.back()) <= ' ') ref.pop_back();
  size_t lead = 0;
  while (lead < ref.size() && static_cast<unsigned char>(ref[lead]) <= ' ') ++lead;
  ref = ref.substr(lead);

  if (isDriveStart(ref, 0) || ref.rfind("\\\\", 0) == 0) return pathToFileUrl(ref);
  std::string refScheme = urlScheme(ref);
  if (!refScheme.empty()) return normalizeUrl(ref);

  std::string baseUrl = normalizeUrl(base);
  Parts b = split(baseUrl);
  bool hierarchical = b.scheme == "file" || b.scheme == "http" || b.scheme == "https";
  if (!hierarchical) return ref.empty() ? stripFragment(baseUrl) : ref;
  for (char& c : ref)
    if (c == '\\') c = '/';

  // The drive of a file URL is its root: "/x" and ".." stay on the drive.
  std::string drive;
  if (b.scheme == "file" && isDriveStart(b.path, 1)) {
    drive = b.path.substr(0, 3);
    b.path = b.path.substr(3);
    if (b.path.empty()) b.path = "/";
  }

  Parts r = split(ref);
  Parts t;
  t.scheme = b.scheme;
  if (r.hasAuthority) {
    t.hasAuthority = true;
    t.authority = r.authority;
    t.path = removeDots(r.path);
    t.hasQuery = r.hasQuery;
    t.query = r.query;
    drive.clear();
  } else {
    t.hasAuthority = b.hasAuthority;
    t.authority = b.authority;
    if (r.path.empty()) {
      t.path = b.path;
      t.hasQuery = r.hasQuery || b.hasQuery;
      t.query = r.hasQuery ? r.query : b.query;
    } else {
      if (r.path[0] == '/') {
        t.path = removeDots(r.path);
      } else {
        size_t slash = b.path.rfind('/');
        std::string merged = (slash == std::string::npos ? std::string("/") : b.path.substr(0, slash + 1)) + r.path;
        t.path = removeDots(merged);
      }
      t.hasQuery = r.hasQuery;
      t.query = r.query;
    }
  }
  t.hasFragment = r.hasFragment;
  t.fragment = r.fragment;
  t.path = drive + t.path;
  if ((t.scheme == "http" || t.scheme == "https") && t.path.empty()) t.path = "/";
  return join(t);
}

std::string stripFragment(const std::string& url) {
  size_t hash = url.find('#');
  return hash == std::string::npos ? url : url.substr(0, hash);
}

}  // namespace qv::browser
