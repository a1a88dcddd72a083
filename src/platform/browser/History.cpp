#include "platform/browser/History.h"

#include <utility>

namespace qv::browser {

void History::push(HistoryEntry entry) {
  if (!entries_.empty()) entries_.resize(current_ + 1);
  entries_.push_back(std::move(entry));
  current_ = entries_.size() - 1;
}

void History::moveTo(std::size_t index) {
  if (index < entries_.size()) current_ = index;
}

}  // namespace qv::browser
