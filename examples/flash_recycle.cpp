// A flash drum with a purged recycle, written as a program that uses the
// Velta libraries writes a flowsheet type of its own:
//
//   F --> MIX --S1--> HEATER --S2--> DRUM --S3--> DIV --P--> product (purge)
//          ^                                       |
//          +----------------- R (torn) ------------+
//
// Water with some hydrogen and Chemical1 at 20 bar and 350 K is mixed with
// the recycle, cooled to 300 K, flashed at 280 K and 15 bar, and split: 30 %
// leaves as the product, the rest returns to the mixer. Every stream is a
// Peng-Robinson vapour-liquid stream over the kernel's components.
//
// The program registers the type, creates a case of it, solves it and
// prints its product, its duties and its mass balance; then it stores the
// case through an ODBC data source, loads it back by its id, recalculates
// it and prints again.
//
//   flash_recycle [DATA_SOURCE]        (default "persistency")

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/streams/Stream.h"
#include "velta/user/Case.h"
#include "velta/user/KernelInitialization.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

namespace {

const char *const twoPhase = "StreamPengRobinsonLiquidVapor";

class FlashWithRecycle : public FlowSheet {
public:
  static constexpr const char *typeName = "FlashWithRecycle";

  // The virtual bases are built by the most derived class.
  FlashWithRecycle(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        FlowSheet(defaults, id, persistency, parent, root) {
    setType(typeName);
    // Read back from a store: the units and streams come from there.
    if (persistency != nullptr)
      return;
    addUnit("Mixer", Defaults("MIX", "Feed and recycle mixer"));
    addUnit("FlashDrum", Defaults("HEATER", "Heater"));
    addUnit("FlashDrum", Defaults("DRUM", "Flash drum"));
    addUnit("Divider", Defaults("DIV", "Purge divider"));
    // Streams after the units, each from a unit's port to a unit's port;
    // "source" and "sink" stand for the outside.
    addStream(twoPhase, Defaults("F", "Feed"), "source", "out", "MIX", "in");
    addStream(twoPhase, Defaults("S1", "Mixed feed"), "MIX", "out", "HEATER", "in");
    addStream(twoPhase, Defaults("S2", "Cooled feed"), "HEATER", "out", "DRUM", "in");
    addStream(twoPhase, Defaults("S3", "Flashed"), "DRUM", "out", "DIV", "in");
    addStream(twoPhase, Defaults("P", "Product"), "DIV", "out", "sink", "in");
    addStream(twoPhase, Defaults("R", "Recycle"), "DIV", "out", "MIX", "in");
  }

  // No design equations: the recycle is the only loop.
  void pre(int, int) override {}
  void post(int, int) override {}
  void makeUserEquations(Position &) override {}

  // The inputs, and the cut of the recycle from its first estimate.
  void setup() override {
    FlowSheet::setup();
    specify("F", 350.0, {{"H2O", 100.0}, {"H2", 10.0}, {"Chemical1", 5.0}});
    // The heater gives the temperature ("T") at no pressure drop ("D").
    S("HEATER.option") = "DT";
    Q("HEATER.T").set(300.0, "K");
    Q("HEATER.deltaP").set(0.0, "Pa");
    // The drum flashes at the pressure ("P") and temperature ("T") given.
    S("DRUM.option") = "PT";
    Q("DRUM.T").set(280.0, "K");
    Q("DRUM.P").set(15.0, "bar");
    // Outlet 1 (P) takes 30 %, the last outlet (R) the rest.
    Q("DIV.outSplit[0]").set(0.3, "");
    // A plain first estimate of the recycle; the cut starts from it.
    specify("R", 280.0, {{"H2O", 50.0}, {"H2", 20.0}});
    addCut("R");
  }

private:
  // Temperature, 20 bar and the component flows in kmol/h of a stream.
  void specify(const std::string &stream, double T,
               std::initializer_list<std::pair<const char *, double>> flows) {
    Q(stream + ".T").set(T, "K");
    Q(stream + ".P").set(20.0, "bar");
    S(stream + ".flowoption") = "N";
    my_cast<Stream *>(&at(stream), "FlashWithRecycle::specify")->clearComposition();
    for (const auto &[component, flow] : flows)
      Q(stream + ":Tphase.ndotcomps", component).set(flow, "kmol/h");
  }
};

// Calculates the model and gathers at its root the errors and warnings
// filed anywhere in its tree (a solver that did not converge, a unit whose
// balances do not close); they are listed, and the results stay to be read.
void calculate(Model &model) {
  model.resetErrors();
  model.calculate(0);
  model.reportMessages();
  std::cout << model.errors.size() << " errors, " << model.warnings.size() << " warnings\n";
  for (const std::string &error : model.errors.value())
    std::cerr << "error: " << error << "\n";
}

// Results are read through tag paths: "P.T" is the variable T of the child
// P, "P:Tphase.ndotcomps" the vector ndotcomps of P's child Tphase, picked
// here by component name. Values are held in SI units.
void report(const char *when, Model &model) {
  std::cout << std::fixed << std::setprecision(2) << "product " << when << ": "
            << model.Q("P.T").toDouble("K") << " K, " << model.Q("P.P").toDouble("bar")
            << " bar, vapour fraction " << std::setprecision(4)
            << model.Q("P:Vphase.fraction").value() << ",";
  for (const char *component : {"H2O", "H2", "Chemical1"})
    std::cout << " " << model.Q("P:Tphase.ndotcomps", component).toDouble("kmol/h") << " "
              << component;
  std::cout << " kmol/h\n"
            << std::setprecision(1) << "duties " << when << " (in minus out): heater "
            << model.Q("HEATER.duty").toDouble("kW") << " kW, drum "
            << model.Q("DRUM.duty").toDouble("kW") << " kW\n";
  // The line that CI checks: what comes in leaves as the product.
  std::cout << std::defaultfloat << std::setprecision(10) << "mass balance " << when
            << ": feed " << model.Q("F:Tphase.mdot").toDouble("kg/h") << " kg/h product "
            << model.Q("P:Tphase.mdot").toDouble("kg/h") << " kg/h\n";
}

} // namespace

int main(int argc, char **argv) {
  const std::string dataSource = argc > 1 ? argv[1] : "persistency";
  // The library, its model types and the kernel's components.
  initializeKernel();
  NodeFactory().registerType<FlashWithRecycle>(
      FlashWithRecycle::typeName, "Flash drum with a purged recycle", "flowsheet", true,
      {}, {}, {}, "", 100, 100);
  // Quiet: the kernel's own log lines (progress, iterations, each message
  // as it is filed) are written from verbosity -7 up; 2 shows the progress.
  verbosityGlobal = -10;
  int status = 0;
  try {
    std::unique_ptr<Node> node = NodeFactory().create(
        FlashWithRecycle::typeName, Defaults("FR", "Flash with recycle"), 0, nullptr, nullptr,
        nullptr);
    Model &model = *my_cast<Model *>(node.get(), "main");
    model.setup();
    calculate(model);
    report("solved", model);

    // Stored in one transaction; the id is the stored root's.
    PersistencyOdbc store(dataSource);
    const int id = model.insert(store);
    std::cout << "stored as case " << id << " in \"" << dataSource << "\"\n";

    std::unique_ptr<Model> reloaded = Velta::User::loadModel(store, id);
    calculate(*reloaded);
    reloaded->update(store);
    report("reloaded", *reloaded);
  } catch (Error &error) {
    // Failures travel as Errors whose text ends with their call trace.
    error.append("main");
    std::cerr << error.message() << std::endl;
    status = 1;
  }
  uninitializeKernel();
  return status;
}
