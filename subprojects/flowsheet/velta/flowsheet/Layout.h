#pragma once
// Layered drawing of a flowsheet, read from left to right: every unit is an
// icon in a column (a layer), every stream an orthogonal polyline from a
// port of one unit to a port of another, labelled with its tag, with an
// arrowhead where it enters. "source" stands alone in the first layer and
// "sink" alone in the last.
//
// The scheme is Sugiyama's with dummy vertices: edge-label and long-edge
// dummies make every edge span one layer, port dummies turn ports on the
// north and south sides (and streams leaving westward or arriving
// eastward) into east-to-west edges; the vertical placement is the
// four-way alignment and compaction of Brandes and Koepf adapted to ports;
// the vertical segments of the edges go into numbered slots of the
// channels between the layers. There is no crossing reduction.
//
// A Layout is built from a graph, configured, run once and written once.
// It reads the units and streams, never changes them. A cyclic graph stops
// run with the graph library's not-a-DAG error ("The graph must be a DAG.").

#include "velta/core/PortTable.h"
#include "velta/persistency/Icon.h"

#include <boost/bimap.hpp>
#include <boost/bimap/set_of.hpp>
#include <boost/bimap/unordered_set_of.hpp>
#include <boost/graph/adjacency_list.hpp>

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class Graph;
class VertexBase;

class Layout {
public:
  // Sides of a vertex, as the ports of a unit are drawn.
  static constexpr int north = PortTable::north;
  static constexpr int south = PortTable::south;
  static constexpr int east = PortTable::east;
  static constexpr int west = PortTable::west;

  // The record on every edge of the layout graph (copied whole when an edge
  // is split or re-created).
  struct Edge {
    bool visited = false;
    unsigned sourcePort = 0;
    unsigned targetPort = 0;
    unsigned slot = 0;
    int sourceLocation = east;
    int targetLocation = west;
    double x1 = 0.0;
    double y1 = 0.0;
    double xm = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    // Runs against the stream's flow: the arrowhead goes at the path's start.
    bool reversed = false;
    std::string type;
    std::string label;
    std::string colour;
    double strokeWidth = 2.0;
    int id = 0;
  };

  class Vertex;
  using LayoutGraph = boost::adjacency_list<boost::listS, boost::vecS, boost::bidirectionalS,
                                            Vertex *, Edge, boost::no_property, boost::listS>;
  using VertexIndex = boost::graph_traits<LayoutGraph>::vertex_descriptor;
  using EdgeDescriptor = boost::graph_traits<LayoutGraph>::edge_descriptor;

  class Vertex {
  public:
    virtual ~Vertex();
    virtual double width() const = 0;
    virtual double height() const = 0;
    // x of an east or west side, y of a north or south side.
    virtual double sideCoordinate(int location) const = 0;
    // Offset of port pos of a side from the top (east, west) or the left
    // (north, south) of the icon.
    virtual double edgeShift(int location, unsigned pos) const = 0;
    virtual std::string toString() const = 0;

    double x = 0.0;
    double y = 0.0;
    std::array<double, 4> candidate{};
    double shift = 0.0;
    double innerShift = 0.0;
    VertexIndex align = 0;
    VertexIndex root = 0;
    VertexIndex sink = 0;
    std::size_t layer = 0;
    std::size_t position = 0;
    // Port counts by side: north, south, east, west.
    std::array<unsigned, 4> ports{};
    // The edge that aligns this vertex to the next vertex of its block.
    bool aligned = false;
    EdgeDescriptor alignment;
  };

  class NormalVertex;
  class TerminalVertex;
  class SourceVertex;
  class SinkVertex;
  class DummyVertex;
  class LongEdgeDummy;
  class EdgeLabelDummy;
  class PortDummy;
  class NorthernPortDummy;
  class SouthernPortDummy;

  // What the writers draw: the paths of the streams, the unit boxes, the
  // labels and the stroke styles.
  struct Point {
    double x;
    double y;
  };
  struct Path {
    std::vector<Point> points;
    bool reversed = false;
    int style = 0;
    std::string label;
    int id = 0;
    std::string type;
  };
  struct Unit {
    double x, y, w, h;
    Icon icon;
    std::string tag;
    int id;
    std::string type;
  };
  struct Label {
    double x = 0.0;
    double y = 0.0;
    std::string text;
  };
  struct StyleHash {
    std::size_t operator()(const std::pair<std::string, double> &style) const;
  };
  using Styles = boost::bimap<boost::bimaps::set_of<int>,
                              boost::bimaps::unordered_set_of<std::pair<std::string, double>,
                                                              StyleHash>>;
  struct Drawing {
    double width = 0.0;
    double height = 0.0;
    std::vector<Path> paths;
    std::vector<Unit> units;
    std::map<std::string, Label> labels;
    Styles styles;
  };

  // Streams drawn at a port that another stream holds: a torn stream is
  // drawn whole, and at the unit its cut half now feeds, the port of the
  // cut half (drawn stream tag -> holding stream tag).
  using PortHolders = std::map<std::string, std::string>;

  explicit Layout(const Graph &graph, const PortHolders &holders = {});
  Layout(const Layout &) = delete;
  Layout &operator=(const Layout &) = delete;
  ~Layout();

  // Marks the first edge carrying the label as running against the flow.
  bool setReversed(const std::string &label);
  void setP(double p);
  void setVmvs(double vmvs);
  void setMcs(double mcs);
  void setSvs(double svs);
  void setDebug(bool debug) { debug_ = debug; }
  void setBalance(bool balance) { balance_ = balance; }

  void run();

  // One document each, with the units' icons embedded.
  void printSvg(std::ostream &out);
  void printSvgTiny(std::ostream &out);
  // The Tiny arrowhead: the predefined arrow, moved and turned.
  static std::string arrowUse(double x, double y, double angle);
  // The Tiny arrowhead line of a path of two points or more: its tip on the
  // path's first point when the path is reversed, else on its last.
  std::string arrowHead(const Path &path) const;

  void buildDrawing(Drawing &drawing) const;
  double textWidth(const std::string &text) const { return 0.75 * fontSize_ * text.size(); }

  // Read access for inspection.
  const LayoutGraph &graph() const { return graph_; }
  const Vertex &vertex(VertexIndex v) const { return *graph_[v]; }
  const std::vector<std::vector<VertexIndex>> &layers() const { return layers_; }
  const std::vector<unsigned> &slots() const { return slots_; }
  const std::vector<double> &layerX() const { return layerX_; }
  const std::vector<double> &layerWidth() const { return layerWidth_; }
  double fontSize() const { return fontSize_; }
  double arrowLength() const { return arrowLength_; }
  double arrowWidth() const { return arrowWidth_; }
  double gap() const { return gap_; }

private:
  VertexIndex addVertex(std::unique_ptr<Vertex> vertex);
  void addEdgeLabels();
  void assignLayers();
  void addLongEdgeDummies();
  void numberPorts();
  void addPortDummies();

  void assignCoordinates();
  void placeOnce(int d, int s);
  void markConflicts();
  void alignVertically(int d, int s);
  void findSink(VertexIndex t, int d);
  void placeBlock(VertexIndex r, int d);
  void shiftClasses(VertexIndex t, int d);
  // The vertex just above (d = 0) or below (d = 1) in its layer, if any.
  bool neighbour(VertexIndex v, int d, VertexIndex &n) const;

  void route();
  void routeChannels();
  void placeLayers();

  Vertex &at(VertexIndex v) { return *graph_[v]; }
  template <class T> bool is(VertexIndex v) const {
    return dynamic_cast<const T *>(graph_[v]) != nullptr;
  }

  LayoutGraph graph_;
  std::vector<std::unique_ptr<Vertex>> vertices_;
  std::vector<std::vector<VertexIndex>> layers_;
  std::vector<unsigned> slots_;
  std::vector<double> layerX_;
  std::vector<double> layerWidth_;
  bool run_ = false;
  bool balance_ = true;
  bool debug_ = false;
  double fontSize_ = 15.0;
  double arrowLength_ = 16.0;
  double arrowWidth_ = 12.0;
  double vmvs_ = 20.0;
  double gap_ = 5.0;
  double mcs_ = 50.0;
  double svs_ = 20.0;
  double p_ = 0.0;
};

class Layout::NormalVertex : public Layout::Vertex {
public:
  NormalVertex(VertexBase *unit, const Layout *layout) : unit_(unit), layout_(layout) {}
  double width() const override;
  double height() const override;
  double sideCoordinate(int location) const override;
  double edgeShift(int location, unsigned pos) const override;
  std::string toString() const override;
  VertexBase &unit() const { return *unit_; }

private:
  VertexBase *unit_;
  const Layout *layout_;
};

class Layout::TerminalVertex : public Layout::Vertex {
public:
  double width() const override { return 0.0; }
  double height() const override { return 0.0; }
  double sideCoordinate(int location) const override;
  double edgeShift(int location, unsigned pos) const override;
};

class Layout::SourceVertex : public Layout::TerminalVertex {
public:
  std::string toString() const override { return "SourceVertex"; }
};

class Layout::SinkVertex : public Layout::TerminalVertex {
public:
  std::string toString() const override { return "SinkVertex"; }
};

class Layout::DummyVertex : public Layout::Vertex {
public:
  // A dummy is joined on its east and west sides only, at one port each.
  double edgeShift(int location, unsigned pos) const override;
};

class Layout::LongEdgeDummy : public Layout::DummyVertex {
public:
  explicit LongEdgeDummy(std::string label) : label_(std::move(label)) {}
  double width() const override { return 0.0; }
  double height() const override { return 0.0; }
  double sideCoordinate(int location) const override;
  std::string toString() const override { return "LongEdgeDummy[" + label_ + "]"; }

private:
  std::string label_;
};

class Layout::EdgeLabelDummy : public Layout::DummyVertex {
public:
  EdgeLabelDummy(std::string label, int id, const Layout *layout)
      : label_(std::move(label)), id_(id), layout_(layout) {}
  double width() const override { return layout_->textWidth(label_); }
  double height() const override { return layout_->fontSize(); }
  double sideCoordinate(int location) const override;
  std::string toString() const override { return "EdgeLabelDummy[" + label_ + "]"; }
  const std::string &label() const { return label_; }
  int id() const { return id_; }

private:
  std::string label_;
  int id_;
  const Layout *layout_;
};

class Layout::PortDummy : public Layout::DummyVertex {
public:
  PortDummy(const NormalVertex *owner, unsigned index) : owner_(owner), index_(index) {}
  double width() const override { return owner_->width(); }
  double height() const override { return 0.0; }
  double sideCoordinate(int location) const override;
  const NormalVertex &owner() const { return *owner_; }
  unsigned index() const { return index_; }

protected:
  const NormalVertex *owner_;
  unsigned index_;
};

class Layout::NorthernPortDummy : public Layout::PortDummy {
public:
  using PortDummy::PortDummy;
  std::string toString() const override;
};

class Layout::SouthernPortDummy : public Layout::PortDummy {
public:
  using PortDummy::PortDummy;
  std::string toString() const override;
};
