#pragma once
// Reads a PDF back with poppler's command-line tools (pdftotext, pdfinfo).
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace larkvale::test {

struct PdfReadBack {
  std::map<std::string, std::string> info;  // pdfinfo's "Key: value" lines
  std::vector<std::string> pages;           // pdftotext's text, page by page

  int pageCount() const { return info.contains("Pages") ? std::stoi(info.at("Pages")) : 0; }
};

// Writes the bytes into the folder and reads them back; fails the test when
// either tool fails.
PdfReadBack readPdf(const TempDir& dir, const std::string& bytes);

}  // namespace larkvale::test
