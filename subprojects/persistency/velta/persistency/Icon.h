#pragma once
// Icon of a type or of a node: file name without extension and drawing size.

#include <string>

class Icon {
public:
  Icon(std::string stem, double width, double height);

  const std::string &stem() const { return stem_; }
  double width() const { return width_; }
  double height() const { return height_; }

private:
  std::string stem_;
  double width_;
  double height_;
};
