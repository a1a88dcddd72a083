#include "platform/browser/HtmlLoader.h"

#include <curl/curl.h>
#include <dlfcn.h>
#include <iconv.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "platform/browser/Url.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Paths.h"

namespace qv::browser {

const char* const kErrorPageTitle = "The page cannot be displayed";

namespace {

constexpr size_t kMaxPageBytes = 64u << 20;  // beyond this a download is refused
constexpr size_t kMetaScanBytes = 8192;

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(std::string s) {
  while (!s.empty() && (std::isspace(static_cast<unsigned char>(s.back())) || s.back() == '"' || s.back() == '\''))
    s.pop_back();
  size_t i = 0;
  while (i < s.size() && (std::isspace(static_cast<unsigned char>(s[i])) || s[i] == '"' || s[i] == '\'')) ++i;
  return s.substr(i);
}

using qv::os::appendUtf8;

constexpr char32_t kReplacement = 0xFFFD;

// Valid UTF-8 passes; every byte of a broken sequence, and NUL, becomes U+FFFD.
std::string cleanUtf8(const std::string& in) {
  std::string out;
  out.reserve(in.size());
  const auto* s = reinterpret_cast<const unsigned char*>(in.data());
  size_t n = in.size(), i = 0;
  while (i < n) {
    unsigned char c = s[i];
    if (c == 0) {
      appendUtf8(out, kReplacement);
      ++i;
      continue;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    int len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    if (c > 0xF4) len = 0;
    bool ok = len > 0 && i + len <= n;
    char32_t cp = 0;
    if (ok) {
      cp = c & (0x7F >> len);
      for (int k = 1; k < len && ok; ++k) {
        if ((s[i + k] & 0xC0) != 0x80) ok = false;
        cp = (cp << 6) | (s[i + k] & 0x3F);
      }
      if (ok && ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))))
        ok = false;
    }
    if (!ok) {
      appendUtf8(out, kReplacement);
      ++i;
      continue;
    }
    out.append(in, i, static_cast<size_t>(len));
    i += static_cast<size_t>(len);
  }
  return out;
}

std::string decodeUtf16(const std::string& in, bool bigEndian) {
  std::string out;
  size_t n = in.size() / 2;
  auto unit = [&](size_t k) {
    auto a = static_cast<unsigned char>(in[2 * k]), b = static_cast<unsigned char>(in[2 * k + 1]);
    return static_cast<char32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  };
  for (size_t k = 0; k < n; ++k) {
    char32_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
      ++k;
    } else if ((u >= 0xD800 && u <= 0xDFFF) || u == 0) {
      u = kReplacement;
    }
    appendUtf8(out, u);
  }
  if (in.size() % 2) appendUtf8(out, kReplacement);
  return out;
}

bool isWindows1252Family(const std::string& cs) {
  return cs.empty() || cs == "windows-1252" || cs == "iso-8859-1" || cs == "latin1" || cs == "iso8859-1" ||
         cs == "us-ascii" || cs == "ascii" || cs == "cp1252" || cs == "x-ansi" || cs == "l1" ||
         cs == "iso_8859-1" || cs == "cp819";
}

std::string canonicalCharset(std::string cs) {
  cs = lower(trim(cs));
  if (cs == "utf8" || cs == "unicode-1-1-utf-8") return "utf-8";
  if (cs == "unicode" || cs == "utf-16le" || cs == "utf-16" || cs == "ucs-2") return "utf-16le";
  if (cs == "unicodefffe" || cs == "utf-16be") return "utf-16be";
  if (isWindows1252Family(cs)) return "windows-1252";
  return cs;
}

// Converts through iconv; false when the charset is unknown.
bool decodeIconv(const std::string& in, const std::string& charset, std::string& out) {
  iconv_t cd = iconv_open("UTF-8", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  std::string buffer(4096, '\0');
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (left > 0) {
    char* dst = buffer.data();
    size_t room = buffer.size();
    size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer.data(), buffer.size() - room);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // A byte the charset does not have, or a cut-off sequence.
      appendUtf8(out, kReplacement);
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  out = cleanUtf8(out);
  return true;
}

// The charset named by a <meta> in the first bytes of the page.
std::string metaCharset(const std::string& bytes) {
  std::string head = lower(bytes.substr(0, kMetaScanBytes));
  size_t pos = 0;
  while ((pos = head.find("<meta", pos)) != std::string::npos) {
    size_t end = head.find('>', pos);
    if (end == std::string::npos) end = head.size();
    std::string tag = head.substr(pos, end - pos);
    size_t cs = tag.find("charset");
    if (cs != std::string::npos) {
      size_t i = cs + 7;
      while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
      if (i < tag.size() && tag[i] == '=') {
        ++i;
        while (i < tag.size() && (std::isspace(static_cast<unsigned char>(tag[i])) || tag[i] == '"' || tag[i] == '\''))
          ++i;
        size_t j = i;
        while (j < tag.size() && !std::isspace(static_cast<unsigned char>(tag[j])) && tag[j] != '"' && tag[j] != '\'' &&
               tag[j] != ';' && tag[j] != '/' && tag[j] != '>')
          ++j;
        if (j > i) return tag.substr(i, j - i);
      }
    }
    pos = end;
  }
  return "";
}

std::string htmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

LoadedPage failure(const std::string& url, LoadStatus status, LONG code) {
  LoadedPage page;
  page.url = url;
  page.status = status;
  page.errorCode = code;
  page.errorPage = true;
  page.charset = "utf-8";
  page.html = errorPageHtml(url, status, code);
  return page;
}

LoadedPage loadFile(const std::string& url, bool raw) {
  auto path = fileUrlToPath(url);
  if (!path) return failure(url, LoadStatus::BadAddress, INET_E_INVALID_URL);
  auto host = qv::os::toHostPath(*path);
  struct stat st{};
  if (!host || ::stat(host->c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return failure(url, LoadStatus::NotFound, INET_E_RESOURCE_NOT_FOUND);
  std::ifstream in(*host, std::ios::binary);
  if (!in) return failure(url, LoadStatus::NotFound, INET_E_RESOURCE_NOT_FOUND);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  LoadedPage page;
  page.url = url;
  page.html = raw ? bytes.str() : decodePage(bytes.str(), "", &page.charset);
  return page;
}

struct Transfer {
  std::string body;
  std::string contentType;
  bool tooLarge = false;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  size_t n = size * count;
  if (t->body.size() + n > kMaxPageBytes) {
    t->tooLarge = true;
    return 0;
  }
  t->body.append(data, n);
  return n;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  size_t n = size * count;
  std::string line(data, n);
  if (line.rfind("HTTP/", 0) == 0) t->contentType.clear();  // a new response after a redirect
  if (lower(line.substr(0, 13)) == "content-type:") t->contentType = trim(line.substr(13));
  return n;
}

// libcurl and the many libraries it pulls in are loaded when the first
// http address is, not when a program starts: most runs never go online.
struct CurlLibrary {
  bool bound = false;
  CURLcode (*global_init)(long) = nullptr;
  CURL* (*easy_init)() = nullptr;
  CURLcode (*easy_setopt)(CURL*, CURLoption, ...) = nullptr;
  CURLcode (*easy_perform)(CURL*) = nullptr;
  CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...) = nullptr;
  void (*easy_cleanup)(CURL*) = nullptr;
  curl_slist* (*slist_append)(curl_slist*, const char*) = nullptr;
  void (*slist_free_all)(curl_slist*) = nullptr;
};

template <class F>
bool bindSymbol(void* library, const char* name, F& to) {
  to = reinterpret_cast<F>(::dlsym(library, name));
  return to != nullptr;
}

// Bound once per process; without the library (or any of its entry
// points) no address can be fetched. The library stays loaded: its global
// state lives until the process ends.
const CurlLibrary& curlLibrary() {
  static const CurlLibrary library = [] {
    CurlLibrary c;
    void* so = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (so == nullptr) return c;
    c.bound = bindSymbol(so, "curl_global_init", c.global_init) && bindSymbol(so, "curl_easy_init", c.easy_init) &&
              bindSymbol(so, "curl_easy_setopt", c.easy_setopt) &&
              bindSymbol(so, "curl_easy_perform", c.easy_perform) &&
              bindSymbol(so, "curl_easy_getinfo", c.easy_getinfo) &&
              bindSymbol(so, "curl_easy_cleanup", c.easy_cleanup) &&
              bindSymbol(so, "curl_slist_append", c.slist_append) &&
              bindSymbol(so, "curl_slist_free_all", c.slist_free_all);
    if (c.bound) c.bound = c.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!c.bound) ::dlclose(so);
    return c;
  }();
  return library;
}

LoadedPage loadHttp(const LoadRequest& request, const std::string& url) {
  const CurlLibrary& lib = curlLibrary();
  if (!lib.bound) return failure(url, LoadStatus::CannotConnect, INET_E_DOWNLOAD_FAILURE);
  CURL* curl = lib.easy_init();
  if (!curl) return failure(url, LoadStatus::CannotConnect, INET_E_DOWNLOAD_FAILURE);
  Transfer transfer;
  curl_slist* headers = nullptr;
  std::istringstream lines(request.headers);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) headers = lib.slist_append(headers, line.c_str());
  }
  std::string target = stripFragment(url);
  lib.easy_setopt(curl, CURLOPT_URL, target.c_str());
  lib.easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  lib.easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  lib.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  lib.easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  lib.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  lib.easy_setopt(curl, CURLOPT_TIMEOUT_MS, request.timeoutMs);
  lib.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, request.timeoutMs);
  lib.easy_setopt(curl, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
  lib.easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
  lib.easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
  lib.easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  lib.easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
  lib.easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  if (headers) lib.easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  if (!request.postData.empty()) {
    lib.easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.postData.size()));
    lib.easy_setopt(curl, CURLOPT_POSTFIELDS, request.postData.data());
  }
  CURLcode rc = lib.easy_perform(curl);
  long httpStatus = 0;
  lib.easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &httpStatus);
  char* effective = nullptr;
  lib.easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective);
  std::string finalUrl = effective ? normalizeUrl(effective) : url;
  // The fragment never travels; the page's address keeps it.
  size_t hash = url.find('#');
  if (hash != std::string::npos && finalUrl.find('#') == std::string::npos) finalUrl += url.substr(hash);
  lib.slist_free_all(headers);
  lib.easy_cleanup(curl);

  if (rc != CURLE_OK) {
    switch (rc) {
      case CURLE_URL_MALFORMAT: return failure(url, LoadStatus::BadAddress, INET_E_INVALID_URL);
      case CURLE_UNSUPPORTED_PROTOCOL: return failure(url, LoadStatus::BadAddress, INET_E_UNKNOWN_PROTOCOL);
      case CURLE_COULDNT_RESOLVE_HOST: return failure(url, LoadStatus::NotFound, INET_E_RESOURCE_NOT_FOUND);
      case CURLE_COULDNT_CONNECT: return failure(url, LoadStatus::CannotConnect, INET_E_CANNOT_CONNECT);
      case CURLE_OPERATION_TIMEDOUT: return failure(url, LoadStatus::Timeout, INET_E_CONNECTION_TIMEOUT);
      default: return failure(url, LoadStatus::CannotConnect, INET_E_DOWNLOAD_FAILURE);
    }
  }
  if (httpStatus >= 400) return failure(finalUrl, LoadStatus::HttpError, httpStatus);
  LoadedPage page;
  page.url = finalUrl;
  page.contentType = transfer.contentType;
  page.html = request.raw ? std::move(transfer.body)
                          : decodePage(transfer.body, charsetOfContentType(transfer.contentType), &page.charset);
  return page;
}

}  // namespace

std::string charsetOfContentType(const std::string& contentType) {
  std::string lc = lower(contentType);
  size_t at = lc.find("charset=");
  if (at == std::string::npos) return "";
  std::string v = contentType.substr(at + 8);
  size_t end = v.find(';');
  if (end != std::string::npos) v.resize(end);
  return trim(v);
}

std::string decodePage(const std::string& bytes, const std::string& headerCharset, std::string* charsetUsed) {
  auto used = [&](const char* name) {
    if (charsetUsed) *charsetUsed = name;
  };
  auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
    used("utf-8");
    return cleanUtf8(bytes.substr(3));
  }
  if (bytes.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) {
    used("utf-16le");
    return decodeUtf16(bytes.substr(2), false);
  }
  if (bytes.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) {
    used("utf-16be");
    return decodeUtf16(bytes.substr(2), true);
  }
  std::string cs = canonicalCharset(headerCharset);
  if (headerCharset.empty()) {
    cs = canonicalCharset(metaCharset(bytes));
    // A page that calls itself UTF-16 without a byte-order mark was read as
    // ASCII to find that out, so it is not UTF-16.
    if (cs == "utf-16le" || cs == "utf-16be") cs = "utf-8";
  }
  if (cs == "utf-8") {
    used("utf-8");
    return cleanUtf8(bytes);
  }
  if (cs == "utf-16le" || cs == "utf-16be") {
    if (charsetUsed) *charsetUsed = cs;
    return decodeUtf16(bytes, cs == "utf-16be");
  }
  if (cs != "windows-1252") {
    std::string out;
    if (decodeIconv(bytes, cs, out)) {
      if (charsetUsed) *charsetUsed = cs;
      return out;
    }
  }
  used("windows-1252");
  return cleanUtf8(qv::os::ansiToUtf8(bytes));
}

std::string encodeForCharset(const std::string& utf8, const std::string& charset) {
  std::string cs = canonicalCharset(charset);
  if (cs == "utf-8" || cs == "utf-16le" || cs == "utf-16be") return utf8;  // forms of UTF-16 pages post UTF-8
  std::u16string wide = qv::os::utf8ToUtf16(utf8);
  std::string out;
  iconv_t cd = cs == "windows-1252" ? reinterpret_cast<iconv_t>(-1) : iconv_open(cs.c_str(), "UTF-8");
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t cp = wide[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      int a = qv::os::codepointToAnsi(cp);
      if (a >= 0) {
        out += static_cast<char>(a);
        continue;
      }
    } else {
      std::string one;
      appendUtf8(one, cp);
      char buf[16];
      char* src = one.data();
      size_t left = one.size();
      char* dst = buf;
      size_t room = sizeof buf;
      if (iconv(cd, &src, &left, &dst, &room) != static_cast<size_t>(-1)) {
        out.append(buf, sizeof buf - room);
        continue;
      }
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  return out;
}

std::string errorPageHtml(const std::string& url, LoadStatus status, LONG errorCode) {
  std::string reason;
  switch (status) {
    case LoadStatus::HttpError: reason = "HTTP " + std::to_string(errorCode); break;
    case LoadStatus::NotFound: reason = "The file or server was not found."; break;
    case LoadStatus::CannotConnect: reason = "Cannot connect to the server."; break;
    case LoadStatus::Timeout: reason = "The server did not answer in time."; break;
    case LoadStatus::BadAddress: reason = "The address is not valid."; break;
    case LoadStatus::Ok: break;
  }
  std::string u = htmlEscape(url);
  return std::string("<html><head><title>") + kErrorPageTitle + "</title></head><body><h1>" + kErrorPageTitle +
         "</h1><p>The page you are looking for is currently unavailable.</p><p id=\"reason\">" + htmlEscape(reason) +
         "</p><p>Address: <span id=\"address\">" + u + "</span></p></body></html>";
}

LoadedPage loadPage(const LoadRequest& request) {
  std::string url = normalizeUrl(request.url);
  std::string scheme = urlScheme(url);
  if (scheme == "about") {
    LoadedPage page;
    page.url = url;
    page.charset = "utf-8";
    page.html = lower(url) == "about:blank" ? "<html><head></head><body></body></html>"
                                             : "<html><head></head><body>" + htmlEscape(url.substr(6)) + "</body></html>";
    return page;
  }
  if (scheme == "file") return loadFile(url, request.raw);
  if (scheme == "http" || scheme == "https") return loadHttp(request, url);
  return failure(url, LoadStatus::BadAddress, INET_E_UNKNOWN_PROTOCOL);
}

}  // namespace qv::browser
