// The control's travel log: the committed navigations of the top level with
// the position of the page shown. Navigating from the middle drops the
// forward part, as the platform's back and forward lists do.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qv::browser {

struct HistoryEntry {
  std::string url;
  std::string postData;
  std::string headers;
};

class History {
 public:
  // A new page after the current one; the forward entries are dropped.
  void push(HistoryEntry entry);
  // Makes entry `index` current (after going back or forward).
  void moveTo(std::size_t index);
  bool canGoBack() const { return current_ > 0 && !entries_.empty(); }
  bool canGoForward() const { return !entries_.empty() && current_ + 1 < entries_.size(); }
  bool empty() const { return entries_.empty(); }
  std::size_t size() const { return entries_.size(); }
  std::size_t currentIndex() const { return current_; }
  const HistoryEntry& at(std::size_t i) const { return entries_.at(i); }

 private:
  std::vector<HistoryEntry> entries_;
  std::size_t current_ = 0;
};

}  // namespace qv::browser
