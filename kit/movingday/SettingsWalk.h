#pragma once
// The one walk of Copy Settings, shared by measuring and copying: a picked
// item and, when it is a folder, everything below it, in the order the
// system lists entries (not sorted), hidden items included, symbolic links
// never followed. Each item is classified by the copy rules (CopyRules.h);
// a folder deeper than CopyRules::maxDepth is met but never entered.
//
// The visitor decides what happens to each item. The walk tests the stop
// token before every item and throws Cancelled out of the walk once a stop
// is requested; every descriptor it opened is closed on the way out.
// Internal to the Copy Settings implementation.
#include <sys/stat.h>

#include <stop_token>
#include <string>

#include "kit/movingday/CopyRules.h"

namespace larkvale {

struct WalkItem {
  int parent;                 // open handle of the folder that holds the item
  const std::string& name;    // its name in that folder
  const struct stat* status;  // its own status (links not followed); null when unreadable
  int statusError;            // the errno of that failure, else 0
  CopyItemKind kind;          // by CopyRules::classify, as picked at depth 0
  int depth;                  // 0 for the picked item, 1 for its entries, and so on
  const std::string& below;   // its path below the picked item: "" for it, else "/a/b"
  bool tooDeep;               // a folder beyond the depth limit: it is not entered
};

class WalkVisitor {
 public:
  virtual ~WalkVisitor() = default;
  // Every item met. For a folder (not tooDeep), answers whether to walk it.
  virtual bool visit(const WalkItem& item) = 0;
  // A folder that visit chose to walk, after its entries; error is the errno
  // when it could not be opened or listed (nothing below it was met), else 0.
  virtual void leave(const WalkItem& folder, int error) = 0;
};

// Walks the item `name` of the open folder `parent` as the picked item.
void walkSettingsItem(int parent, const std::string& name, WalkVisitor& visitor,
                      const std::stop_token& stop);

}  // namespace larkvale
