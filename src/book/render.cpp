#include "book/render.h"

#include <cairo-pdf.h>

#include <string>

#include "book/impose.h"
#include "tools/status.h"

namespace {

/// The grey of the rules under the header and above the footer.
constexpr double kRuleGrey = 0.55;

/// Appends what Cairo writes to the stream `closure`.
cairo_status_t write_to(void* closure, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<FILE*>(closure)) == length
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_WRITE_ERROR;
}

/// `stamp` as a PDF date in Cairo's form, "2024-04-14T00:00:00Z" (UTC).
std::string pdf_date(std::time_t stamp) {
  std::tm tm{};
  gmtime_r(&stamp, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return text;
}

/// "1 household" or "12 households".
std::string counted(int n, const char* noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

/// Draws one page of the booklet, its top left corner at the origin.
class PageDrawer {
 public:
  PageDrawer(const BookContent& content, const BookPlan& plan, Typesetter& typesetter,
             const Geometry& geometry)
      : content_(content), plan_(plan), ts_(typesetter), g_(geometry) {}

  /// Draws page `page` (from 0: the cover) on `cr`; a page past the last is
  /// left blank.
  void draw(cairo_t* cr, size_t page) {
    size_t directory_pages = plan_.directory.page_count();
    if (page == 0) {
      cover(cr);
    } else if (page <= directory_pages) {
      body(cr, plan_.directory, content_.directory, page - 1, page, true);
    } else if (page < plan_.page_count()) {
      body(cr, plan_.positions, content_.positions, page - 1 - directory_pages, page, false);
    }
  }

 private:
  void cover(cairo_t* cr) {
    double width = g_.width - 2 * g_.margin;
    double em = g_.body_size;
    double y = g_.height * 0.28;
    y += ts_.draw_text(cr, content_.unit, Style::kCoverUnit, PANGO_ALIGN_CENTER, g_.margin,
                       width, y);
    y += em * 1.5;
    y += ts_.draw_text(cr, "Ward Directory", Style::kCoverTitle, PANGO_ALIGN_CENTER, g_.margin,
                       width, y);
    y += em * 3;
    y += ts_.draw_text(cr, content_.date, Style::kCoverLine, PANGO_ALIGN_CENTER, g_.margin,
                       width, y);
    y += em;
    std::string counts = counted(content_.households, "household") + ", " +
                         counted(content_.members, "member");
    ts_.draw_text(cr, counts, Style::kCoverLine, PANGO_ALIGN_CENTER, g_.margin, width, y);
    ts_.draw_text(cr, "For ward members only", Style::kCoverLine, PANGO_ALIGN_CENTER, g_.margin,
                  width, g_.height - g_.margin - 3 * em, true);
  }

  /// Draws page `index` of `pages` (blocks `blocks`), page number `page`
  /// of the booklet; `lettered` heads it with its letters, else with the
  /// positions' title.
  void body(cairo_t* cr, const PagePlan& pages, const std::vector<Block>& blocks, size_t index,
            size_t page, bool lettered) {
    std::string first, last;
    for (size_t i = pages.begin(index); i < pages.end(index); ++i) {
      const Piece& piece = pages.pieces[i];
      const Block& block = blocks[piece.block];
      ts_.draw(cr, block, piece.first_line, piece.end_line, g_.column_x(piece.column),
               g_.body_top + piece.y);
      if (block.letter.empty()) continue;
      if (first.empty()) first = block.letter;
      last = block.letter;
    }
    std::string header = !lettered           ? "Ward Positions"
                         : first == last     ? first
                                             : first + " \u2013 " + last;
    margins(cr, header, page);
  }

  /// The header with `header` and the footer of page `page`, each with its
  /// rule.
  void margins(cairo_t* cr, const std::string& header, size_t page) {
    double width = g_.width - 2 * g_.margin;
    double em = g_.body_size;
    ts_.draw_text(cr, header, Style::kMargin, PANGO_ALIGN_RIGHT, g_.margin, width, g_.margin);
    double footer = g_.body_bottom + 1.8 * em;
    ts_.draw_text(cr, content_.unit, Style::kMargin, PANGO_ALIGN_LEFT, g_.margin, width * 0.7,
                  footer);
    std::string number =
        "page " + std::to_string(page + 1) + " of " + std::to_string(plan_.page_count());
    ts_.draw_text(cr, number, Style::kMargin, PANGO_ALIGN_RIGHT, g_.margin, width, footer);

    cairo_save(cr);
    cairo_set_source_rgb(cr, kRuleGrey, kRuleGrey, kRuleGrey);
    cairo_set_line_width(cr, 0.5);
    for (double y : {g_.body_top - 1.2 * em, g_.body_bottom + 1.2 * em}) {
      cairo_move_to(cr, g_.margin, y);
      cairo_line_to(cr, g_.width - g_.margin, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
  }

  const BookContent& content_;
  const BookPlan& plan_;
  Typesetter& ts_;
  const Geometry& g_;
};

}  // namespace

BookPlan plan_book(const BookContent& content, Typesetter& typesetter, const Geometry& geometry) {
  auto plan = [&](const std::vector<Block>& blocks) {
    return plan_pages(blocks.size(), geometry.columns, geometry.column_height(),
                      [&](size_t i, BlockMetrics* metrics) {
                        typesetter.measure(blocks[i], metrics);
                      });
  };
  return {plan(content.directory), plan(content.positions)};
}

size_t write_book_pdf(FILE* fp, const BookContent& content, const BookPlan& plan,
                      Typesetter& typesetter, const Geometry& geometry,
                      const PdfSettings& settings) {
  double sheet_width = settings.booklet ? 2 * geometry.width : geometry.width;
  cairo_surface_t* surface =
      cairo_pdf_surface_create_for_stream(write_to, fp, sheet_width, geometry.height);
  std::string date = pdf_date(settings.stamp);
  std::string title = content.unit + " \u2013 Ward Directory";
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "kinroll-book");
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE, date.c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_MOD_DATE, date.c_str());
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0, 0, 0);

  PageDrawer drawer(content, plan, typesetter, geometry);
  size_t written = 0;
  if (settings.booklet) {
    for (const SheetSide& side : booklet_sides(plan.page_count())) {
      drawer.draw(cr, side.left);
      cairo_save(cr);
      cairo_translate(cr, geometry.width, 0);
      drawer.draw(cr, side.right);
      cairo_restore(cr);
      cairo_show_page(cr);
      ++written;
    }
  } else {
    for (size_t page = 0; page < plan.page_count(); ++page) {
      drawer.draw(cr, page);
      cairo_show_page(cr);
      ++written;
    }
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  // A failed write shows on the stream, which its owner reports.
  if (status != CAIRO_STATUS_SUCCESS && status != CAIRO_STATUS_WRITE_ERROR) {
    tool_error("cannot make the PDF: %s", cairo_status_to_string(status));
    return 0;
  }
  return written;
}
