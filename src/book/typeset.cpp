#include "book/typeset.h"

#include <string>

namespace {

/// Points from Pango units.
double points(int units) { return static_cast<double>(units) / PANGO_SCALE; }

/// Pango units from points.
int units(double points) { return static_cast<int>(points * PANGO_SCALE + 0.5); }

/// True for the styles set in bold throughout.
bool is_bold(Style style) {
  return style == Style::kLetter || style == Style::kSection || style == Style::kGroup ||
         style == Style::kCoverUnit;
}

/// An attribute list that sets the first `bold` bytes in bold.
PangoAttrList* bold_start(uint32_t bold) {
  PangoAttrList* attrs = pango_attr_list_new();
  if (bold > 0) {
    PangoAttribute* weight = pango_attr_weight_new(PANGO_WEIGHT_BOLD);
    weight->start_index = 0;
    weight->end_index = bold;
    pango_attr_list_insert(attrs, weight);
  }
  return attrs;
}

}  // namespace

// Fontconfig keeps what it reads for Pango to the end of the process, and
// gives it back only through FcFini, which races with the thread in which
// Pango reads the configuration. The leak checker of a sanitizer build is
// told so, quietly, in every program that sets text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

Typesetter::Typesetter(const Geometry& geometry, const char* family)
    : geometry_(geometry),
      font_map_(pango_cairo_font_map_new()),
      context_(pango_font_map_create_context(font_map_)),
      layout_(nullptr),
      font_(pango_font_description_new()) {
  // Outline metrics, unhinted, unrounded: the same measures on any surface.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(context_, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context_, FALSE);
  layout_ = pango_layout_new(context_);
  pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
  pango_font_description_set_family(font_, family);
}

Typesetter::~Typesetter() {
  pango_font_description_free(font_);
  g_object_unref(layout_);
  g_object_unref(context_);
  g_object_unref(font_map_);
}

double Typesetter::size_of(Style style) const {
  double body = geometry_.body_size;
  switch (style) {
    case Style::kBody: return body;
    case Style::kLetter: return body * 1.6;
    case Style::kSection: return body * 1.6;
    case Style::kGroup: return body * 1.15;
    case Style::kMargin: return body * 0.9;
    case Style::kCoverUnit: return body * 3;
    case Style::kCoverTitle: return body * 2.4;
    case Style::kCoverLine: return body * 1.4;
  }
  return body;
}

void Typesetter::set_paragraph(const Paragraph& paragraph) {
  double em = geometry_.body_size;
  pango_font_description_set_absolute_size(font_, units(size_of(paragraph.style)));
  pango_font_description_set_weight(font_,
                                    is_bold(paragraph.style) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font_, PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(layout_, font_);
  pango_layout_set_alignment(layout_, PANGO_ALIGN_LEFT);
  pango_layout_set_width(layout_, units(geometry_.column_width() - paragraph.indent * em));
  pango_layout_set_indent(layout_, -units(em));  // wrapped lines one em in
  pango_layout_set_text(layout_, paragraph.text.data(), static_cast<int>(paragraph.text.size()));
  PangoAttrList* attrs = bold_start(paragraph.bold);
  pango_layout_set_attributes(layout_, attrs);
  pango_attr_list_unref(attrs);
}

void Typesetter::measure(const Block& block, BlockMetrics* metrics) {
  metrics->space_before = block.space_before * geometry_.body_size;
  metrics->lines.clear();
  for (const Paragraph& paragraph : block.paragraphs) {
    set_paragraph(paragraph);
    PangoLayoutIter* iter = pango_layout_get_iter(layout_);
    do {
      PangoRectangle logical;
      pango_layout_iter_get_line_extents(iter, nullptr, &logical);
      metrics->lines.push_back(points(logical.height));
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
  }
}

void Typesetter::draw(cairo_t* cr, const Block& block, uint32_t first, uint32_t end, double x,
                      double y) {
  uint32_t line = 0;  // the block's line the iterator stands on
  for (const Paragraph& paragraph : block.paragraphs) {
    if (line >= end) break;
    set_paragraph(paragraph);
    double left = x + paragraph.indent * geometry_.body_size;
    PangoLayoutIter* iter = pango_layout_get_iter(layout_);
    do {
      PangoRectangle logical;
      pango_layout_iter_get_line_extents(iter, nullptr, &logical);
      if (line >= first && line < end) {
        double baseline = points(pango_layout_iter_get_baseline(iter) - logical.y);
        cairo_move_to(cr, left + points(logical.x), y + baseline);
        pango_cairo_show_layout_line(cr, pango_layout_iter_get_line_readonly(iter));
        y += points(logical.height);
      }
      ++line;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
  }
}

double Typesetter::draw_text(cairo_t* cr, std::string_view text, Style style,
                             PangoAlignment align, double x, double width, double y,
                             bool italic) {
  pango_font_description_set_absolute_size(font_, units(size_of(style)));
  pango_font_description_set_weight(font_, is_bold(style) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font_, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(layout_, font_);
  pango_layout_set_alignment(layout_, align);
  pango_layout_set_width(layout_, units(width));
  pango_layout_set_indent(layout_, 0);
  pango_layout_set_attributes(layout_, nullptr);
  pango_layout_set_text(layout_, text.data(), static_cast<int>(text.size()));
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout_);
  int width_units, height_units;
  pango_layout_get_size(layout_, &width_units, &height_units);
  return points(height_units);
}
