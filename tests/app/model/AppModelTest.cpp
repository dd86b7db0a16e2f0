// Observed values, the derived lists, save() with the badge, permissions.
#include <functional>

#include "tests/app/model/ModelFixture.h"

namespace larkvale::test {
namespace {

TEST_F(ModelTest, SettersNotifyOnlyOnRealChangeWhileProgressValuesAlwaysDo) {
  QSignalSpy notice(model.get(), &AppModel::noticeChanged);
  QSignalSpy search(model.get(), &AppModel::searchChanged);
  QSignalSpy selection(model.get(), &AppModel::selectionChanged);
  QSignalSpy chosen(model.get(), &AppModel::safeChosenChanged);
  QSignalSpy state(model.get(), &AppModel::stateChanged);
  for (int i = 0; i < 2; ++i) {
    model->setNotice(Notice{"Done.", false});
    model->setSearch(QString::fromUtf8("Cafe\u0301"));  // then its composed form
    model->setSelection(QString("/Applications/A.app"));
    model->setSafeChosen("/Applications/A.app", true);
    model->setState(model->state());
  }
  model->setSearch(QString::fromUtf8("Caf\u00e9"));
  // Equal up to canonical equivalence: not announced, but held as typed.
  EXPECT_EQ(model->search(), QString::fromUtf8("Caf\u00e9"));
  model->setNotice(Notice{"Done.", true});
  model->setSelection(std::nullopt);
  EXPECT_EQ(notice.count(), 2);
  EXPECT_EQ(search.count(), 1);
  EXPECT_EQ(selection.count(), 2);
  EXPECT_EQ(chosen.count(), 1);
  EXPECT_EQ(state.count(), 0);
  model->mutateState([](AppState&) {});
  EXPECT_EQ(state.count(), 1);

  // A check assigns (0, 0) at its start and (0, apps) after the scan, even
  // when the values repeat.
  QSignalSpy progress(model.get(), &AppModel::progressChanged);
  ASSERT_TRUE(waitFor(model->check()));
  ASSERT_TRUE(waitFor(model->check()));
  EXPECT_EQ(progress.count(), 4);
}

TEST_F(ModelTest, RowsAreSearchedFilteredByPaneAndOrderedByRankThenName) {
  AppUpdate critical = update("zeta");
  critical.critical = true;
  AppUpdate skipped = update("Skipper");
  AppUpdate held = update("Holden");
  report({update("Bravo"), update("alpha"), update("Current", UpdateStatus::upToDate()), skipped,
          held, update("Nosource", UpdateStatus::noSource()),
          update("Unchecked", UpdateStatus::notChecked("Offline.")), critical,
          update("Caf\u00e9", UpdateStatus::upToDate())});
  model->skipVersion(skipped);
  model->holdApp(held, "later");

  EXPECT_EQ(names(model->rows(Pane::allApps)),
            (std::vector<std::string>{"zeta", "alpha", "Bravo", "Unchecked", "Holden", "Skipper",
                                      "Caf\u00e9", "Current", "Nosource"}));
  EXPECT_EQ(names(model->rows(Pane::updates)),
            (std::vector<std::string>{"zeta", "alpha", "Bravo"}));
  EXPECT_EQ(names(model->rows(Pane::held)), (std::vector<std::string>{"Holden", "Skipper"}));
  EXPECT_EQ(model->badgeCount(Pane::updates), 3);
  EXPECT_EQ(model->badgeCount(Pane::held), 2);
  EXPECT_EQ(model->badgeCount(Pane::history), 0);

  struct Case {
    const char* search;
    std::vector<std::string> rows;
  } cases[] = {
      {"ALPHA", {"alpha"}},
      {"com.example.",
       {"zeta", "alpha", "Bravo", "Unchecked", "Holden", "Skipper", "Caf\u00e9", "Current",
        "Nosource"}},
      {" ", {}},
      {"skip", {"Skipper"}},
      {"CAFE\u0301", {"Caf\u00e9"}},
  };
  for (const auto& c : cases) {
    model->setSearch(c.search);
    EXPECT_EQ(names(model->rows(Pane::allApps)), c.rows) << c.search;
  }
  // The held badge ignores the search that hides its rows.
  EXPECT_EQ(model->badgeCount(Pane::held), 2);
}

TEST_F(ModelTest, SearchIsACaseInsensitiveContainsOfComposedTextsWhateverWasSearchedBefore) {
  // Letters whose case folding is unusual: sharp s (no one-letter capital),
  // final and capital sigma, the Kelvin sign, dotted capital I, a letter
  // outside the basic plane (Deseret), and a decomposed accent.
  const std::vector<std::string> appNames = {"Straße",   "ΟΔΥΣΣΕΥΣ", "Kelvin", "İstanbul",
                                             "𐐀𐐁 Notes", "Café",     "Plain"};
  std::vector<AppUpdate> updates;
  for (const std::string& name : appNames) {
    updates.push_back(update(name));
    updates.back().app.bundleID = "id." + std::to_string(updates.size()) + name;
  }
  report(updates);
  const char* searches[] = {"ss", "ß", "STRAẞ", "σσ",   "ς", "kel", "K", "i̇",
                            "İ",  "𐐨", "𐐩 n",   "café", "É", "a",   ""};
  // Twice, so that the second pass reads what the first one kept.
  for (int pass = 0; pass < 2; ++pass) {
    for (const char* search : searches) {
      const QString needle = QString::fromUtf8(search).normalized(QString::NormalizationForm_C);
      std::vector<std::string> expected;
      auto found = [&needle](const std::string& text) {
        return QString::fromStdString(text)
            .normalized(QString::NormalizationForm_C)
            .contains(needle, Qt::CaseInsensitive);
      };
      for (const AppUpdate& u : updates) {
        if (found(u.app.name) || found(u.app.bundleID)) expected.push_back(u.app.name);
      }
      model->setSearch(QString::fromUtf8(search));
      std::vector<std::string> shown = names(model->rows(Pane::allApps));
      std::sort(shown.begin(), shown.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(shown, expected) << search << " pass " << pass;
    }
  }
  // A change of state under a search shows the new rows, searched.
  model->setSearch("plain");
  EXPECT_EQ(names(model->rows(Pane::allApps)), std::vector<std::string>{"Plain"});
  report({update("Plainly"), update("Other")});
  EXPECT_EQ(names(model->rows(Pane::allApps)), std::vector<std::string>{"Plainly"});
  model->setSearch("");
  EXPECT_EQ(names(model->rows(Pane::allApps)), (std::vector<std::string>{"Other", "Plainly"}));
}

// Rows handed out read the state they were made from, whatever the model
// does next; the model's own lists follow every change, the quick answer
// about safe updates included.
TEST_F(ModelTest, RowsHandedOutKeepTheirStateWhileTheModelMovesOn) {
  const AppUpdate beta = update("Beta");
  const AppUpdate brewed = cask("Brewed", "has space");  // waiting, but not safe
  report({update("Alpha"), beta, brewed});
  auto rowNames = [](const AppModel::PaneRows& rows) {
    std::vector<std::string> out;
    for (size_t row = 0; row < rows.size(); ++row) out.push_back(rows.at(row).app.name);
    return out;
  };
  const std::vector<std::string> before{"Alpha", "Beta", "Brewed"};
  std::shared_ptr<const AppModel::PaneRows> held = model->paneRows(Pane::updates);
  EXPECT_TRUE(model->hasSafeCandidates());

  model->skipVersion(beta);
  model->mutateState([](AppState& state) { state.lastReport->updates.front().app.name = "Aleph"; });
  EXPECT_EQ(rowNames(*held), before);
  EXPECT_EQ(held->effective[1], AppState::Effective::update);
  EXPECT_EQ(names(model->rows(Pane::updates)), (std::vector<std::string>{"Aleph", "Brewed"}));
  EXPECT_EQ(model->state().skipped.count(beta.app.bundleID), 1u);
  EXPECT_EQ(model->hasSafeCandidates(), !model->safePlan().candidates.empty());

  std::shared_ptr<const AppModel::PaneRows> second = model->paneRows(Pane::allApps);
  model->skipVersion(model->rows(Pane::updates).front());  // an update from the lists it changes
  EXPECT_FALSE(model->hasSafeCandidates());
  model->setState(AppState{});
  EXPECT_EQ(rowNames(*held), before);
  EXPECT_EQ(rowNames(*second), (std::vector<std::string>{"Aleph", "Brewed", "Beta"}));
  EXPECT_EQ(model->paneRows(Pane::allApps)->size(), 0u);
  EXPECT_FALSE(model->hasSafeCandidates());
  report({update("Gamma")});
  EXPECT_TRUE(model->hasSafeCandidates());
}

// Each kind of change, made while rows of the very state it changes are held
// (and, where it acts on an update, through one read from those rows): the
// held rows read as they were, rows taken afterwards show the change. As the
// update list does, a listener takes the rows anew on every change.
TEST_F(ModelTest, RowsHeldThroughEachKindOfChangeReadAsTheyWere) {
  QObject::connect(model.get(), &AppModel::stateChanged, model.get(),
                   [this] { model->rows(Pane::allApps); });
  report({update("Alpha"), update("Bravo"), cask("Cola", "cola")});
  auto read = [](const AppModel::PaneRows& rows) {
    std::vector<std::string> out;
    for (size_t row = 0; row < rows.size(); ++row) {
      const AppUpdate& u = rows.at(row);
      out.push_back(u.app.name + " " + u.latestVersion.value_or("-") + " " +
                    std::to_string(static_cast<int>(rows.effective[row])));
    }
    return out;
  };
  using Change = std::function<void(const AppModel::PaneRows&)>;
  auto whileHeld = [&](Pane pane, const Change& change) {
    const std::shared_ptr<const AppModel::PaneRows> held = model->paneRows(pane);
    const std::vector<std::string> before = read(*held);
    change(*held);
    EXPECT_EQ(read(*held), before);
  };
  using Names = std::vector<std::string>;

  whileHeld(Pane::updates, [&](const auto& rows) { model->skipVersion(rows.at(0)); });
  EXPECT_EQ(noticeText(), "Skipped Alpha 2.0. It comes back when a newer version appears.");
  EXPECT_EQ(names(model->rows(Pane::updates)), (Names{"Bravo", "Cola"}));
  whileHeld(Pane::allApps, [&](const auto& rows) { model->holdApp(rows.at(1), "later"); });
  EXPECT_EQ(noticeText(), "Cola is on hold: it won't be offered until you release it.");
  EXPECT_EQ(names(model->rows(Pane::held)), (Names{"Alpha", "Cola"}));
  whileHeld(Pane::held, [&](const auto& rows) { model->unskip(rows.at(0)); });
  whileHeld(Pane::held, [&](const auto& rows) { model->releaseHold(rows.at(0)); });
  EXPECT_EQ(noticeText(), "Cola is no longer on hold.");
  EXPECT_EQ(names(model->rows(Pane::updates)), (Names{"Alpha", "Bravo", "Cola"}));
  whileHeld(Pane::updates, [&](const auto&) { model->setShowUpToDate(true); });
  EXPECT_TRUE(model->state().settings.showUpToDate);

  // A new report in place of the one the rows read: from a check, and whole.
  whileHeld(Pane::updates, [&](const auto&) {
    runCheck({update("Xray"), update("Yankee"), update("Zulu")});
  });
  EXPECT_EQ(names(model->rows(Pane::updates)), (Names{"Xray", "Yankee", "Zulu"}));
  whileHeld(Pane::allApps, [&](const auto&) {
    report({update("Kilo"), update("Lima"), update("Mike")});
  });
  EXPECT_EQ(names(model->rows(Pane::allApps)), (Names{"Kilo", "Lima", "Mike"}));

  // Nothing held but the model's own rows, the update read from them.
  model->skipVersion(model->rows(Pane::allApps).front());
  EXPECT_EQ(noticeText(), "Skipped Kilo 2.0. It comes back when a newer version appears.");
  EXPECT_EQ(names(model->rows(Pane::updates)), (Names{"Lima", "Mike"}));
}

// Casks, GitHub and App Store updates waiting side by side: the cask count
// is of the waiting Homebrew updates alone, as their list is.
TEST_F(ModelTest, TheCaskCountLeavesOutOtherSourcesAndCasksNotWaiting) {
  const AppUpdate held = cask("Held", "held");
  AppUpdate current = cask("Current", "current");
  current.status = UpdateStatus::upToDate();
  const auto waiting = UpdateStatus::updateAvailable();
  report({cask("Cola", "cola"), update("Hub", waiting, UpdateSource::github("o/hub")),
          update("Store", waiting, UpdateSource::appStore()), update("Sparkly"),
          cask("Fizz", "fizz", true), held, current,
          update("Unchecked", UpdateStatus::notChecked("Offline."), UpdateSource::homebrew("u"))});
  model->holdApp(held, "");
  EXPECT_EQ(model->reportCounts().waiting, 5);
  EXPECT_EQ(model->reportCounts().homebrewWaiting, 2);
  EXPECT_EQ(model->homebrewPendingCount(), 2);
  EXPECT_EQ(names(model->homebrewPending()), (std::vector<std::string>{"Cola", "Fizz"}));
}

TEST_F(ModelTest, SelectionFindsItsUpdateAndOutlivesItsRow) {
  report({update("Alpha"), update("Beta")});
  model->setSelection(QString("/Applications/Beta.app"));
  ASSERT_TRUE(model->selectedUpdate());
  EXPECT_EQ(model->selectedUpdate()->app.name, "Beta");
  report({update("Alpha")});
  EXPECT_FALSE(model->selectedUpdate());
  EXPECT_EQ(model->selection(), QString("/Applications/Beta.app"));
}

TEST_F(ModelTest, AFailedSaveKeepsTheChangeReportsItAndStillSetsTheBadge) {
  report({update("Alpha"), update("Beta")});
  fakes.store->failSave = "Disk full.";
  model->skipVersion(update("Alpha"));
  EXPECT_EQ(noticeText(), "Couldn't save settings: Disk full.");
  EXPECT_TRUE(noticeIsError());
  EXPECT_EQ(model->state().skipped.at("com.example.Alpha"), "2.0");
  EXPECT_EQ(fakes.badge->counts.back(), 1);

  // Each outcome is announced, once; a save that goes on failing is not
  // announced again at every save, and the notice itself changes only once.
  QSignalSpy noted(model.get(), &AppModel::noted);
  QSignalSpy changed(model.get(), &AppModel::noticeChanged);
  model->setShowUpToDate(true);
  model->setShowUpToDate(false);
  EXPECT_EQ(noted.count(), 0);
  EXPECT_EQ(changed.count(), 0);
  fakes.store->failSave = "Disk gone.";
  model->setShowUpToDate(true);
  model->setShowUpToDate(false);
  ASSERT_EQ(noted.count(), 1);
  EXPECT_EQ(noted.at(0).at(0).value<Notice>(),
            (Notice{"Couldn't save settings: Disk gone.", true}));
  EXPECT_EQ(changed.count(), 1);
}

// Saves that recover and then fail again, in the same words and with the
// failure still on show: the new failure is announced (and so posted while
// the window is out of view), the streak before it only once.
TEST_F(ModelTest, ASaveThatFailsAgainAfterOneWentThroughIsAnnouncedAgain) {
  QSignalSpy noted(model.get(), &AppModel::noted);
  const Notice failure{"Couldn't save settings: Disk full.", true};
  fakes.store->failSave = "Disk full.";
  model->setShowUpToDate(true);
  model->setShowUpToDate(false);
  ASSERT_EQ(noted.count(), 1);

  fakes.store->failSave.reset();
  const size_t saved = fakes.store->saved.size();
  model->setShowUpToDate(true);
  ASSERT_EQ(fakes.store->saved.size(), saved + 1);
  EXPECT_EQ(noted.count(), 1);

  fakes.store->failSave = "Disk full.";
  model->setShowUpToDate(false);
  model->setShowUpToDate(true);
  ASSERT_EQ(noted.count(), 2);
  EXPECT_EQ(noted.at(1).at(0).value<Notice>(), failure);
  EXPECT_EQ(model->notice(), OptionalNotice(failure));
}

TEST(PaneTest, FromRawValueTakesExactlyTheCaseNames) {
  for (Pane pane : Panes::all) EXPECT_EQ(Panes::fromRawValue(Panes::rawValue(pane)), pane);
  for (const char* other : {"", "NewMac", "newMac ", "New Mac Check"})
    EXPECT_EQ(Panes::fromRawValue(other), std::nullopt) << other;
}

}  // namespace
}  // namespace larkvale::test
