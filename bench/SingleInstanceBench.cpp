// What a launch pays to learn whether a copy already runs, with a temporary
// folder of many entries (a shared /tmp that nothing cleans): the first
// launch, which finds none and becomes the copy, and a later one, which
// finds it on its name. Arg: the entries in the temporary folder.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <string>

#include "app/shell/SingleInstance.h"
#include "tests/support/TempDir.h"

namespace {

struct Place {
  larkvale::test::TempDir dir;
  QString base = QString::fromStdString(dir.path().string());
  QString tmp = base + "/tmp";
  QString run = base + "/run";

  explicit Place(long entries) {
    QDir().mkpath(run);
    ::chmod(QFile::encodeName(run).constData(), 0700);
    QDir().mkpath(tmp);
    ::chmod(QFile::encodeName(tmp).constData(), 0700);
    // Files of other programs, some named like a short folder's kin.
    for (long i = 0; i < entries; ++i) {
      const QString leaf =
          (i % 10 == 0 ? QStringLiteral("larkvale-x") : QStringLiteral("f")) + QString::number(i);
      QFile(tmp + "/" + leaf).open(QIODevice::WriteOnly);
    }
  }
  std::unique_ptr<larkvale::SingleInstance> instance(int id) const {
    auto made =
        std::make_unique<larkvale::SingleInstance>(base + "/state-" + QString::number(id), run);
    made->setTemporaryFolders({tmp});
    return made;
  }
};

void BM_FirstLaunchClaims(benchmark::State& state) {
  Place place(state.range(0));
  for (auto _ : state) {
    auto first = place.instance(0);
    if (first->claim() != larkvale::SingleInstance::Claim::first) state.SkipWithError("not first");
  }
}
BENCHMARK(BM_FirstLaunchClaims)->Arg(0)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LaterLaunchFindsTheCopy(benchmark::State& state) {
  Place place(state.range(0));
  auto running = place.instance(0);
  running->claim();
  for (auto _ : state) {
    auto later = place.instance(0);
    if (later->claim() != larkvale::SingleInstance::Claim::later) state.SkipWithError("not later");
  }
}
BENCHMARK(BM_LaterLaunchFindsTheCopy)->Arg(0)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
