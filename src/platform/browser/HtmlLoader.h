// Loading a page: an address or path -> the page's text as UTF-8, or the
// browser's own error page with the reason the control reports.
//
// Schemes: file URLs and plain paths (read through the desktop's drives with
// case-insensitive names; every file is taken as HTML whatever its
// extension), "about:blank", http and https through libcurl (redirects
// followed, a timeout, no proxy for the loopback addresses). Anything else,
// or a failure, gives the error page.
//
// Charsets, first found wins: a byte-order mark, the HTTP header's charset,
// a <meta charset> or <meta http-equiv="Content-Type"> in the first 8 KB,
// else Windows-1252. ISO-8859-1 and US-ASCII are read as Windows-1252 as the
// platform's browser does. Bytes that are not valid in the charset become
// U+FFFD, and so do NUL bytes, so the parser always gets clean UTF-8.
#pragma once

#include <string>

#include "platform/com/HResult.h"

// The platform's download errors, as its browser reports them to
// NavigateError (HTTP failures report the HTTP status instead).
#define INET_E_INVALID_URL ((HRESULT)0x800C0002L)
#define INET_E_CANNOT_CONNECT ((HRESULT)0x800C0004L)
#define INET_E_RESOURCE_NOT_FOUND ((HRESULT)0x800C0005L)
#define INET_E_OBJECT_NOT_FOUND ((HRESULT)0x800C0006L)
#define INET_E_DOWNLOAD_FAILURE ((HRESULT)0x800C0008L)
#define INET_E_CONNECTION_TIMEOUT ((HRESULT)0x800C000BL)
#define INET_E_UNKNOWN_PROTOCOL ((HRESULT)0x800C000DL)

namespace qv::browser {

enum class LoadStatus { Ok, NotFound, CannotConnect, Timeout, HttpError, BadAddress };

struct LoadRequest {
  std::string url;        // an address or a plain path
  std::string postData;   // non-empty: an http POST with this body
  std::string headers;    // extra request headers, "Name: value" lines (CR LF)
  long timeoutMs = 15000;  // for http(s): connecting and the whole transfer
  // The bytes as they came, for pictures and style sheets: `html` holds
  // them undecoded (a failure still gives the error page and its status).
  bool raw = false;
};

struct LoadedPage {
  std::string url;            // canonical address (after redirects)
  LoadStatus status = LoadStatus::Ok;
  // 0 when loaded; the HTTP status for HttpError, else an INET_E_* code.
  LONG errorCode = 0;
  bool errorPage = false;     // html is the browser's error page
  std::string contentType;    // from the HTTP header, "" for files
  std::string charset;        // the charset the text was decoded from
  std::string html;           // UTF-8
};

LoadedPage loadPage(const LoadRequest& request);
inline LoadedPage loadPage(const std::string& urlOrPath) { return loadPage(LoadRequest{urlOrPath, {}, {}}); }

// Page bytes -> UTF-8 by the rules above; *charsetUsed gets the charset's
// lower-case name ("windows-1252", "utf-8", ...).
std::string decodePage(const std::string& bytes, const std::string& headerCharset, std::string* charsetUsed = nullptr);

// UTF-8 text -> bytes of a page's charset, for form data. Characters the
// charset cannot hold become "&#N;" as the platform's browser sends them.
std::string encodeForCharset(const std::string& utf8, const std::string& charset);

// The charset parameter of a Content-Type value, "" when none.
std::string charsetOfContentType(const std::string& contentType);

// The browser's error page for an address.
std::string errorPageHtml(const std::string& url, LoadStatus status, LONG errorCode);
extern const char* const kErrorPageTitle;  // "The page cannot be displayed"

}  // namespace qv::browser
