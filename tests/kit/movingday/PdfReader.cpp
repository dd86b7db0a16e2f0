#include "tests/kit/movingday/PdfReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace larkvale::test {
namespace {

std::string run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "could not run " << command;
    return out;
  }
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << command;
  return out;
}

std::map<std::string, std::string> parseInfo(const std::string& text) {
  std::map<std::string, std::string> info;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (size_t colon = line.find(':'); colon != std::string::npos) {
      size_t value = line.find_first_not_of(' ', colon + 1);
      info[line.substr(0, colon)] = value == std::string::npos ? "" : line.substr(value);
    }
  }
  return info;
}

}  // namespace

PdfReadBack readPdf(const TempDir& dir, const std::string& bytes) {
  const auto file = dir.write("document.pdf", bytes);
  PdfReadBack result;
  result.info = parseInfo(run("pdfinfo '" + file.string() + "' 2>&1"));
  const std::string text = run("pdftotext -enc UTF-8 '" + file.string() + "' - 2>&1");
  // pdftotext ends every page with a form feed.
  size_t start = 0;
  for (size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
    result.pages.push_back(text.substr(start, ff - start));
    start = ff + 1;
  }
  return result;
}

}  // namespace larkvale::test
