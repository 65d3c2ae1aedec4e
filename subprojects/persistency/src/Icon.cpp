#include "velta/persistency/Icon.h"

#include <initializer_list>
#include <locale>
#include <sstream>
#include <string_view>
#include <utility>

Icon::Icon(std::string stem, double width, double height)
    : stem_(std::move(stem)), width_(width), height_(height) {}

namespace {

// A point of the icon's box in fractions of its width and height.
struct Spot {
  double x;
  double y;
};

// Writes shapes given in fractions of the box into SVG user units, one
// element per line, numbers in the classic locale.
class Pen {
public:
  Pen(double x, double y, double width, double height, const std::string &indent)
      : x_(x), y_(y), w_(width), h_(height), indent_(indent) {
    out_.imbue(std::locale::classic());
  }

  // A rectangle from a to b; rx and ry round its corners (fractions of the
  // width and of the height).
  void rect(Spot a, Spot b, double rx = 0.0, double ry = 0.0) {
    open("rect") << "x=\"" << X(a.x) << "\" y=\"" << Y(a.y) << "\" width=\"" << (b.x - a.x) * w_
                 << "\" height=\"" << (b.y - a.y) * h_ << "\"";
    if (rx > 0.0)
      out_ << " rx=\"" << rx * w_ << "\" ry=\"" << ry * h_ << "\"";
    close();
  }
  // A circle whose radius is a fraction of the smaller side.
  void circle(Spot centre, double r) {
    open("circle") << "cx=\"" << X(centre.x) << "\" cy=\"" << Y(centre.y) << "\" r=\""
                   << r * (w_ < h_ ? w_ : h_) << "\"";
    close();
  }
  void line(Spot a, Spot b) {
    open("line") << "x1=\"" << X(a.x) << "\" y1=\"" << Y(a.y) << "\" x2=\"" << X(b.x)
                 << "\" y2=\"" << Y(b.y) << "\"";
    close();
  }
  void polygon(std::initializer_list<Spot> spots) { points("polygon", spots, false); }
  // An open line through the spots, not filled.
  void polyline(std::initializer_list<Spot> spots) { points("polyline", spots, true); }

  std::string text() const { return out_.str(); }

private:
  double X(double fraction) const { return x_ + fraction * w_; }
  double Y(double fraction) const { return y_ + fraction * h_; }
  std::ostream &open(const char *element) {
    return out_ << indent_ << "  <" << element << " ";
  }
  void close() { out_ << " />\n"; }
  void points(const char *element, std::initializer_list<Spot> spots, bool open) {
    this->open(element) << (open ? "fill=\"none\" " : "") << "points=\"";
    const char *separator = "";
    for (const Spot &s : spots) {
      out_ << separator << X(s.x) << "," << Y(s.y);
      separator = " ";
    }
    out_ << "\"";
    close();
  }

  double x_, y_, w_, h_;
  std::string indent_;
  std::ostringstream out_;
};

void box(Pen &pen) { pen.rect({0.08, 0.08}, {0.92, 0.92}); }

void vessel(Pen &pen) {
  pen.rect({0.08, 0.03}, {0.92, 0.97}, 0.42, 0.12);
  pen.line({0.12, 0.62}, {0.88, 0.62});
}

void column(Pen &pen) {
  pen.rect({0.1, 0.02}, {0.9, 0.98}, 0.4, 0.06);
  for (int tray = 0; tray < 8; ++tray) {
    const double y = 0.14 + 0.1 * tray;
    if (tray % 2 == 0)
      pen.line({0.1, y}, {0.7, y});
    else
      pen.line({0.3, y}, {0.9, y});
  }
}

void exchanger(Pen &pen) {
  pen.circle({0.5, 0.5}, 0.42);
  pen.polyline({{0.08, 0.5}, {0.3, 0.5}, {0.4, 0.3}, {0.5, 0.7}, {0.6, 0.3}, {0.7, 0.5},
                {0.92, 0.5}});
}

void pump(Pen &pen) {
  pen.line({0.15, 0.95}, {0.85, 0.95});
  pen.polyline({{0.22, 0.95}, {0.32, 0.78}});
  pen.polyline({{0.78, 0.95}, {0.68, 0.78}});
  pen.circle({0.5, 0.45}, 0.4);
  pen.polygon({{0.36, 0.25}, {0.76, 0.45}, {0.36, 0.65}});
}

void flowsheet(Pen &pen) {
  pen.polyline({{0.32, 0.5}, {0.5, 0.5}, {0.5, 0.25}, {0.68, 0.25}});
  pen.polyline({{0.5, 0.5}, {0.5, 0.75}, {0.68, 0.75}});
  pen.rect({0.08, 0.35}, {0.32, 0.65});
  pen.rect({0.68, 0.1}, {0.92, 0.4});
  pen.rect({0.68, 0.6}, {0.92, 0.9});
}

struct Artwork {
  std::string_view stem;
  void (*draw)(Pen &);
};

// The stems that the type registry names, and the categories' own.
const Artwork artworks[] = {
    {"Mixer", [](Pen &p) { p.polygon({{0.08, 0.08}, {0.92, 0.5}, {0.08, 0.92}}); }},
    {"Divider", [](Pen &p) { p.polygon({{0.92, 0.08}, {0.08, 0.5}, {0.92, 0.92}}); }},
    {"Multiplier",
     [](Pen &p) {
       box(p);
       p.line({0.25, 0.25}, {0.75, 0.75});
       p.line({0.75, 0.25}, {0.25, 0.75});
     }},
    {"Selector",
     [](Pen &p) {
       box(p);
       p.polyline({{0.08, 0.5}, {0.4, 0.5}, {0.8, 0.28}});
       p.line({0.8, 0.28}, {0.92, 0.28});
       p.line({0.8, 0.72}, {0.92, 0.72});
     }},
    {"Separator",
     [](Pen &p) {
       p.rect({0.08, 0.04}, {0.92, 0.96});
       p.line({0.08, 0.96}, {0.92, 0.04});
     }},
    {"FlashDrum", vessel},
    {"Column", column},
    {"Exchanger", exchanger},
    {"Compressor",
     [](Pen &p) { p.polygon({{0.08, 0.08}, {0.92, 0.08}, {0.72, 0.92}, {0.28, 0.92}}); }},
    {"Pipe",
     [](Pen &p) {
       p.rect({0.02, 0.3}, {0.98, 0.7});
       p.line({0.06, 0.1}, {0.06, 0.9});
       p.line({0.94, 0.1}, {0.94, 0.9});
     }},
    {"Pump", pump},
    {"MultiStage",
     [](Pen &p) {
       p.rect({0.02, 0.05}, {0.98, 0.95});
       for (double x : {0.26, 0.5, 0.74})
         p.line({x, 0.05}, {x, 0.95});
     }},
    {"Decanter",
     [](Pen &p) {
       p.rect({0.03, 0.1}, {0.97, 0.9}, 0.15, 0.4);
       p.line({0.06, 0.55}, {0.94, 0.55});
       p.line({0.7, 0.55}, {0.7, 0.9});
     }},
    {"LiquidRingVacuumPump",
     [](Pen &p) {
       p.circle({0.5, 0.5}, 0.45);
       p.circle({0.44, 0.5}, 0.26);
     }},
    {"phase", [](Pen &p) { p.circle({0.5, 0.5}, 0.4); }},
    {"stream",
     [](Pen &p) {
       p.line({0.08, 0.5}, {0.74, 0.5});
       p.polygon({{0.74, 0.36}, {0.92, 0.5}, {0.74, 0.64}});
     }},
    {"option", [](Pen &p) { p.polygon({{0.5, 0.08}, {0.92, 0.5}, {0.5, 0.92}, {0.08, 0.5}}); }},
    {"flowsheet", flowsheet},
};

} // namespace

void Icon::printSvg(std::ostream &out, double x, double y, const std::string &indent) const {
  Pen pen(x, y, width_, height_, indent);
  void (*draw)(Pen &) = box;
  for (const Artwork &artwork : artworks)
    if (artwork.stem == stem_)
      draw = artwork.draw;
  draw(pen);
  out << indent << "<g fill=\"#eef3f8\" stroke=\"black\" stroke-width=\"1\">\n"
      << pen.text() << indent << "</g>\n";
}

std::string svgDocumentType(bool tiny) {
  return tiny ? "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1 Tiny//EN\" "
                "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11-tiny.dtd\""
              : "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
                "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\"";
}
