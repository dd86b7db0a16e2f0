# Every outside library, found once. The packages come from scripts/deps.sh.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(OpenSSL REQUIRED)
find_package(CURL REQUIRED)
find_package(nlohmann_json 3.10 REQUIRED)
find_package(GTest REQUIRED)
# Qt: Core and Concurrent for the application model; Gui, Widgets, Svg and
# DBus for the windows and desktop services; Test for QSignalSpy and QtTest;
# LinguistTools compiles the translation files.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Concurrent Gui Widgets Svg DBus Network Test LinguistTools)
if(LARKVALE_BENCH)
  find_package(benchmark REQUIRED)
endif()

pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
pkg_check_modules(PANGOCAIRO REQUIRED IMPORTED_TARGET pangocairo)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
