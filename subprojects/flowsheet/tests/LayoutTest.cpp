// Flowsheet drawings: layering and dummies, channel geometry, the SVG 1.1
// and SVG 1.1 Tiny documents (golden files, DTD validation with xmllint,
// one render in headless Chromium), the Tiny arrowheads, and a flowsheet
// left as it was after being drawn.
//
// Golden files are rewritten by running the tests with
// VELTA_UPDATE_GOLDEN=1; look at the rewritten drawings before committing.

#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/flowsheet/GreedyCycleRemover.h"
#include "velta/flowsheet/Layout.h"
#include "velta/flowsheet/TaskGraph.h"
#include "velta/units/Mixer.h"

#include <gtest/gtest.h>

#include <boost/graph/topological_sort.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <unistd.h>

using namespace flowsheettest;

namespace {

namespace files = std::filesystem;

std::string readFile(const files::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool contains(const std::string &text, const std::string &part) {
  return text.find(part) != std::string::npos;
}

class Drawing : public ComponentsFixture {
protected:
  void SetUp() override {
    use(lightAndHeavy());
    const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    directory_ = files::temp_directory_path() /
                 ("velta-drawing-" + std::to_string(::getpid()) + "-" + test->name());
    files::create_directories(directory_);
  }
  void TearDown() override { files::remove_all(directory_); }

  // F1, F2 -> M -> Obis -> sink: a stream whose tag merely ends in "bis".
  static std::unique_ptr<FlowSheet> small() {
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet", "SMALL");
    fs->addUnit("Mixer", Defaults("M", "mixer"));
    fs->addStream("StreamOne", gasOptions("F1"), "source", "out", "M", "in");
    fs->addStream("StreamOne", gasOptions("F2"), "source", "out", "M", "in");
    fs->addStream("StreamOne", gasOptions("Obis"), "M", "out", "sink", "in");
    return fs;
  }

  // F -> M -> K (compressor: inlet north, outlet south) -> G (degasser:
  // vapour north, condensate south) -> D -> P, with the recycle R from D
  // back to M, cut.
  static std::unique_ptr<FlowSheet> recycle() {
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet", "LOOP");
    fs->addUnit("Mixer", Defaults("M", "mixer"));
    fs->addUnit("Compressor", Defaults("K", "compressor"));
    fs->addUnit("Degasser", Defaults("G", "degasser"));
    fs->addUnit("Divider", Defaults("D", "divider"));
    fs->addStream("StreamOne", gasOptions("F"), "source", "out", "M", "in");
    fs->addStream("StreamOne", gasOptions("S1"), "M", "out", "K", "in");
    fs->addStream("StreamOne", gasOptions("S2"), "K", "out", "G", "in");
    fs->addStream("StreamOne", gasOptions("V"), "G", "vapor", "D", "in");
    fs->addStream("StreamOne", gasOptions("L"), "G", "condensate", "sink", "in");
    fs->addStream("StreamOne", gasOptions("P"), "D", "out", "sink", "in");
    fs->addStream("StreamOne", gasOptions("R"), "D", "out", "M", "in");
    fs->addCut("R");
    return fs;
  }

  std::string draw(const FlowSheet &fs, const std::string &name, bool tiny) {
    const files::path path = directory_ / name;
    testing::internal::CaptureStdout();
    fs.printSvg(path.c_str(), tiny, false, 0);
    testing::internal::GetCapturedStdout();
    return readFile(path);
  }

  void compareWithGolden(const std::string &text, const std::string &name) {
    const files::path golden = files::path(VELTA_FLOWSHEET_TEST_DIR) / "golden" / name;
    if (std::getenv("VELTA_UPDATE_GOLDEN") != nullptr) {
      std::ofstream(golden, std::ios::binary) << text;
      return;
    }
    EXPECT_EQ(text, readFile(golden)) << "drawing differs from " << golden;
  }

  files::path directory_;
};

// Points of the Tiny path data "M x y L x y ... ".
std::vector<Layout::Point> pointsOf(const std::string &d) {
  std::vector<Layout::Point> points;
  std::istringstream in(d);
  std::string letter;
  Layout::Point p{};
  while (in >> letter >> p.x >> p.y)
    points.push_back(p);
  return points;
}

// Where the tip (16, 6) of the predefined arrow lands under the transform
// "translate(tx ty) rotate(a 0.0 0.0)".
Layout::Point tipOf(const std::string &transform) {
  double tx = 0.0, ty = 0.0, angle = 0.0;
  std::sscanf(transform.c_str(), "translate(%lf %lf) rotate(%lf", &tx, &ty, &angle);
  const double r = angle * std::acos(-1.0) / 180.0;
  return {tx + 16.0 * std::cos(r) - 6.0 * std::sin(r), ty + 16.0 * std::sin(r) + 6.0 * std::cos(r)};
}

bool samePoint(const Layout::Point &a, const Layout::Point &b) {
  return std::abs(a.x - b.x) < 1e-3 && std::abs(a.y - b.y) < 1e-3;
}

bool hasTool(const std::string &name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// ------------------------------------------------------------ layout

TEST_F(Drawing, ProductLabelsSitNextToTheSinkAndNorthSouthPortsGetDummies) {
  auto fs = recycle();
  TaskGraph drawn;
  // As the flowsheet draws it: the cut halves replaced by R, reversed.
  const auto &g = fs->taskGraph().graph();
  for (auto [v, end] = boost::vertices(g); v != end; ++v)
    drawn.addVertex(g[*v]);
  for (auto [e, end] = boost::edges(g); e != end; ++e)
    if (g[*e]->tag() != "R" && g[*e]->tag() != "Rbis")
      drawn.addEdge(g[boost::source(*e, g)]->tag(), g[boost::target(*e, g)]->tag(), g[*e]);
  drawn.addEdge("M", "D", &streamOf(*fs, "R"));
  Layout layout(drawn, {{"R", "Rbis"}});
  EXPECT_TRUE(layout.setReversed("R"));
  EXPECT_FALSE(layout.setReversed("nothing"));
  layout.setMcs(20);
  layout.setSvs(10);
  layout.setVmvs(10);
  layout.setBalance(false);
  layout.run();
  // Balanced, the same layers are placed from y = 0 down.
  Layout balanced(drawn, {{"R", "Rbis"}});
  balanced.run();
  double top = 1e9;
  for (const auto &layer : balanced.layers())
    for (const auto v : layer)
      top = std::min(top, balanced.vertex(v).y);
  EXPECT_EQ(top, 0.0);
  EXPECT_EQ(balanced.layers(), layout.layers());

  const auto &layers = layout.layers();
  std::vector<std::string> names;
  for (const auto &layer : layers) {
    std::string text;
    for (const auto v : layer)
      text += layout.vertex(v).toString() + " ";
    names.push_back(text);
  }
  // source | F | M, the west departure of R | S1 | port dummy of S1 above
  // K, K, port dummy of S2 below, R | S2 | G's vapour dummy above, G, its
  // condensate dummy below, R | ... | labels of L and P | sink.
  EXPECT_EQ(names.front(), "SourceVertex ");
  EXPECT_EQ(names.back(), "SinkVertex ");
  EXPECT_EQ(names[2], "NormalVertex[M] LongEdgeDummy[R] ");
  EXPECT_EQ(names[4],
            "NorthernPortDummy[K] NormalVertex[K] SouthernPortDummy[K] LongEdgeDummy[R] ");
  EXPECT_EQ(names[6],
            "NorthernPortDummy[G] NormalVertex[G] SouthernPortDummy[G] LongEdgeDummy[R] ");
  EXPECT_TRUE(contains(names[layers.size() - 2], "EdgeLabelDummy[L]"));
  EXPECT_TRUE(contains(names[layers.size() - 2], "EdgeLabelDummy[P]"));
  // R arrives on D's east side: a dummy above D in D's layer.
  bool eastArrival = false;
  for (const auto &name : names)
    eastArrival = eastArrival || contains(name, "LongEdgeDummy[R] NormalVertex[D]");
  EXPECT_TRUE(eastArrival);

  // Every channel is 42 + 10 * slots wide with the drawing's options.
  for (std::size_t i = 1; i < layers.size(); ++i)
    EXPECT_DOUBLE_EQ(layout.layerX()[i] - layout.layerX()[i - 1] - layout.layerWidth()[i - 1],
                     42.0 + 10.0 * layout.slots()[i])
        << "channel " << i;
  // Vertices of a layer keep at least vmvs between them.
  for (const auto &layer : layers)
    for (std::size_t k = 1; k < layer.size(); ++k) {
      const auto &above = layout.vertex(layer[k - 1]);
      EXPECT_GE(layout.vertex(layer[k]).y, above.y + above.height() + 10.0 - 1e-9);
    }
}

TEST_F(Drawing, WorkedGeometryOfTheRootElement) {
  // Widths 0 | 11.25 (label F) | 69.5 (U) | 11.25 (label P) | 0 and four
  // channels of one slot (42 + 10 = 52 each): 300 wide; U's icon of
  // height 185 under its tag line of 15: 200 high.
  auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet", "WORKED");
  fs->addUnit("Mixer", Defaults("U", "unit"));
  fs->child("U").setIcon("Box", 69.5, 185);
  fs->addStream("StreamOne", gasOptions("F"), "source", "out", "U", "in");
  fs->addStream("StreamOne", gasOptions("P"), "U", "out", "sink", "in");
  const files::path path = directory_ / "worked.svg";
  testing::internal::CaptureStdout();
  fs->printSvg(path.c_str(), false, false, 0);
  // The SVG 1.1 writer lists the layers (the Tiny one does not).
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Layer 0\n  Vertex 0: SourceVertex\nLayer 1\n  Vertex 0: EdgeLabelDummy[F]\n"
            "Layer 2\n  Vertex 0: NormalVertex[U]\nLayer 3\n  Vertex 0: EdgeLabelDummy[P]\n"
            "Layer 4\n  Vertex 0: SinkVertex\n");
  const std::string svg = readFile(path);
  EXPECT_TRUE(contains(svg, "<svg version=\"1.1\" xmlns=\"http://www.w3.org/2000/svg\" "
                            "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"340\" "
                            "height=\"240\" viewBox=\"-20 -20 340 240\" >\n"))
      << svg;
  const std::string tiny = draw(*fs, "worked-tiny.svg", true);
  EXPECT_TRUE(contains(tiny, "<svg version=\"1.1\" baseProfile=\"tiny\" "
                             "xmlns=\"http://www.w3.org/2000/svg\" "
                             "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"340\" "
                             "height=\"240\" viewBox=\"-20 -20 340 240\" >\n"));
  // The feed is straight: it leaves at U's west port, half-way down the icon.
  EXPECT_TRUE(contains(tiny, "d=\"M 0 92.5 L 115.25 92.5 \""));
}

// ------------------------------------------------------------ documents

TEST_F(Drawing, SmallAndRecycleFlowSheetsMatchTheirGoldenFiles) {
  const auto smallSheet = small();
  const auto loop = recycle();
  compareWithGolden(draw(*smallSheet, "small.svg", false), "small.svg");
  compareWithGolden(draw(*smallSheet, "small-tiny.svg", true), "small-tiny.svg");
  compareWithGolden(draw(*loop, "recycle.svg", false), "recycle.svg");
  compareWithGolden(draw(*loop, "recycle-tiny.svg", true), "recycle-tiny.svg");
}

TEST_F(Drawing, DocumentsAreValidAgainstTheirDtds) {
  if (!hasTool("xmllint") ||
      !files::exists("/usr/share/xml/w3c-sgml-lib/schema/dtd/REC-SVG11-20110816/svg11-tiny.dtd"))
    GTEST_SKIP() << "xmllint or the W3C DTDs (w3c-sgml-lib) are not installed";
  const auto loop = recycle();
  const auto smallSheet = small();
  for (const auto &[sheet, name] : {std::pair{loop.get(), "recycle"}, {smallSheet.get(), "small"}})
    for (const bool tiny : {false, true}) {
      const files::path path = directory_ / (std::string(name) + (tiny ? "-tiny.svg" : ".svg"));
      testing::internal::CaptureStdout();
      sheet->printSvg(path.c_str(), tiny, true, 0);
      testing::internal::GetCapturedStdout();
      const std::string command = "xmllint --noout --nonet --valid " + path.string() + " 2>&1";
      EXPECT_EQ(std::system((command + " >/dev/null").c_str()), 0) << command;
    }
}

TEST_F(Drawing, TinyStreamsAreOrthogonalWithTheirArrowheadsAtTheirEnds) {
  const auto loop = recycle();
  const std::string tiny = draw(*loop, "recycle-tiny.svg", true);
  const std::regex group("<path id=\"a\\d+\" fill=\"none\" stroke=\"blue\" stroke-width=\"2\" "
                         "d=\"([^\"]*)\" />\n    <use xlink:href=\"#arrow\" "
                         "transform=\"([^\"]*)\" />\n    <text[^>]*>([^<]*)<");
  int streams = 0;
  for (auto m = std::sregex_iterator(tiny.begin(), tiny.end(), group); m != std::sregex_iterator();
       ++m, ++streams) {
    const auto points = pointsOf((*m)[1]);
    const std::string tag = (*m)[3];
    ASSERT_GE(points.size(), 2u) << tag;
    for (std::size_t k = 1; k < points.size(); ++k)
      EXPECT_TRUE(std::abs(points[k].x - points[k - 1].x) < 1e-9 ||
                  std::abs(points[k].y - points[k - 1].y) < 1e-9)
          << tag << " segment " << k;
    // R is drawn against its flow: its arrowhead is at its start.
    const Layout::Point end = tag == "R" ? points.front() : points.back();
    EXPECT_TRUE(samePoint(tipOf((*m)[2]), end)) << tag << ": " << (*m)[2];
  }
  EXPECT_EQ(streams, 7);
}

TEST_F(Drawing, Svg11PathsEndAnArrowLengthShortInTheDirectionTheyArrive) {
  const auto loop = recycle();
  const std::string svg = draw(*loop, "recycle.svg", false);
  const std::string tiny = draw(*loop, "recycle-tiny.svg", true);
  const auto all = [](const std::string &text, const std::string &pattern) {
    std::vector<std::string> found;
    const std::regex expression(pattern);
    for (auto m = std::sregex_iterator(text.begin(), text.end(), expression);
         m != std::sregex_iterator(); ++m)
      found.push_back((*m)[1]);
    return found;
  };
  const auto marked = all(svg, "<path id=\"edge\\d+\" d=\"([^\"]*)\"");
  const auto drawn = all(tiny, "<path id=\"a\\d+\" fill=\"none\"[^>]* d=\"([^\"]*)\"");
  const auto classes = all(svg, "<use class=\"(backward|forward) edge");
  ASSERT_EQ(marked.size(), 7u);
  ASSERT_EQ(drawn.size(), marked.size());
  ASSERT_EQ(classes.size(), marked.size());
  const auto direction = [](const Layout::Point &from, const Layout::Point &to) {
    const auto sign = [](double a, double b) { return static_cast<double>((b > a) - (b < a)); };
    return Layout::Point{sign(from.x, to.x), sign(from.y, to.y)};
  };
  for (std::size_t i = 0; i < marked.size(); ++i) {
    auto pulled = pointsOf(marked[i]);
    auto whole = pointsOf(drawn[i]);
    ASSERT_GE(whole.size(), 2u);
    if (classes[i] == "backward") {
      std::reverse(pulled.begin(), pulled.end());
      std::reverse(whole.begin(), whole.end());
    }
    // The marker sits on the last segment: it must point the way the
    // stream arrives, and its tip (an arrow length on) on the stream's end.
    const Layout::Point arrives = direction(whole[whole.size() - 2], whole.back());
    const Layout::Point &tail = pulled.back();
    EXPECT_TRUE(samePoint(direction(pulled[pulled.size() - 2], tail), arrives)) << marked[i];
    EXPECT_TRUE(samePoint({tail.x + 16.0 * arrives.x, tail.y + 16.0 * arrives.y}, whole.back()))
        << marked[i];
  }
}

TEST_F(Drawing, EveryTinyArrowRowPutsTheTipOnTheEnd) {
  TaskGraph empty;
  Layout layout(empty);
  // Last (or, reversed, first) segment pointing down, up, right and left.
  const std::vector<std::vector<Layout::Point>> paths{{{10, 10}, {10, 50}},
                                                      {{10, 50}, {10, 10}},
                                                      {{10, 10}, {50, 10}},
                                                      {{50, 10}, {10, 10}}};
  for (const bool reversed : {false, true})
    for (const auto &points : paths) {
      Layout::Path path;
      path.points = points;
      path.reversed = reversed;
      const std::string line = layout.arrowHead(path);
      std::smatch transform;
      ASSERT_TRUE(std::regex_search(line, transform, std::regex("transform=\"([^\"]*)\"")));
      const Layout::Point end = reversed ? points.front() : points.back();
      EXPECT_TRUE(samePoint(tipOf(transform[1]), end))
          << (reversed ? "reversed " : "forward ") << line;
    }
  EXPECT_EQ(Layout::arrowUse(84, 94, 0),
            "    <use xlink:href=\"#arrow\" transform=\"translate(84 94)\" />");
  EXPECT_EQ(Layout::arrowUse(4, 116, 270),
            "    <use xlink:href=\"#arrow\" transform=\"translate(4 116) rotate(270 0.0 0.0)\" />");
}

TEST_F(Drawing, RendersInHeadlessChromium) {
  std::string browser;
  for (const char *name : {"chromium-headless-shell", "chromium"})
    if (hasTool(name)) {
      browser = name;
      break;
    }
  if (browser.empty())
    GTEST_SKIP() << "no headless Chromium installed";
  const auto loop = recycle();
  const files::path svg = directory_ / "recycle.svg";
  testing::internal::CaptureStdout();
  loop->printSvg(svg.c_str(), false, false, 0);
  testing::internal::GetCapturedStdout();
  const std::string text = readFile(svg);
  std::smatch size;
  ASSERT_TRUE(std::regex_search(text, size, std::regex("width=\"([0-9.]+)\" height=\"([0-9.]+)\"")));
  const int width = static_cast<int>(std::ceil(std::stod(size[1])));
  const int height = static_cast<int>(std::ceil(std::stod(size[2])));
  const files::path png = directory_ / "recycle.png";
  const std::string command = browser + (browser == "chromium" ? " --headless" : "") +
                              " --no-sandbox --disable-gpu --hide-scrollbars --screenshot=" +
                              png.string() + " --window-size=" + std::to_string(width) + "," +
                              std::to_string(height) + " file://" + svg.string() +
                              " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::string image = readFile(png);
  ASSERT_GT(image.size(), 24u);
  ASSERT_EQ(image.substr(1, 3), "PNG");
  const auto be32 = [&image](std::size_t at) {
    return (static_cast<unsigned char>(image[at]) << 24) |
           (static_cast<unsigned char>(image[at + 1]) << 16) |
           (static_cast<unsigned char>(image[at + 2]) << 8) |
           static_cast<unsigned char>(image[at + 3]);
  };
  EXPECT_EQ(be32(16), static_cast<unsigned>(width));
  EXPECT_EQ(be32(20), static_cast<unsigned>(height));
  if (const char *keep = std::getenv("VELTA_KEEP_RENDER"))
    files::copy_file(png, keep, files::copy_options::overwrite_existing);
}

// ------------------------------------------------------------ the flowsheet

TEST_F(Drawing, DrawingLeavesTheCutsAndTheGraphAsTheyWere) {
  const auto loop = recycle();
  for (const bool tiny : {false, true})
    draw(*loop, tiny ? "a-tiny.svg" : "a.svg", tiny);
  ASSERT_EQ(loop->cuts().size(), 1u);
  EXPECT_EQ(loop->cuts().at("R")->in, &streamOf(*loop, "Rbis"));
  EXPECT_EQ(loop->taskGraph().sourceOf("R"), "D");
  EXPECT_EQ(loop->taskGraph().targetOf("R"), "sink");
  EXPECT_EQ(loop->taskGraph().sourceOf("Rbis"), "source");
  EXPECT_EQ(loop->taskGraph().targetOf("Rbis"), "M");
  EXPECT_EQ(streamOf(*loop, "Rbis").cutsource.value(), "R");
  EXPECT_TRUE(loop->isDag());
  loop->checkFlowsheet();

  // A stream whose tag only ends in "bis" is an ordinary stream.
  const auto smallSheet = small();
  const std::string svg = draw(*smallSheet, "small.svg", false);
  EXPECT_TRUE(smallSheet->hasChild("Obis"));
  EXPECT_TRUE(contains(svg, ">Obis</text>"));
  EXPECT_FALSE(contains(svg, "class=\"backward"));
}

TEST_F(Drawing, TheKernelsWalkDrawsTheFlowSheetInTinyWithItsIconsEmbedded) {
  const auto loop = recycle();
  std::vector<std::string> names;
  testing::internal::CaptureStdout();
  loop->printSvgAll(directory_.c_str(), true, true, 100, names);
  testing::internal::GetCapturedStdout();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), std::to_string(loop->id() + 100) + ".svg");
  const std::string tiny = readFile(directory_ / names.front());
  EXPECT_TRUE(contains(tiny, "baseProfile=\"tiny\""));
  // K's compressor, drawn in its group; nothing refers outside the drawing.
  const std::regex compressor("data-type=\"Compressor\">\n    <rect [^\n]*\n    <g [^\n]*>\n"
                              "      <polygon points=");
  EXPECT_TRUE(std::regex_search(tiny, compressor)) << tiny;
  EXPECT_FALSE(std::regex_search(tiny, std::regex("href=\"[^#]")));
  EXPECT_EQ(loop->cuts().size(), 1u);
}

// A mixer that reports the type name it was registered under last.
class NamedMixer : public Mixer {
public:
  NamedMixer(Defaults d, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(d, id, persistency, parent, root), Model(d, id, persistency, parent, root),
        VertexBase(d, id, persistency, parent, root), Mixer(d, id, persistency, parent, root) {
    setType(name);
  }
  static inline std::string name;
};

// Type names and tags are data: each writer escapes them wherever they go,
// and both documents stay valid.
TEST_F(Drawing, HostileTypeNamesAndTagsAreEscapedByBothWriters) {
  const struct {
    const char *type;
    const char *tag;
    const char *escapedType;
    const char *escapedTag;
  } cases[] = {
      {"Mixer<1>", "M<1>", "Mixer&lt;1&gt;", "M&lt;1&gt;"},
      {"Mixer&Settler", "M>0", "Mixer&amp;Settler", "M&gt;0"},
      {"Mixer\"quoted\"", "M {x}", "Mixer&quot;quoted&quot;", "M {x}"},
      {"Mixer'apostrophe'<&>", "M[<>]", "Mixer&apos;apostrophe&apos;&lt;&amp;&gt;",
       "M[&lt;&gt;]"},
  };
  const bool validate =
      hasTool("xmllint") &&
      files::exists("/usr/share/xml/w3c-sgml-lib/schema/dtd/REC-SVG11-20110816/svg11-tiny.dtd");
  registerFlowsheetTypes();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.type);
    if (!NodeFactory().isRegistered(c.type))
      NodeFactory().registerType<NamedMixer>(c.type, "mixer under a hostile name", "unit", false,
                                             {}, {}, {}, "Mixer", 73, 83.4375);
    NamedMixer::name = c.type;
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet", "HOSTILE");
    fs->addUnit(c.type, Defaults(c.tag, "unit"));
    fs->addStream("StreamOne", gasOptions(std::string("F") + c.tag), "source", "out", c.tag, "in");
    fs->addStream("StreamOne", gasOptions("P"), c.tag, "out", "sink", "in");
    for (const bool tiny : {false, true}) {
      const std::string name = tiny ? "hostile-tiny.svg" : "hostile.svg";
      const std::string svg = draw(*fs, name, tiny);
      EXPECT_TRUE(contains(svg, std::string("data-type=\"") + c.escapedType + "\">")) << svg;
      EXPECT_TRUE(contains(svg, std::string(">") + c.escapedTag + "</text>")) << svg;
      EXPECT_TRUE(contains(svg, std::string(">F") + c.escapedTag + "</text>")) << svg;
      if (validate) {
        const std::string command =
            "xmllint --noout --nonet --valid " + (directory_ / name).string() + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
      }
    }
  }
}

TEST_F(Drawing, RecycleWithoutACutIsDrawnAgainstItsFlow) {
  auto loop = makeFlowSheet<FlowSheet>("RecycleFlowSheet", "OPEN");
  ASSERT_FALSE(loop->isDag());
  const std::string svg = draw(*loop, "open.svg", false);
  EXPECT_TRUE(contains(svg, "class=\"backward edge style0\""));
  EXPECT_FALSE(loop->isDag());
}

TEST_F(Drawing, UnwritableFileIsARunTimeError) {
  const auto smallSheet = small();
  try {
    smallSheet->printSvg("/nonexistent/dir/x.svg", false, false, 0);
    FAIL() << "no error";
  } catch (const Error &e) {
    EXPECT_TRUE(contains(e.message(), "can not write to /nonexistent/dir/x.svg"));
  }
}

// ------------------------------------------------------------ helpers

TEST(GreedyCycleRemover, KeepsTheHeavierOfTwoOpposedEdgesAndBreaksEveryCycle) {
  using G = GreedyCycleRemover::WeightedGraph;
  G pair(2);
  boost::add_edge(0, 1, 10, pair);
  boost::add_edge(1, 0, 1, pair);
  GreedyCycleRemover(pair).run();
  ASSERT_EQ(boost::num_edges(pair), 2u);
  for (auto [e, end] = boost::edges(pair); e != end; ++e) {
    EXPECT_EQ(boost::source(*e, pair), 0u);
    EXPECT_EQ(boost::target(*e, pair), 1u);
  }
  // A 3-cycle with a chord and an undecided pair.
  G cycle(4);
  boost::add_edge(0, 1, 1, cycle);
  boost::add_edge(1, 2, 10, cycle);
  boost::add_edge(2, 0, 1, cycle);
  boost::add_edge(2, 3, 1, cycle);
  boost::add_edge(3, 1, 0, cycle);
  boost::add_edge(1, 3, 0, cycle);
  GreedyCycleRemover(cycle).run();
  std::vector<std::size_t> order;
  EXPECT_NO_THROW(boost::topological_sort(cycle, std::back_inserter(order)));
}

} // namespace
