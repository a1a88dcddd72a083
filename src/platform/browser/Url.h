// Addresses as the browser sees them: file URLs and plain paths, relative
// references resolved against a page, and %-escapes.
//
// File URLs are written the way the platform's browser shows them:
// "file:///D:/menu/index.html" (forward slashes, the drive after three
// slashes, blanks and '%' and '#' escaped). "file://D:\menu\x.htm",
// "file:D:/x.htm" and escaped forms all read as the same path. Text here is
// 8-bit; escapes decode to bytes.
#pragma once

#include <optional>
#include <string>

namespace qv::browser {

// "%41" -> "A"; a '%' without two hexadecimal digits stays as it is.
// With plusAsSpace (form data) '+' becomes a blank.
std::string percentDecode(const std::string& text, bool plusAsSpace = false);

// The scheme in lower case ("http", "file", "about", ...), or "" when the
// text has none. A single letter before ':' is a drive, not a scheme.
std::string urlScheme(const std::string& url);

// A file URL -> the path in the platform's form ("D:\menu\index.html"),
// query and fragment dropped; "file://server/share/x" gives "\\server\share\x".
// nullopt when the text is not a file URL.
std::optional<std::string> fileUrlToPath(const std::string& url);

// A path in the platform's form -> "file:///D:/...". A host absolute path
// ("/a/b") becomes its Windows form first; a relative one counts from the
// current directory.
std::string pathToFileUrl(const std::string& path);

// What the address bar makes of typed text: URLs with a scheme stay
// (file URLs in their canonical spelling, http hosts in lower case), plain
// paths become file URLs.
std::string normalizeUrl(const std::string& urlOrPath);

// A reference in a page (href, src, action) made absolute against the
// page's URL. Backslashes in references of file and http pages count as
// slashes, as the platform's browser takes them; "." and ".." segments are
// resolved. An empty reference gives the base without its fragment.
std::string resolveUrl(const std::string& base, const std::string& reference);

// The URL without its "#fragment".
std::string stripFragment(const std::string& url);

}  // namespace qv::browser
