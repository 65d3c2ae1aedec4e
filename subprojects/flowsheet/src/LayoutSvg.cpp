// The SVG writers of a laid-out flowsheet: SVG 1.1 with a style sheet,
// arrowhead markers and a halo filter behind the labels, and SVG 1.1 Tiny,
// where every attribute sits on its element and every arrowhead is a placed
// copy of one predefined triangle. Streams and units are groups marked with
// the object's id and type; each unit's icon is drawn in the document, so
// that it shows without any image file beside it. Every text put into an
// attribute or an element is escaped: type names such as "Attacco<1>" and
// the tags and colours of the flowsheet's objects are data, not markup.
//
// The W3C document types do not declare the "data-id" and "data-type"
// attributes of the groups: the document type declares them in its
// internal subset, so that both documents stay valid against their DTDs.

#include "velta/flowsheet/Layout.h"

#include "LayoutAssert.h"
#include "velta/utility/Xml.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <locale>
#include <sstream>

namespace {

const char *const svgNamespace = "http://www.w3.org/2000/svg";
const char *const xlinkNamespace = "http://www.w3.org/1999/xlink";
const char *const groupAttributes =
    "  <!ATTLIST g data-id CDATA #IMPLIED data-type CDATA #IMPLIED>\n";

// Default stream format (six significant digits) in the classic locale.
std::string num(double value) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << value;
  return text.str();
}

using Velta::Utility::xmlEscape;

std::string attribute(const char *name, const std::string &value) {
  return std::string(name) + "=\"" + xmlEscape(value) + "\"";
}

std::string attribute(const char *name, double value) { return attribute(name, num(value)); }

void openSvg(std::ostream &out, bool tiny, double width, double height, double p) {
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out << svgDocumentType(tiny) << " [\n" << groupAttributes << "]>\n";
  const double w = width + 2.0 * p;
  const double h = height + 2.0 * p;
  out << "<svg " << attribute("version", "1.1") << (tiny ? " baseProfile=\"tiny\"" : "") << " "
      << attribute("xmlns", svgNamespace) << " " << attribute("xmlns:xlink", xlinkNamespace)
      << " " << attribute("width", w) << " " << attribute("height", h) << " "
      << attribute("viewBox", num(-p) + " " + num(-p) + " " + num(w) + " " + num(h)) << " >\n";
}

void background(std::ostream &out, const char *fill, double x, double y, double w, double h) {
  out << "  <rect " << attribute("fill", fill) << " stroke=\"none\" " << attribute("x", x) << " "
      << attribute("y", y) << " " << attribute("width", w) << " " << attribute("height", h)
      << " />\n";
}

// Id of the k-th element of the Tiny drawing (appended, not joined: GCC 12
// warns about the join).
std::string tinyId(std::size_t k) {
  std::string id("a");
  id.append(std::to_string(k));
  return id;
}

// The icon box of a unit: x, y, width and height.
std::string box(const Layout::Unit &unit) {
  return attribute("x", unit.x) + " " + attribute("y", unit.y) + " " +
         attribute("width", unit.w) + " " + attribute("height", unit.h);
}

void openGroup(std::ostream &out, int id, const std::string &type) {
  out << "  <g " << attribute("data-id", std::to_string(id)) << " "
      << attribute("data-type", type) << ">\n";
}

const Layout::Label &labelOf(Layout::Drawing &drawing, const std::string &text) {
  return drawing.labels[text];
}

void rule(std::ostream &out, const std::string &selector,
          std::initializer_list<std::string> declarations) {
  out << "  " << selector << " {\n";
  for (const std::string &declaration : declarations)
    out << "    " << xmlEscape(declaration) << "\n";
  out << "  }\n";
}

const std::pair<std::string, double> &styleOf(const Layout::Drawing &drawing, int number) {
  const auto p = drawing.styles.left.find(number);
  LAYOUT_ASSERT(p != drawing.styles.left.end(), "p != vr.styles.left.end()");
  return p->second;
}

// The path data of SVG 1.1, with the arrowhead's end pulled back by the
// arrow length so that the marker fits. An end segment no longer than the
// arrow (the short run into a north or south port) would turn round and
// the marker with it: the path then runs on to the pulled-back point and
// turns once more by a tenth of a unit, so that its end keeps the
// direction in which the stream arrives.
std::string pathData(std::vector<Layout::Point> points, bool reversed, double length) {
  if (points.size() >= 2) {
    if (reversed)
      std::reverse(points.begin(), points.end());
    const Layout::Point end = points.back();
    const Layout::Point &before = points[points.size() - 2];
    double dx = 0.0;
    double dy = 0.0;
    if (before.y > end.y)
      dy = 1.0;
    else if (before.y < end.y)
      dy = -1.0;
    else if (before.x > end.x)
      dx = 1.0;
    else
      dx = -1.0;
    const double segment = std::abs(before.x - end.x) + std::abs(before.y - end.y);
    const Layout::Point pulled{end.x + dx * length, end.y + dy * length};
    if (segment > length) {
      points.back() = pulled;
    } else {
      points.back() = {pulled.x + 0.1 * dx, pulled.y + 0.1 * dy};
      points.push_back(pulled);
    }
    if (reversed)
      std::reverse(points.begin(), points.end());
  }
  std::string d;
  for (std::size_t i = 0; i < points.size(); ++i)
    d += std::string(i == 0 ? "M " : " L ") + num(points[i].x) + " " + num(points[i].y);
  return d;
}

} // namespace

std::string Layout::arrowUse(double x, double y, double angle) {
  std::string transform = "translate(" + num(x) + " " + num(y);
  if (angle != 0.0)
    transform += ") rotate(" + num(angle) + " 0.0 0.0)";
  else
    transform += ")";
  return "    <use xlink:href=\"#arrow\" " + attribute("transform", transform) + " />";
}

// The predefined arrow points along +x with its base on x = 0 from y = 0 to
// y = A and its tip at (L, A/2): each row below puts the tip on the path's
// end, the arrow pointing the way the path arrives there.
std::string Layout::arrowHead(const Path &path) const {
  const double L = arrowLength_;
  const double A = arrowWidth_;
  const auto &points = path.points;
  if (path.reversed) {
    const Point &p0 = points[0];
    const Point &p1 = points[1];
    if (p1.y > p0.y)
      return arrowUse(p0.x - A / 2.0, p0.y + L, 270);
    if (p1.y < p0.y)
      return arrowUse(p0.x + A / 2.0, p0.y - L, 90);
    if (p0.x < p1.x)
      return arrowUse(p0.x + L, p0.y + A / 2.0, 180);
    return arrowUse(p0.x - L, p0.y - A / 2.0, 0);
  }
  const Point &pn = points[points.size() - 1];
  const Point &pp = points[points.size() - 2];
  if (pn.y > pp.y)
    return arrowUse(pn.x + A / 2.0, pn.y - L, 90);
  if (pn.y < pp.y)
    return arrowUse(pn.x - A / 2.0, pn.y + L, 270);
  if (pn.x > pp.x)
    return arrowUse(pn.x - L, pn.y - A / 2.0, 0);
  return arrowUse(pn.x + L, pn.y + A / 2.0, 180);
}

void Layout::printSvg(std::ostream &out) {
  LAYOUT_ASSERT(run_, "run_");
  Drawing drawing;
  buildDrawing(drawing);
  if (debug_) {
    for (std::size_t i = 0; i < layers_.size(); ++i) {
      std::cout << "Layer " << i << std::endl;
      for (std::size_t j = 0; j < layers_[i].size(); ++j)
        std::cout << "  Vertex " << j << ": " << graph_[layers_[i][j]]->toString() << std::endl;
    }
  }
  const double W = drawing.width;
  const double H = drawing.height;
  const double L = arrowLength_;
  const double A = arrowWidth_;
  openSvg(out, false, W, H, p_);
  out << "  <style type=\"text/css\">\n";
  rule(out, ".edge-pad",
       {"fill: none;", "stroke-width: 4;", debug_ ? "stroke: gray;" : "stroke: white;"});
  rule(out, ".edge", {"fill: none;"});
  rule(out, ".backward", {"marker-start: url(#arrowhead-backward);"});
  rule(out, ".forward", {"marker-end: url(#arrowhead-forward);"});
  rule(out, ".icon-border", {"stroke: black;", "stroke-width: 0.5;", "fill: none;"});
  rule(out, ".label", {"text-anchor: middle;", "fill: black;", "font-size: 15;"});
  rule(out, ".label-pad",
       {"filter: url(#dilate);", "text-anchor: middle;", debug_ ? "fill: gray;" : "fill: white;",
        "font-size: 15;"});
  for (const auto &style : drawing.styles.left)
    rule(out, ".style" + std::to_string(style.first),
         {"stroke: " + style.second.first + ";",
          "stroke-width: " + num(style.second.second) + ";"});
  out << "  </style>\n";
  out << "  <defs>\n";
  out << "    <marker id=\"arrowhead-forward\" markerUnits=\"userSpaceOnUse\" "
      << attribute("refY", A / 2.0) << " refX=\"0\" " << attribute("markerWidth", L) << " "
      << attribute("markerHeight", A) << " orient=\"auto\">\n";
  out << "      <path stroke-width=\"0\" fill=\"black\" "
      << attribute("d", "M 0 0 L 0 " + num(A) + " L " + num(L) + " " + num(A / 2.0) + " Z")
      << " />\n";
  out << "    </marker>\n";
  out << "    <marker id=\"arrowhead-backward\" markerUnits=\"userSpaceOnUse\" "
      << attribute("refY", A / 2.0)
      << " refX=\"16\" markerWidth=\"16\" markerHeight=\"12\" orient=\"auto\">\n";
  out << "      <path stroke-width=\"0\" fill=\"black\" "
      << attribute("d", "M " + num(L) + " 0 " + num(L) + " " + num(A) + " 0 " + num(A / 2.0) +
                            " Z")
      << " />\n";
  out << "    </marker>\n";
  out << "    <filter id=\"dilate\">\n";
  out << "      <feMorphology operator=\"dilate\" in=\"SourceGraphic\" radius=\"2\" />\n";
  out << "    </filter>\n";
  for (std::size_t i = 0; i < drawing.paths.size(); ++i) {
    const Path &path = drawing.paths[i];
    out << "    <path " << attribute("id", "edge" + std::to_string(i)) << " "
        << attribute("d", pathData(path.points, path.reversed, L)) << " />\n";
  }
  out << "  </defs>\n";
  if (!debug_) {
    background(out, "transparent", -p_, -p_, W + 2.0 * p_, H + 2.0 * p_);
  } else {
    background(out, "#e1ffff", -p_, -p_, W + 2.0 * p_, H + 2.0 * p_);
    out << "  <rect fill=\"#b2ffff\" stroke=\"none\" x=\"0\" y=\"0\" " << attribute("width", W)
        << " " << attribute("height", H) << " />\n";
    out << "  <path stroke=\"black\" "
        << attribute("d", "M " + num(p_ / 2.0) + " 0 L " + num(-p_ / 2.0) + " 0") << "/>\n";
    out << "  <path stroke=\"black\" "
        << attribute("d", "M 0 " + num(p_ / 2.0) + " L 0 " + num(-p_ / 2.0)) << "/>\n";
  }
  const auto labels = [&out, &drawing](const std::string &text) {
    const Label &label = labelOf(drawing, text);
    for (const char *cls : {"label-pad", "label"}) {
      out << "    <text " << attribute("class", cls) << " " << attribute("x", label.x) << " "
          << attribute("y", label.y) << ">" << xmlEscape(label.text) << "</text>\n";
    }
  };
  for (std::size_t i = 0; i < drawing.paths.size(); ++i) {
    const Path &path = drawing.paths[i];
    styleOf(drawing, path.style);
    const std::string href = "#edge" + std::to_string(i);
    openGroup(out, path.id, path.type);
    out << "    <use class=\"edge-pad\" " << attribute("xlink:href", href) << " />\n";
    out << "    <use "
        << attribute("class", std::string(path.reversed ? "backward " : "forward ") +
                                  "edge style" + std::to_string(path.style))
        << " " << attribute("xlink:href", href) << " />\n";
    labels(path.label);
    out << "  </g>\n";
  }
  for (const Unit &unit : drawing.units) {
    openGroup(out, unit.id, unit.type);
    out << "    <rect class=\"icon-border\" " << box(unit) << " />\n";
    unit.icon.printSvg(out, unit.x, unit.y, "    ");
    labels(unit.tag);
    out << "  </g>\n";
  }
  if (debug_)
    for (std::size_t i = 0; i < layers_.size(); ++i)
      out << "  <rect fill=\"none\" stroke=\"red\" " << attribute("x", layerX_[i])
          << " y=\"0\" " << attribute("width", layerWidth_[i]) << " " << attribute("height", H)
          << " />\n";
  out << "</svg>\n" << std::flush;
}

void Layout::printSvgTiny(std::ostream &out) {
  LAYOUT_ASSERT(run_, "run_");
  Drawing drawing;
  buildDrawing(drawing);
  const double W = drawing.width;
  const double H = drawing.height;
  openSvg(out, true, W, H, p_);
  out << "  <defs>\n";
  out << "    <path id=\"arrow\" stroke-width=\"0\" d=\"M 0 0 L 0 12 L 16 6 Z\" />\n";
  out << "  </defs>\n";
  background(out, "transparent", -p_, -p_, W + 2.0 * p_, H + 2.0 * p_);
  const auto text = [&out, &drawing](const std::string &tag) {
    const Label &label = labelOf(drawing, tag);
    out << "    <text text-anchor=\"middle\" fill=\"black\" font-size=\"15\" "
        << attribute("x", label.x) << " " << attribute("y", label.y) << ">"
        << xmlEscape(label.text) << "</text>\n";
  };
  std::size_t k = 0;
  for (const Path &path : drawing.paths) {
    const auto &style = styleOf(drawing, path.style);
    openGroup(out, path.id, path.type);
    std::string d;
    for (std::size_t i = 0; i < path.points.size(); ++i)
      d += std::string(i == 0 ? "M " : "L ") + num(path.points[i].x) + " " +
           num(path.points[i].y) + " ";
    out << "    <path " << attribute("id", tinyId(k++)) << " fill=\"none\" "
        << attribute("stroke", style.first) << " " << attribute("stroke-width", style.second)
        << " " << attribute("d", d) << " />\n";
    if (path.points.size() >= 2)
      out << arrowHead(path) << "\n";
    text(path.label);
    out << "  </g>\n";
  }
  for (const Unit &unit : drawing.units) {
    openGroup(out, unit.id, unit.type);
    out << "    <rect " << attribute("id", tinyId(k++))
        << " stroke=\"black\" stroke-width=\"0.5\" fill=\"none\" " << box(unit) << " />\n";
    unit.icon.printSvg(out, unit.x, unit.y, "    ");
    text(unit.tag);
    out << "  </g>\n";
  }
  out << "</svg>\n" << std::flush;
}
