// The schedule files of a task graph: the schedule in DOT, units coloured
// by processor, and the SVG Gantt chart.

#include "velta/flowsheet/TaskGraph.h"

#include "velta/core/VertexBase.h"

#include <fstream>
#include <locale>
#include <sstream>

void TaskGraph::printDot(const std::string &fileName) const {
  static const char *const colors[] = {"lightgray", "lightpink", "khaki", "orange",    "yellow",
                                       "green",     "cyan",      "blue",  "lightblue", "violet"};
  std::ofstream out(fileName, std::ios::out | std::ios::trunc);
  if (!out)
    return;
  out.imbue(std::locale::classic());
  out << "digraph Q {" << std::endl;
  out << "  rankdir = TB;" << std::endl;
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    out << "  \"" << graph_[*v]->tag()
        << "\" [style=filled,color=" << colors[graph_[*v]->processor() % 10] << "];" << std::endl;
  for (auto [e, end] = boost::edges(graph_); e != end; ++e)
    out << "  \"" << graph_[boost::source(*e, graph_)]->tag() << "\" -> \""
        << graph_[boost::target(*e, graph_)]->tag() << "\";" << std::endl;
  out << "}" << std::endl;
}

// Time runs downwards at 15 drawing units per unit of time, processors
// stand side by side 20 units wide, within a margin of 10; the lighter
// band below the ideal make span shows the time lost to idle processors.
void TaskGraph::printSvg(const std::string &fileName) const {
  std::ofstream out(fileName, std::ios::out | std::ios::trunc);
  if (!out)
    return;
  out.imbue(std::locale::classic());
  const int m = nProcessors();
  const double S = makeSpan();
  const double C = totalCost();
  const double I = C / m;
  const auto q = [](const auto &value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << '"' << value << '"';
    return text.str();
  };
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>" << std::endl;
  // The document type lets the chart be validated against the SVG 1.0 DTD,
  // which does not declare the prefixed namespace of the root.
  out << "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\" "
         "\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\" [" << std::endl;
  out << "  <!ATTLIST svg xmlns:svg CDATA #FIXED \"http://www.w3.org/2000/svg\">" << std::endl;
  out << "]>" << std::endl;
  out << "<svg xmlns:svg=\"http://www.w3.org/2000/svg\" xmlns=\"http://www.w3.org/2000/svg\" "
         "version=\"1.0\" width="
      << q(m * 20 + 20) << " height=" << q(S * 15 + 10 + 10) << ">" << std::endl;
  const auto bigRect = [&](double height, double y, const char *style) {
    out << "  <rect" << std::endl;
    out << "     width=" << q(m * 20) << std::endl;
    out << "     height=" << q(height) << std::endl;
    out << "     x=" << q(10) << std::endl;
    out << "     y=" << q(y) << std::endl;
    out << "     style=\"" << style << "\"/>" << std::endl;
  };
  bigRect(S * 15, 10,
          "opacity:1;fill:#888888;fill-opacity:1.0;fill-rule:nonzero;stroke:#000000;"
          "stroke-width:1;stroke-linecap:round;stroke-linejoin:miter;"
          "stroke-miterlimit:0;stroke-dasharray:none;stroke-dashoffset:0;"
          "stroke-opacity:1");
  bigRect((S - I) * 15, I * 15 + 10,
          "opacity:1;fill:#DDDDDD;fill-opacity:1.0;fill-rule:nonzero;stroke-width:0;");
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    const VertexBase *task = graph_[*v];
    if (!(task->cost() > 0.0))
      continue;
    const int p = task->processor();
    const double t = task->start();
    out << "  <g id=\"task" << task->id() << "\">" << std::endl;
    out << "    <rect width=" << q(20) << " height=" << q(task->cost() * 15)
        << " x=" << q(p * 20 + 10) << " y=" << q(t * 15 + 10)
        << " style=\"fill:#ffffff;stroke:#000000;stroke-width:1;stroke-linecap:square;"
           "stroke-linejoin:miter;stroke-miterlimit:0\"/>"
        << std::endl;
    out << "    <text x=" << q(p * 20 + 15) << " y=" << q(t * 15 + 22)
        << " style=\"font-size:12px;fill:#000000;font-family:Arial\">" << task->id() << "</text>"
        << std::endl;
    out << "  </g>" << std::endl;
  }
  out << "</svg>" << std::endl;
}
