#include "velta/persistency/Icon.h"

#include <utility>

Icon::Icon(std::string stem, double width, double height)
    : stem_(std::move(stem)), width_(width), height_(height) {}
