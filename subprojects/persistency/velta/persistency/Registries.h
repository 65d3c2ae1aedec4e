#pragma once
// The seven kinds of variable registries of an object: ordered maps from a
// variable's tag (byte-wise order) to the variable, which the registry does
// not own. Storage and every visit of a registry go in key order.

#include <map>
#include <string>

class Integer;
class IntegerVector;
class Quantity;
class QuantityVector;
class QuantityMatrix;
class String;
class StringVector;

using IntegerRegistry = std::map<std::string, Integer *>;
using IntegerVectorRegistry = std::map<std::string, IntegerVector *>;
using QuantityRegistry = std::map<std::string, Quantity *>;
using QuantityVectorRegistry = std::map<std::string, QuantityVector *>;
using QuantityMatrixRegistry = std::map<std::string, QuantityMatrix *>;
using StringRegistry = std::map<std::string, String *>;
using StringVectorRegistry = std::map<std::string, StringVector *>;
