#pragma once
// The booklet as a PDF: the cover, the directory's pages and the
// positions' pages, each page but the cover with its header and footer,
// drawn page by page through Cairo's PDF surface, which embeds the subsets
// of the fonts it uses; or the same pages two to a landscape sheet in
// booklet order.

#include <cstdio>
#include <ctime>

#include "book/content.h"
#include "book/geometry.h"
#include "book/pages.h"
#include "book/typeset.h"

/// The booklet's pages: the cover first, then the pages of `directory`,
/// then those of `positions`, which start on a page of their own.
struct BookPlan {
  PagePlan directory;
  PagePlan positions;

  /// Every page, the cover's included.
  size_t page_count() const { return 1 + directory.page_count() + positions.page_count(); }
};

/// Lays the directory's and the positions' blocks of `content` into pages
/// of `geometry`, as `typesetter` sets them (plan_pages).
BookPlan plan_book(const BookContent& content, Typesetter& typesetter, const Geometry& geometry);

/// How the PDF is made.
struct PdfSettings {
  bool booklet = false;  ///< two pages to a landscape sheet, in booklet order
  std::time_t stamp = 0;  ///< the PDF's creation and modification date
};

/// Writes to `fp` the pages of `plan` for `content`, set by `typesetter`
/// for pages of `geometry`: the cover (the unit, "Ward Directory", the
/// month and year, the households and members, "For ward members only"),
/// then every other page with the letters of its families (the first and
/// the last) or "Ward Positions" in the header and the unit and "page N of
/// M" in the footer. With `settings.booklet` each PDF page is a sheet's
/// side twice the page's width, the pages in booklet order (booklet_sides)
/// with blank pages added; else one PDF page a page. The document's title
/// names the unit; its dates are `settings.stamp`, in UTC. Returns the PDF
/// pages drawn; 0 after tool_error("cannot make the PDF: REASON") when
/// Cairo failed for another reason than a failed write of `fp`, which
/// leaves the stream's error set for its owner to report.
size_t write_book_pdf(FILE* fp, const BookContent& content, const BookPlan& plan,
                      Typesetter& typesetter, const Geometry& geometry,
                      const PdfSettings& settings);
