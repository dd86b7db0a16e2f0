// The streaming reading of a state (its report's updates never built into a
// tree) against the reading through the tree, over whole states and damaged
// ones: the same state or the same error, and the streaming reading never
// vouching for what the tree refuses.
#include <gtest/gtest.h>

#include <variant>

#include "kit/model/StateStore.h"

namespace larkvale {
namespace {

using namespace std::chrono;

const Date kT0 = Date{sys_days{2026y / 12 / 5} + hours{17} + minutes{30} + seconds{42}};

// A state, or the whole account of the error its text gives.
using Outcome = std::variant<AppState, std::string>;

template <typename Decode>
Outcome outcome(Decode decode) {
  try {
    return decode();
  } catch (const JsonDecodingError& e) {
    return std::string(e.what()) + " | " + e.path() + " | " + e.expected() + " | " + e.key() +
           " | " + e.underlying() + " | " + std::to_string(static_cast<int>(e.kind()));
  }
}

// decode() gives what the tree gives; the streaming reading gives the same
// state where the tree accepts (`streams`: unless a key on the path to the
// updates is repeated) and nothing where it refuses.
void expectAgree(const std::string& text, bool streams = true) {
  SCOPED_TRACE(text.size() > 400 ? text.substr(0, 400) + "…" : text);
  const Outcome tree = outcome([&] { return JsonCoding::decode<AppState>(text); });
  EXPECT_TRUE(outcome([&] { return StateStore::decode(text); }) == tree);
  const std::optional<AppState> streamed = StateStore::decodeStreaming(text);
  if (const auto* state = std::get_if<AppState>(&tree)) {
    if (streams) {
      ASSERT_TRUE(streamed.has_value());
      EXPECT_TRUE(*streamed == *state);
    }
  } else {
    EXPECT_FALSE(streamed.has_value()) << std::get<std::string>(tree);
  }
}

AppUpdate update(int i) {
  std::string n = std::to_string(i);
  AppUpdate u;
  u.app.path = "/Applications/App " + n + ".app";
  u.app.name = "Äpp " + n;
  u.app.bundleID = "com.example.app" + n;
  u.app.version = "1." + n;
  u.app.build = n;
  u.app.hasAppStoreReceipt = i % 2 == 0;
  u.app.isWrappedIOSApp = i % 3 == 0;
  const UpdateSource sources[] = {UpdateSource::sparkle("https://example.com/" + n + ".xml"),
                                  UpdateSource::homebrew("app-" + n),
                                  UpdateSource::github("o/app" + n),
                                  UpdateSource::appStore(),
                                  UpdateSource::apple(),
                                  UpdateSource::unknown()};
  const UpdateStatus statuses[] = {UpdateStatus::updateAvailable(), UpdateStatus::upToDate(),
                                   UpdateStatus::notChecked("The feed didn’t answer."),
                                   UpdateStatus::noSource()};
  u.source = sources[i % 6];
  u.status = statuses[i % 4];
  if (i % 5 != 4) {  // every optional filled, bar every fifth update's
    u.app.feedURL = "https://example.com/" + n + "/appcast.xml";
    u.app.selfUpdater = "Sparkle";
    u.app.sandboxed = i % 2 == 1;
    u.app.storeID = -i;
    u.app.githubRepo = "owner/app" + n;
    u.latestVersion = "2." + n;
    u.notes = std::string(40 + i % 70, 'n') + "\n\"quoted\" \\ \u00e9";
    u.notesURL = "https://example.com/" + n + "/notes?a=%20";
    u.downloadURL = "https://example.com/" + n + "/d.zip";
    u.released = kT0 - hours{i};
    u.storeTrackID = int64_t{1} << (i % 63);
    u.remark = "Pinned in Homebrew.";
  }
  u.caskAutoUpdates = i % 2 == 1;
  u.critical = i % 7 == 0;
  u.alsoSparkle = i % 3 == 1;
  return u;
}

AppState stateOf(int count) {
  AppState state;
  CheckReport report{kT0, {}, true, {"Homebrew didn’t answer."}};
  for (int i = 0; i < count; ++i) report.updates.push_back(update(i));
  state.record(report);
  state.skipped = {{"com.example.app1", "3"}};
  state.holds = {{"com.example.app2", Hold{"Breaks plugins", kT0}}};
  state.ticked = {"install.a"};
  state.weeklyNoticeLast = kT0;
  return state;
}

TEST(StateStoreStreamingTest, ReadsWholeStatesAsTheTreeDoes) {
  for (int count : {0, 1, 12, 3000}) {
    const AppState state = stateOf(count);
    const std::string text = StateStore::encode(state);
    expectAgree(text);
    EXPECT_TRUE(StateStore::decode(text) == state) << count;
  }
  for (const char* text : {"{}", R"({"lastReport":null})", R"({"history":[],"unknown":{}})",
                           R"({"lastReport":{"updates":[],"date":"2026-12-05T17:30:42Z",)"
                           R"("brewAvailable":false,"problems":[]}})"}) {
    expectAgree(text);
  }
}

// Every key of an update (and of its app and enumerations) removed, given
// each other kind of value, repeated either way round, and joined by unknown
// keys and cases.
TEST(StateStoreStreamingTest, AgreesOnEveryDamageToAnUpdate) {
  Json doc = Json::parse(StateStore::encode(stateOf(6)));
  const Json others[] = {nullptr,
                         true,
                         0,
                         -1,
                         7.0,
                         1.5,
                         1e300,
                         9223372036854775807ll,
                         9223372036854775808ull,
                         Json::parse("-9223372036854775809"),
                         Json::parse("18446744073709551616"),
                         "",
                         "s",
                         "https://x y",
                         "https://example.com/%zz",
                         "2026-12-05T17:30:42Z",
                         "2026-13-45T00:00:00Z",
                         Json::array(),
                         Json::array({"s"}),
                         Json::object(),
                         Json::parse(R"({"_0":"s"})")};
  // Replaces the object at `pointer` by `text` in the document's text.
  auto withObjectText = [&](const Json::json_pointer& pointer, const std::string& text) {
    Json copy = doc;
    copy[pointer] = "@object@";
    std::string whole = JsonCoding::encode(copy);
    whole.replace(whole.find("\"@object@\""), 10, text);
    return whole;
  };
  std::vector<Json::json_pointer> objects;
  for (int i = 0; i < 6; ++i) {
    Json::json_pointer element("/lastReport/updates/" + std::to_string(i));
    objects.push_back(element);
    objects.push_back(element / "app");
    for (const char* e : {"source", "status"}) {
      objects.push_back(element / e);
      const Json& cases = doc[element / e];
      objects.push_back(element / e / cases.begin().key());
    }
  }
  for (const auto& object : objects) {
    const Json& value = doc[object];
    for (const auto& [key, original] : value.items()) {
      Json removed = doc;
      removed[object].erase(key);
      expectAgree(JsonCoding::encode(removed));
      for (const Json& other : others) {
        Json changed = doc;
        changed[object / key] = other;
        expectAgree(JsonCoding::encode(changed));
        const std::string text = JsonCoding::encode(value);
        const std::string member = JsonCoding::encode(Json(key)) + ":" + other.dump();
        expectAgree(withObjectText(object, "{" + member + "," + text.substr(1)));
        expectAgree(withObjectText(object, text.substr(0, text.size() - 1) + "," + member + "}"));
      }
    }
    for (const char* extra : {R"("zz":{"a":[1,{"b":null}]})", R"("sparkle":{"_0":"https://a"})",
                              R"("upToDate":{})", R"("_0":1)"}) {
      const std::string text = JsonCoding::encode(value);
      expectAgree(withObjectText(object, "{" + std::string(extra) + "," + text.substr(1)));
    }
    expectAgree(withObjectText(object, "[]"));
  }
}

TEST(StateStoreStreamingTest, AgreesOnDamageAroundTheUpdates) {
  const std::string text = StateStore::encode(stateOf(3));
  // Cut anywhere: never JSON.
  for (size_t size = 0; size < text.size(); ++size) expectAgree(text.substr(0, size));

  auto replaced = [&](std::string_view from, std::string_view to) {
    std::string out = text;
    out.replace(out.find(from), from.size(), to);
    return out;
  };
  expectAgree(replaced("Äpp 1", "\xC3"));  // not UTF-8
  expectAgree(text + " ");                 // trailing space is fine
  expectAgree(text + "{}");                // a second value is not
  expectAgree("[" + text + "]");           // not an object
  expectAgree(replaced("\"updates\":[", "\"updates\":{\"a\":["));
  expectAgree(replaced("\"lastReport\":{", "\"lastReport\":[{"));
  // A repeated key on the path: the tree's last one counts, here either way.
  const std::string report = Json::parse(text)["lastReport"].dump();
  expectAgree("{\"lastReport\":null," + text.substr(1), false);
  expectAgree(text.substr(0, text.size() - 1) + ",\"lastReport\":null}", false);
  expectAgree(text.substr(0, text.size() - 1) + ",\"lastReport\":" + report + "}", false);
  expectAgree(replaced("\"updates\":[", "\"updates\":[],\"updates\":["), false);
  expectAgree(replaced("\"updates\":[", "\"updates\":null,\"updates\":["), false);
  expectAgree(replaced("\"problems\":", "\"updates\":[],\"problems\":"), false);

  // Nesting up to the limit is read; one more level is refused. The
  // update's unknown key sits 4 levels deep.
  for (size_t depth : {JsonCoding::maxDepth - 4, JsonCoding::maxDepth - 3}) {
    std::string deep = std::string(depth, '[') + std::string(depth, ']');
    expectAgree(replaced("{\"alsoSparkle\"", "{\"deep\":" + deep + ",\"alsoSparkle\""));
    expectAgree(replaced("\"history\":[]", "\"history\":[],\"deep\":[" + deep + "]"));
  }
}

}  // namespace
}  // namespace larkvale
