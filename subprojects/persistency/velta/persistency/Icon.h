#pragma once
// Icon of a type or of a node: file name without extension and drawing size,
// and the icon's own artwork, which drawings embed as SVG shapes so that
// they show the units without any image file beside them.

#include <ostream>
#include <string>

class Icon {
public:
  Icon(std::string stem, double width, double height);

  const std::string &stem() const { return stem_; }
  double width() const { return width_; }
  double height() const { return height_; }

  // Writes the artwork of the stem as one group of shapes filling the box
  // at (x, y) of the icon's width and height, each line after indent. The
  // shapes are valid in SVG 1.1 and SVG 1.1 Tiny. A stem without artwork
  // of its own (a category, a stem set by hand) is drawn as a plain box.
  void printSvg(std::ostream &out, double x, double y, const std::string &indent) const;

private:
  std::string stem_;
  double width_;
  double height_;
};

// The document type declaration of an SVG 1.1 drawing, or of an SVG 1.1
// Tiny one, up to (without) its closing ">" or internal subset: drawings
// declare it so that they can be validated against the W3C DTDs.
std::string svgDocumentType(bool tiny);
