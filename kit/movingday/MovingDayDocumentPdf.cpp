// The PDF form of the Moving day document, laid out with Pango and drawn
// with cairo. The whole text flows as one stream of lines across pages: a
// page takes lines until the next one would pass the bottom of the frame, so
// paragraphs break between pages wherever a line ends.
#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>
#include <string_view>

#include <unicode/unistr.h>

#include "kit/movingday/MovingDayDocument.h"
#include "platform/FileSystem.h"
#include "platform/TextTrim.h"

namespace larkvale::MovingDayDocument {
namespace {

// US Letter in points; the frame is 540 × 708 with its lower left corner at
// (36, 48) in PDF coordinates, i.e. 36 pt from the top in cairo's.
constexpr double kPageWidth = 612, kPageHeight = 792;
constexpr double kFrameLeft = 36, kFrameTop = 36, kFrameWidth = 540, kFrameBottom = 744;
constexpr double kFooterBaseline = kPageHeight - 24;
constexpr int kMaxPages = 200;
constexpr double kBlack = 0.0, kGrey = 0.35;

constexpr const char* kSansFamily = "DejaVu Sans,Helvetica";
constexpr const char* kMonoFamily = "DejaVu Sans Mono,Menlo,monospace";

struct Paragraph {
  std::string text;
  const char* family = kSansFamily;
  bool bold = false;
  double size = 10;
  ParagraphStyle style;
  double grey = kBlack;
};

// Pango refuses invalid UTF-8 and stops at a NUL; both become U+FFFD.
std::string drawable(std::string text) {
  if (FileSystem::isValidUtf8(text) && text.find('\0') == std::string::npos) return text;
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  u.findAndReplace(icu::UnicodeString(static_cast<UChar>(0)),
                   icu::UnicodeString(static_cast<UChar>(0xFFFD)));
  std::string out;
  u.toUTF8String(out);
  return out;
}

// Pango's word-then-character wrapping is quadratic in the length of a run
// that has no break opportunity (a long path, a row of blanks); such text is
// wrapped at any character instead, which costs the same as the usual case.
PangoWrapMode wrapModeFor(std::string_view text) {
  constexpr size_t kLongRun = 512;
  size_t run = 0;
  bool runIsBlank = false;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t';
    run = (blank == runIsBlank) ? run + 1 : 1;
    runIsBlank = blank;
    if (run > kLongRun) return PANGO_WRAP_CHAR;
  }
  return PANGO_WRAP_WORD_CHAR;
}

Paragraph sans(std::string text, bool bold, double size, double before, double indent,
               double grey) {
  return {drawable(std::move(text)), kSansFamily, bold, size, paragraphStyle(before, indent), grey};
}

// The detail lines below a check item, one paragraph; empty lines left out.
std::string detailText(const std::vector<DocText>& detail) {
  std::string out;
  for (const auto& line : detail) {
    std::string text = Doc::shown(line);
    if (text.empty()) continue;
    if (!out.empty()) out += '\n';
    out += text;
  }
  return out;
}

void appendParagraphs(std::vector<Paragraph>& out, const DocBlock& block) {
  const std::string text = Doc::shown(block.text);
  switch (block.kind) {
    case DocBlock::Kind::title:
      out.push_back(sans(text, true, 22, 0, 0, kBlack));
      break;
    case DocBlock::Kind::heading:
      out.push_back(sans(text, true, 14, 12, 0, kBlack));
      break;
    case DocBlock::Kind::paragraph:
      out.push_back(sans(text, false, 10.5, 4, 0, kGrey));
      break;
    case DocBlock::Kind::bullet:
      out.push_back(sans("\u2022  " + text, false, 10, 3, 14, kBlack));
      break;
    case DocBlock::Kind::check:
      out.push_back(
          sans((block.done ? "\u2611  " : "\u2610  ") + text, !block.done, 10.5, 5, 18, kBlack));
      if (std::string detail = detailText(block.detail); !detail.empty()) {
        out.push_back(sans(std::move(detail), false, 9.5, 1, 18, kGrey));
      }
      break;
    case DocBlock::Kind::code:
      out.push_back({drawable(text), kMonoFamily, false, 9, paragraphStyle(2, 18), kBlack});
      break;
  }
}

template <typename T, void (*Release)(T*)>
struct Releaser {
  void operator()(T* p) const {
    if (p) Release(p);
  }
};
void unrefObject(void* p) {
  g_object_unref(p);
}
using Surface = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_t, cairo_surface_destroy>>;
using Cairo = std::unique_ptr<cairo_t, Releaser<cairo_t, cairo_destroy>>;
using FontDescription =
    std::unique_ptr<PangoFontDescription,
                    Releaser<PangoFontDescription, pango_font_description_free>>;
template <typename T>
using GObject = std::unique_ptr<T, Releaser<void, unrefObject>>;
using Layout = GObject<PangoLayout>;
using LayoutIter =
    std::unique_ptr<PangoLayoutIter, Releaser<PangoLayoutIter, pango_layout_iter_free>>;

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  try {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  } catch (...) {
    return CAIRO_STATUS_WRITE_ERROR;
  }
}

// Draws lines into pages, opening a new page when the next line does not fit.
class PageWriter {
 public:
  PageWriter(cairo_t* cr, PangoContext* context) : cr_(cr), context_(context) {}

  // False once no further line can be drawn (page cap, or a line taller than
  // a whole page).
  bool write(const Paragraph& paragraph);
  void finish() {
    if (!stopped_) endPage();
  }

 private:
  Layout makeLayout(const std::string& text, const char* family, bool bold, double size,
                    double width) const;
  bool placeLine(PangoLayoutIter* iter, const Paragraph& paragraph);
  void endPage();

  cairo_t* cr_;
  PangoContext* context_;
  int pages_ = 0;
  double y_ = kFrameTop;
  bool pageEmpty_ = true;
  bool stopped_ = false;
};

Layout PageWriter::makeLayout(const std::string& text, const char* family, bool bold, double size,
                              double width) const {
  Layout layout(pango_layout_new(context_));
  FontDescription font(pango_font_description_from_string(family));
  pango_font_description_set_weight(font.get(), bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_absolute_size(font.get(), size * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  if (width > 0) {
    pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_wrap(layout.get(), wrapModeFor(text));
  }
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  return layout;
}

bool PageWriter::write(const Paragraph& paragraph) {
  if (stopped_) return false;
  const double indent = paragraph.style.headIndent;
  Layout layout = makeLayout(paragraph.text, paragraph.family, paragraph.bold, paragraph.size,
                             kFrameWidth - indent);
  LayoutIter iter(pango_layout_get_iter(layout.get()));
  do {
    if (!placeLine(iter.get(), paragraph)) return false;
  } while (pango_layout_iter_next_line(iter.get()));
  return true;
}

bool PageWriter::placeLine(PangoLayoutIter* iter, const Paragraph& paragraph) {
  PangoRectangle logical;
  pango_layout_iter_get_line_extents(iter, nullptr, &logical);
  const double height = static_cast<double>(logical.height) / PANGO_SCALE;
  PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
  double gap = 0;
  if (!pageEmpty_) {
    gap = paragraph.style.lineSpacingAdjustment +
          (line->is_paragraph_start ? paragraph.style.spacingBefore : 0);
  }
  if (y_ + gap + height > kFrameBottom) {
    if (pageEmpty_ || pages_ + 1 >= kMaxPages) {
      endPage();
      stopped_ = true;
      return false;
    }
    endPage();
    gap = 0;
  }
  const double baseline =
      static_cast<double>(pango_layout_iter_get_baseline(iter) - logical.y) / PANGO_SCALE;
  cairo_set_source_rgb(cr_, paragraph.grey, paragraph.grey, paragraph.grey);
  cairo_move_to(cr_, kFrameLeft + paragraph.style.headIndent + double(logical.x) / PANGO_SCALE,
                y_ + gap + baseline);
  pango_cairo_show_layout_line(cr_, line);
  y_ += gap + height;
  pageEmpty_ = false;
  return true;
}

void PageWriter::endPage() {
  const std::string footer = "Larkvale \u00b7 Moving day \u00b7 page " + std::to_string(pages_ + 1);
  Layout layout = makeLayout(footer, kSansFamily, false, 8, 0);
  cairo_set_source_rgb(cr_, kGrey, kGrey, kGrey);
  cairo_move_to(cr_, kFrameLeft, kFooterBaseline);
  pango_cairo_show_layout_line(cr_, pango_layout_get_line_readonly(layout.get(), 0));
  cairo_show_page(cr_);
  ++pages_;
  y_ = kFrameTop;
  pageEmpty_ = true;
}

GObject<PangoContext> makeContext(PangoFontMap* fontMap, cairo_t* cr) {
  GObject<PangoContext> context(pango_font_map_create_context(fontMap));
  // Unhinted metrics: a PDF is scaled freely, so glyph advances stay linear.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(context.get(), options);
  cairo_font_options_destroy(options);
  pango_cairo_update_context(cr, context.get());
  return context;
}

}  // namespace

ParagraphStyle paragraphStyle(double before, double indent) {
  return {before, indent, indent, 2};
}

std::optional<std::string> renderPDF(const std::vector<DocBlock>& blocks) {
  std::vector<Paragraph> paragraphs;
  for (const auto& block : blocks) appendParagraphs(paragraphs, block);

  std::string bytes;
  Surface surface(
      cairo_pdf_surface_create_for_stream(appendBytes, &bytes, kPageWidth, kPageHeight));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, "Moving day");
  cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Larkvale");
  Cairo cr(cairo_create(surface.get()));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  {
    // A font map of our own, released at the end, so no caches of one call
    // outlive it and calls on different threads share no Pango state.
    GObject<PangoFontMap> fontMap(pango_cairo_font_map_new());
    pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(fontMap.get()), 72);
    GObject<PangoContext> context = makeContext(fontMap.get(), cr.get());
    PageWriter writer(cr.get(), context.get());
    for (const auto& paragraph : paragraphs) {
      if (!writer.write(paragraph)) break;
    }
    writer.finish();
  }
  cr.reset();
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  surface.reset();
  return bytes;
}

}  // namespace larkvale::MovingDayDocument
